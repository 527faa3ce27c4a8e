#include "exchange/Rows.h"

#include <algorithm>

#include "codeplug/Csv.h"
#include "codeplug/Layout.h"
#include "codeplug/Text.h"
#include "textform/FieldCatalogue.h"

namespace pw::exchange {
namespace {

constexpr std::size_t kListedLines = 20;  // a longer list would not fit a message box

std::string counted(int n, const char* noun) { return std::to_string(n) + " " + noun + (n == 1 ? "" : "s"); }

}  // namespace

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string nameFromCell(std::string_view cell, bool escapes, const char* what, int line,
                         std::vector<RowNote>& notes) {
  NameChanges changes;
  const std::string kept = nameFromOutside(cell, &changes);
  std::string name = kept;
  if (escapes)
    if (auto bytes = text::unescapeName(kept)) name = std::move(*bytes);
  if (!escapes) name = trimControls(name);
  const bool cut = int(name.size()) > kNameUnits;
  if (cut) name = std::string(trimmed(name.substr(0, kNameUnits)));
  if (changes.dropped)
    notes.push_back({line, std::string(what) + " " + quoted(text::escapeText(name)) +
                               ": characters a name cannot store were dropped"});
  else if (changes.replaced)
    notes.push_back(
        {line, std::string(what) + " " + quoted(text::escapeText(name)) + ": written without accents"});
  if (cut)
    notes.push_back({line, std::string(what) + " cut to 16 characters: " + quoted(text::escapeText(name))});
  return name;
}

std::string pasteMessage(const PasteReport& r) {
  if (r.pasted > 0 && r.noRoom == 0 && r.skipped.empty() && r.notes.empty() && r.unknownColumns.empty())
    return {};
  std::string out = "Pasted " + counted(r.pasted, r.noun) + ".";
  if (r.noRoom > 0)
    out += "\n" + counted(r.noRoom, r.noun) + " not pasted: the list holds no more than " +
           std::to_string(r.capacity) + ".";
  if (!r.unknownColumns.empty()) {
    out += "\nColumns not read:";
    for (std::size_t i = 0; i < r.unknownColumns.size(); ++i) out += (i ? ", " : " ") + r.unknownColumns[i];
    out += ".";
  }
  std::vector<RowNote> lines;
  for (const RowNote& s : r.skipped) lines.push_back({s.line, "not pasted: " + s.text});
  lines.insert(lines.end(), r.notes.begin(), r.notes.end());
  std::stable_sort(lines.begin(), lines.end(),
                   [](const RowNote& a, const RowNote& b) { return a.line < b.line; });
  if (!lines.empty()) out += "\n";
  for (std::size_t i = 0; i < lines.size() && i < kListedLines; ++i)
    out += "\nline " + std::to_string(lines[i].line) + ": " + lines[i].text;
  if (lines.size() > kListedLines)
    out += "\n... and " + std::to_string(lines.size() - kListedLines) + " more.";
  return out;
}

}  // namespace pw::exchange
