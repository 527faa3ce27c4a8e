#pragma once
// How the JSON readers take a value the lists write in several ways: text as it is, a number
// as the shortest text that gives it back, null or a missing key as nothing. Includes the
// JSON library: only the readers' own files include this.

#include <charconv>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "exchange/JsonText.h"

namespace pw::exchange {

// The parsed text; nothing, with `failure` naming the line, when it is not JSON.
inline std::optional<nlohmann::json> parseJson(std::string_view utf8, std::string& failure) {
  try {
    return nlohmann::json::parse(utf8);
  } catch (const nlohmann::json::parse_error& e) {
    failure =
        "Not JSON: line " + std::to_string(lineAt(utf8, e.byte == 0 ? 0 : e.byte - 1)) + ": " + e.what();
    return std::nullopt;
  }
}

inline std::optional<std::string> jsonValueText(const nlohmann::json* value) {
  if (!value || value->is_null()) return std::nullopt;
  if (value->is_string()) return value->get_ref<const std::string&>();
  if (value->is_number_float()) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value->get<double>());
    return std::string(buffer, result.ptr);
  }
  return value->dump();  // a whole number, or a kind no field takes (its text says which)
}

inline const nlohmann::json* jsonMember(const nlohmann::json& object, const char* key) {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

}  // namespace pw::exchange
