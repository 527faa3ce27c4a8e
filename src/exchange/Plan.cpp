#include "exchange/Plan.h"

#include <algorithm>

#include "codeplug/Layout.h"
#include "codeplug/Text.h"
#include "textform/FieldCatalogue.h"

namespace pw::exchange {
namespace {

constexpr std::size_t kListedLines = 20;  // a longer list would not fit a message box

std::string counted(std::size_t n, const char* noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string where(int line, int lastLine, const std::string& entry) {
  if (!entry.empty()) return entry;
  if (lastLine > line) return "lines " + std::to_string(line) + "-" + std::to_string(lastLine);
  return "line " + std::to_string(line);
}

// 1204 as "1,204".
std::string grouped(int n) {
  std::string digits = std::to_string(n), out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string skipText(const Skip& s) {
  switch (s.reason) {
    case Reason::OpenQuote:
      return "a quoted field opened on line " + std::to_string(s.line) + " is not closed";
    case Reason::Missing:
      return "no " + s.what;
    case Reason::NotANumber:
      return s.what + " " + quoted(s.value) + " is not a number";
    case Reason::OutsideBand:
      return s.what + " frequency " + s.value + " MHz is outside the radio's range " + s.detail;
    case Reason::NotOffered:
    case Reason::NotKnown:
    case Reason::NotHeld:
      return s.what + (s.value.empty() ? "" : " " + quoted(s.value)) + " is not " + s.detail;
    case Reason::Repeated:
      return s.what + " is " + s.detail;
    case Reason::NotARecord:
      return "not " + s.what;
    case Reason::NoRoom:
      return "no room: " + s.detail;
    case Reason::Inactive:
      return "inactive: status " + quoted(s.value);
    case Reason::OutsideArea:
      return "outside the area: " + s.detail;
    case Reason::NoPosition:
      return "no position (lat, lng) to measure the distance from " + s.detail;
    case Reason::NoNetwork:
      return "network " + quoted(s.value) + " matches no talkgroup set";
  }
  return {};
}

std::string skipLine(const Skip& s) { return where(s.line, s.lastLine, s.entry) + ": " + skipText(s); }

std::string noteLine(const Note& n) { return where(n.line, 0, n.entry) + ": " + n.text; }

std::string namesNote(int changed) { return "note: " + grouped(changed) + " names written without accents"; }

std::vector<std::string> reportLines(const Report& r) {
  std::vector<std::string> lines{"added " + std::to_string(r.added.size()),
                                 "updated " + std::to_string(r.updated.size())};
  for (const Skip& s : r.skipped) lines.push_back(skipLine(s));
  for (const Note& n : r.notes) lines.push_back("note " + noteLine(n));
  if (r.namesChanged > 0) lines.push_back(namesNote(r.namesChanged));
  return lines;
}

std::string pasteMessage(const Report& r) {
  if (!r.readable()) return r.failure;
  std::vector<std::pair<int, std::string>> lines;  // line and text, to be put in line order
  for (const Skip& s : r.skipped)
    if (s.reason != Reason::NoRoom)
      lines.emplace_back(s.line, where(s.line, s.lastLine, s.entry) + ": not pasted: " + skipText(s));
  for (const Note& n : r.notes) lines.emplace_back(n.line, noteLine(n));
  if (!r.added.empty() && r.noRoom == 0 && lines.empty() && r.unreadColumns.empty()) return {};
  std::string out = "Pasted " + counted(r.added.size(), r.record) + ".";
  if (r.noRoom > 0)
    out += "\n" + counted(std::size_t(r.noRoom), r.record) + " not pasted: the list holds no more than " +
           std::to_string(r.capacity) + ".";
  if (!r.unreadColumns.empty()) {
    out += "\nColumns not read:";
    for (std::size_t i = 0; i < r.unreadColumns.size(); ++i) out += (i ? ", " : " ") + r.unreadColumns[i];
    out += ".";
  }
  std::stable_sort(lines.begin(), lines.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  if (!lines.empty()) out += "\n";
  for (std::size_t i = 0; i < lines.size() && i < kListedLines; ++i) out += "\n" + lines[i].second;
  if (lines.size() > kListedLines)
    out += "\n... and " + std::to_string(lines.size() - kListedLines) + " more.";
  return out;
}

std::string nameFromCell(std::string_view cell, bool escapes, const char* what, int line,
                         std::vector<Note>& notes) {
  NameChanges changes;
  const std::string kept = nameFromOutside(cell, &changes);
  std::string name = kept;
  if (escapes)
    if (auto bytes = text::unescapeName(kept)) name = std::move(*bytes);
  if (!escapes) name = trimControls(name);
  const bool cut = int(name.size()) > kNameUnits;
  if (cut) name = trimControls(name.substr(0, kNameUnits));
  const std::string shown = quoted(text::escapeText(name));
  if (changes.dropped)
    notes.push_back(
        {line, std::string(what) + " " + shown + ": characters a name cannot store were dropped"});
  else if (changes.replaced)
    notes.push_back({line, std::string(what) + " " + shown + ": written without accents"});
  if (cut) notes.push_back({line, std::string(what) + " cut to 16 characters: " + shown});
  return name;
}

std::optional<Decimal> parseDecimal(std::string_view text, int scale, bool exact) {
  text = trimmed(text);
  std::int64_t whole = 0, fraction = 0;
  int fractionDigits = 0;
  bool point = false, digits = false, dropped = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digits = true;
      const int d = c - '0';
      if (!point) {
        whole = whole * 10 + d;
        if (whole > 1'000'000'000'000) return std::nullopt;
      } else if (fractionDigits < scale) {
        fraction = fraction * 10 + d;
        ++fractionDigits;
      } else if (d != 0) {
        if (exact) return std::nullopt;
        dropped = true;
      }
    } else if ((c == '.' || c == ',') && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  std::int64_t unit = 1;
  for (int i = 0; i < scale; ++i) unit *= 10;
  for (; fractionDigits < scale; ++fractionDigits) fraction *= 10;
  return Decimal{whole * unit + fraction, dropped};
}

int endOfUse(const CodePlugDocument& doc, ListId list) {
  for (int i = layoutOf(list).count - 1; i >= 0; --i)
    if (inUse(doc, list, i)) return i + 1;
  return 0;
}

void placeAppended(CodePlugDocument& doc, ListId list, int first, int end, int at, Report& report) {
  if (at < 0 || at >= first || end <= first) return;
  moveRecordBlock(doc, list, first, end, at);
  for (int& r : report.added) r = r - first + at;
  for (int& r : report.updated)
    if (r >= at) r += end - first;
}

}  // namespace pw::exchange
