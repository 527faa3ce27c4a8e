#pragma once
// Drop-down choices as the model offers them: each carries the value it stores, so a
// view selects by value and commits the value, never a position in the list.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/RecordList.h"

namespace pw {

struct Choice {
  std::string text;
  std::uint32_t code;  // the value stored in the field
};
using Choices = std::vector<Choice>;

// Appends the choices n = from..to, each with text(n) and the code n + codeOffset.
template <typename Text>
Choices& appendRange(Choices& c, int from, int to, Text text, int codeOffset = 0) {
  for (int n = from; n <= to; ++n) c.push_back({text(n), std::uint32_t(n + codeOffset)});
  return c;
}

// `first` coded 0 (left out when empty), then every record of the list in use that
// `offered` accepts (by record index; none: all), by decoded name, coded by its number.
Choices recordChoices(const CodePlugDocument& doc, ListId list, std::string_view first,
                      const std::function<bool(int index)>& offered = {});

// Position of the choice carrying `code`, or -1.
int indexOfCode(const Choices& choices, std::uint32_t code);
// The text of the choice carrying `code`, or nothing.
std::optional<std::string> textOfCode(const Choices& choices, std::uint32_t code);

}  // namespace pw
