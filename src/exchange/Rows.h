#pragma once
// What every exchanged layout shares about its rows: the remark on a row, a record's name
// as a row gives it, and the one message that tells what a paste did not do.

#include <string>
#include <string_view>
#include <vector>

namespace pw::exchange {

// Why a row that starts a quoted field the text never closes is not read: the field took the
// rest of the text.
inline constexpr const char* kOpenQuoteReason = "a quoted field is not closed";

// A row of the text and what is said about it.
struct RowNote {
  int line = 0;  // where the row starts, from 1
  std::string text;
};

// A name as a text gives it: characters a name cannot store dropped, escapes (\xNN, as the
// editor writes names) undone when `escapes`, cut to 16 characters; each change noted as
// `what` "...".
std::string nameFromCell(std::string_view cell, bool escapes, const char* what, int line,
                         std::vector<RowNote>& notes);
// The text in double quotes, for messages.
std::string quoted(std::string_view text);

// A paste: the rows it added (record indexes, ascending) and what the user is told after it
// (empty: nothing to tell).
struct PasteResult {
  std::vector<int> rows;
  std::string message;
};

// What a paste did not do, for its message.
struct PasteReport {
  const char* noun;  // "channel": the records pasted
  int pasted = 0;
  int noRoom = 0;  // rows beyond the list's capacity
  int capacity = 0;
  std::vector<RowNote> skipped{};  // rows not pasted, with the reason
  std::vector<RowNote> notes{};    // remarks on rows pasted (a reference not found)
  std::vector<std::string> unknownColumns{};
};
// Empty when rows were pasted, all without a remark. Otherwise how many were pasted and how
// many did not fit, the columns not read, then the rows skipped and the remarks in line
// order, the first 20 of them.
std::string pasteMessage(const PasteReport& report);

}  // namespace pw::exchange
