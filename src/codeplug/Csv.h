#pragma once
// Comma-separated text as spreadsheets and other programs write it: one reader and one
// writer for every file and clipboard text the editor exchanges. The reader takes what
// real files hold (a byte order mark, CRLF or LF, quoted fields with separators, quotes
// and line breaks inside, stray blanks around a quoted field) and keeps the lines each row
// spans, for messages. It streams, so a file of any size is read in small steps.
//
// A cell a spreadsheet would take for a formula (=, +, - or @ first, and not a number) is
// written with an apostrophe before it, inside quotes, so the spreadsheet shows it as text;
// the reader takes that apostrophe off a quoted field again, so text written and read back
// stays exactly as it was.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pw::csv {

struct Row {
  std::vector<std::string> fields;
  int line = 0;            // the line of the text the row starts on, from 1
  int lastLine = 0;        // the line it ends on (more than `line` when a quoted field holds line breaks)
  bool openQuote = false;  // the text ended inside a quoted field
};

// Fills up to `size` bytes of `buffer`; 0 at the end.
using Source = std::function<std::size_t(char* buffer, std::size_t size)>;
// Reads an open file, retrying when a signal interrupts; a failed read ends the input and
// sets `failed`. With a limit, no more than that many bytes are given.
Source fileSource(int fd, bool& failed, std::size_t limit = 0);

// Given as the separator, the reader takes guessSeparator of the input's first line (as
// far as its first read holds it).
inline constexpr char kGuessSeparator = '\0';

class Reader {
 public:
  explicit Reader(std::string_view text, char separator = ',');
  explicit Reader(Source source, char separator = ',');

  // The next row, skipping lines that hold nothing; false at the end.
  bool next(Row& row);
  // A NUL byte was met: the input is not text.
  bool binary() const { return binary_; }
  // Bytes consumed so far (after a byte order mark), for progress.
  std::uint64_t position() const { return consumed_; }
  // The separator, once the first row is read when it is guessed.
  char separator() const { return separator_; }

 private:
  // The next byte, or -1 at the end. Every byte of every file passes here: kept inline.
  int peek() {
    if (at_ == end_ && !fill()) return -1;
    return static_cast<unsigned char>(data_[at_]);
  }
  int get() {
    const int c = peek();
    if (c < 0) return c;
    ++at_;
    ++consumed_;
    if (c == 0) binary_ = true;
    return c;
  }
  bool fill();

  Source source_;
  std::vector<char> buffer_;
  const char* data_ = nullptr;  // the whole input when given as a text, else the buffer
  std::size_t at_ = 0, end_ = 0;
  std::uint64_t consumed_ = 0;
  char separator_;
  int line_ = 1;
  bool started_ = false, binary_ = false, done_ = false;
};

// The separator of a text whose first line is `firstLine`: a tab when it holds tabs and no
// commas (cells copied from a spreadsheet), a semicolon when it holds semicolons and neither
// (a spreadsheet where the comma is the decimal mark), otherwise a comma.
char guessSeparator(std::string_view firstLine);

// Columns found by name in a header row: case and surrounding blanks ignored.
class Header {
 public:
  Header() = default;
  explicit Header(const std::vector<std::string>& names);
  std::optional<std::size_t> find(std::string_view name) const;
  bool has(std::string_view name) const { return find(name).has_value(); }
  std::size_t size() const { return names_.size(); }
  const std::string& name(std::size_t column) const { return names_[column]; }

 private:
  std::vector<std::string> names_;  // folded
};

// Every field of the row empty or blanks (a spreadsheet's empty row copied as separators).
bool blankRow(const Row& row);
// A row's field in a column, or an empty text when there is no such column or the row is
// short.
std::string_view fieldAt(const Row& row, std::optional<std::size_t> column);

// The text in lower case with blanks (and a byte order mark) trimmed: how names compare.
std::string foldName(std::string_view text);

// A field as written: quoted when it holds the separator, a quote or a line break, or
// starts or ends with a blank; quotes inside doubled; a would-be formula behind an apostrophe.
std::string quoteField(std::string_view text, char separator = ',');
// One row and its CRLF line end.
void appendRow(std::string& out, std::span<const std::string> fields, char separator = ',');

// The rows of a text as an HTML table: what a spreadsheet takes from the clipboard as cells
// (comma-separated text it would paste into one column); a would-be formula behind an
// apostrophe, as in the text.
std::string htmlTable(std::string_view text);

}  // namespace pw::csv
