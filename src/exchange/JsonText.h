#pragma once
// What every JSON source shares (the public repeater and talkgroup lists, the wizard's plan
// file): the whole file read into memory, made well-formed UTF-8, and the line of a byte,
// for messages. The JSON itself is read by the JSON library in each reader, never by hand.

#include <cstddef>
#include <string>
#include <string_view>

namespace pw::exchange {

struct JsonText {
  std::string text;     // UTF-8, a byte order mark removed
  std::string failure;  // why the file could not be read; empty when it was
  // Bytes that started no well-formed UTF-8 sequence, read as Latin-1 (a file saved in an
  // 8-bit code): the JSON library refuses them otherwise.
  std::size_t latin1 = 0;
};
// Reads a regular file of at most kMaxJsonBytes.
JsonText readJsonText(const std::string& path);
// The same for a text already in memory.
JsonText jsonText(std::string_view text);
inline constexpr std::size_t kMaxJsonBytes = std::size_t(256) << 20;

// Whether the text (blanks and a byte order mark aside) starts as JSON does: '{' or '['.
bool looksLikeJson(std::string_view text);
// The line, from 1, that byte `at` of the text lies on.
int lineAt(std::string_view text, std::size_t at);

}  // namespace pw::exchange
