#include "codeplug/Csv.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "codeplug/Text.h"

namespace pw::csv {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr char kTextMark = '\'';  // what spreadsheets put before a cell to keep it text

// A plain number ("-7.600", "+5", "12,5"): a spreadsheet shows it as it is.
bool isNumber(std::string_view text) {
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
  bool digits = false, point = false;
  for (const char c : text) {
    if (c >= '0' && c <= '9')
      digits = true;
    else if ((c == '.' || c == ',') && !point)
      point = true;
    else
      return false;
  }
  return digits;
}

// A cell a spreadsheet would evaluate: =, +, - or @ first and no number. Text marks the
// writer put before such a cell count as part of it, so a cell that starts with a mark of
// its own is marked once more and reads back whole.
bool looksLikeFormula(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kTextMark);
  if (first == std::string_view::npos || std::string_view("=+-@").find(text[first]) == std::string_view::npos)
    return false;
  return first > 0 || !isNumber(text);
}

// A quoted field as the writer meant it: without the text mark it put before a would-be formula.
void unmark(std::string& field) {
  if (field.starts_with(kTextMark) && looksLikeFormula(field)) field.erase(0, 1);
}

}  // namespace

Reader::Reader(std::string_view text, char separator) : data_(text.data()), separator_(separator) {
  at_ = 0;
  end_ = text.size();
}

Reader::Reader(Source source, char separator)
    : source_(std::move(source)), buffer_(kChunk), data_(buffer_.data()), separator_(separator) {}

bool Reader::fill() {
  if (!source_ || done_) return false;
  at_ = 0;
  end_ = source_(buffer_.data(), buffer_.size());
  if (end_ == 0) done_ = true;
  return end_ > 0;
}

bool Reader::next(Row& row) {
  if (!started_) {
    started_ = true;
    // A byte order mark is dropped whole, never a byte of it alone.
    if (source_) {
      // The mark may come split over the source's first reads.
      while (end_ < kBom.size() && !done_) {
        const std::size_t n = source_(buffer_.data() + end_, buffer_.size() - end_);
        if (n == 0) done_ = true;
        end_ += n;
      }
    }
    if (peek() >= 0 && std::string_view(data_ + at_, end_ - at_).starts_with(kBom)) at_ += kBom.size();
    if (separator_ == kGuessSeparator)
      separator_ =
          guessSeparator(at_ < end_ ? std::string_view(data_ + at_, end_ - at_) : std::string_view());
  }
  row.fields.clear();
  row.openQuote = false;
  for (;;) {
    if (peek() < 0) return false;
    row.line = line_;
    std::string field;
    bool lineEnded = false, quoted = false;
    bool openAfterBreak = false;  // an unclosed quoted field's last byte ended a line
    while (!lineEnded) {
      int c = get();
      if (c < 0) {
        row.fields.push_back(std::move(field));
        if (quoted) unmark(row.fields.back());
        break;
      }
      if (c == '"' && std::all_of(field.begin(), field.end(), isBlank)) {
        // A quoted field: blanks before the opening quote are dropped, text after the
        // closing quote is kept as it stands.
        field.clear();
        quoted = true;
        for (;;) {
          c = get();
          if (c < 0) {
            row.openQuote = true;
            break;
          }
          openAfterBreak = c == '\n' || c == '\r';
          if (c == '"') {
            if (peek() == '"') {
              get();
              field += '"';
              continue;
            }
            break;
          }
          if (c == '\n' || (c == '\r' && peek() != '\n')) ++line_;
          field += static_cast<char>(c);
        }
        continue;
      }
      if (c == separator_) {
        row.fields.push_back(std::move(field));
        field.clear();
        if (quoted) unmark(row.fields.back());
        quoted = false;
        continue;
      }
      if (c == '\r' || c == '\n') {
        if (c == '\r' && peek() == '\n') get();
        ++line_;
        row.fields.push_back(std::move(field));
        if (quoted) unmark(row.fields.back());
        lineEnded = true;
        continue;
      }
      field += static_cast<char>(c);
    }
    const bool empty = row.fields.size() == 1 && row.fields.front().empty() && !row.openQuote;
    row.lastLine = lineEnded || (row.openQuote && openAfterBreak) ? line_ - 1 : line_;
    if (!empty) return true;
    row.fields.clear();
  }
}

Source fileSource(int fd, bool& failed, std::size_t limit) {
  return [fd, &failed, limit, given = std::size_t(0)](char* buffer, std::size_t size) mutable -> std::size_t {
    if (limit) size = std::min(size, limit - given);
    if (size == 0) return 0;
    for (;;) {
      const ssize_t n = ::read(fd, buffer, size);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) failed = true;
      given += n > 0 ? std::size_t(n) : 0;
      return n > 0 ? std::size_t(n) : 0;
    }
  };
}

char guessSeparator(std::string_view firstLine) {
  const std::string_view line = firstLine.substr(0, firstLine.find_first_of("\r\n"));
  const auto holds = [&](char c) { return line.find(c) != std::string_view::npos; };
  if (holds(',')) return ',';
  if (holds('\t')) return '\t';
  return holds(';') ? ';' : ',';
}

std::string foldName(std::string_view text) {
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  return asciiLower(trimmed(text));
}

Header::Header(const std::vector<std::string>& names) {
  names_.reserve(names.size());
  for (const std::string& n : names) names_.push_back(foldName(n));
}

std::optional<std::size_t> Header::find(std::string_view name) const {
  const std::string wanted = foldName(name);
  for (std::size_t i = 0; i < names_.size(); ++i)
    if (names_[i] == wanted) return i;
  return std::nullopt;
}

bool blankRow(const Row& row) {
  return std::all_of(row.fields.begin(), row.fields.end(),
                     [](const std::string& f) { return trimmed(f).empty(); });
}

std::string_view fieldAt(const Row& row, std::optional<std::size_t> column) {
  if (!column || *column >= row.fields.size()) return {};
  return row.fields[*column];
}

std::string quoteField(std::string_view text, char separator) {
  const auto special = [separator](char c) { return c == separator || c == '"' || c == '\r' || c == '\n'; };
  const bool formula = looksLikeFormula(text);
  const bool needs = formula || std::any_of(text.begin(), text.end(), special) ||
                     (!text.empty() && (isBlank(text.front()) || isBlank(text.back())));
  if (!needs) return std::string(text);
  std::string out = formula ? "\"'" : "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

void appendRow(std::string& out, std::span<const std::string> fields, char separator) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out += separator;
    out += quoteField(fields[i], separator);
  }
  out += "\r\n";
}

std::string htmlTable(std::string_view text) {
  std::string out = "<table>";
  Reader reader(text, kGuessSeparator);
  Row row;
  while (reader.next(row)) {
    out += "<tr>";
    for (const std::string& field : row.fields) {
      out += looksLikeFormula(field) ? "<td>'" : "<td>";
      for (char c : field) {
        switch (c) {
          case '&':
            out += "&amp;";
            break;
          case '<':
            out += "&lt;";
            break;
          case '>':
            out += "&gt;";
            break;
          case '"':
            out += "&quot;";
            break;
          default:
            out += c;
        }
      }
      out += "</td>";
    }
    out += "</tr>";
  }
  return out + "</table>";
}

}  // namespace pw::csv
