#pragma once
// The text form as YAML: one key per section in the catalogue's order, lists as
// sequences of records with their number first, the rest as runs of hex.

#include <string>
#include <variant>

#include "textform/TextPlug.h"

namespace pw::text {

std::string toYaml(const TextPlug& plug);
// The text read back, each value with its line; or the first error (malformed YAML,
// unknown section, a record without a number, a malformed rest run).
std::variant<TextPlug, TextError> fromYaml(const std::string& yaml);
// A value as the text writes it (without its comment): differences use the same words.
std::string yamlValue(const TextValue& value);

// The whole way: an RDT file to its text, and a text to its RDT file.
std::string dumpText(ByteSpan file);
std::variant<std::vector<std::uint8_t>, TextError> buildFile(const std::string& yaml);

}  // namespace pw::text
