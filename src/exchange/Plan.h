#pragma once
// The one shape of every import, whatever it reads: a plan (the records to add or update, in
// the order read) and a report (every row skipped with its line and the kind of reason, the
// remarks, the columns not read, what found no room). Channels in either layout, a paste of
// channels or contacts, the DMR user database and the wizard's sources all read into it; the
// window previews a report, the command-line tool prints it, and applying a plan fills in
// the records it added and updated.
//
// How to add a layout (a kind of comma-separated file for a list the exchange fills):
//  1. One file of its own, `XxxLayout.cpp`, with a `RowReader<Row>` that takes its columns
//     from the header (`Columns::take`) and reads one row into a `Row`, or fills the `Skip`
//     that says why the radio cannot hold it, and an opener that makes that reader.
//  2. One row in the table of `layouts()` (Layouts.cpp): the layout's name as the preview says
//     it, the test that recognises its header, and the opener.
// The rest is shared: the reading loop (blank rows, unclosed quotes, rows beyond the list's
// room, repeated, unread and missing columns), apply, preview, paste and the report.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/RecordList.h"

namespace pw::exchange {

// Why a row or entry is not imported; skipText words it.
enum class Reason : std::uint8_t {
  OpenQuote,    // a quoted field is never closed: it took the rest of the text
  Missing,      // a value the row must give is empty
  NotANumber,   // a number column holds something else
  OutsideBand,  // a frequency outside the radio's band
  NotOffered,   // a value the radio does not have (a mode, a tone)
  NotKnown,     // a word of the layout this editor does not know
  NotHeld,      // a value the field or list cannot hold
  Repeated,     // the list holds the record already, or an earlier row gave it
  NotARecord,   // a line that is no record of the layout
  NoRoom,       // the list is full
  // The wizard's choices of repeaters
  Inactive,     // the entry's status is not active
  OutsideArea,  // not in the countries, states or cities asked for, or too far away
  NoPosition,   // a distance is asked for and the entry gives no usable lat and lng
  NoNetwork,    // no talkgroup set names the entry's network
};

struct Skip {
  int line = 0;         // where the row starts, from 1
  int lastLine = 0;     // where it ends, when it spans several lines (an unclosed quote)
  std::string entry{};  // the entry of a list read without lines (a callsign): named instead of the line
  Reason reason = Reason::NotHeld;
  std::string what{};    // the column or value concerned: "Frequency", "receive", "call ID 7"
  std::string value{};   // the text as read
  std::string detail{};  // the rest of the words: "a value a channel can hold", "1000 channels in use"
};
// "Offset \"abc\" is not a number", "no room: 1000 channels in use", ...
std::string skipText(const Skip& skip);
// "line 7: ...", "lines 7-412: ..." or "DL1ABC: ..." as the command-line tool prints it.
std::string skipLine(const Skip& skip);

// A remark on a row that is imported (a name cut, a reference not found), or on the header.
struct Note {
  int line = 0;
  std::string text;
  std::string entry{};  // instead of a line, as in Skip
};
// "line 7: TEXT" or "DL1ABC: TEXT".
std::string noteLine(const Note& note);

struct Report {
  std::string failure;      // why nothing could be read; empty when the text was read
  const char* record = "";  // what a row becomes: "channel", "contact"
  int capacity = 0;         // how many of them the list holds
  std::vector<Skip> skipped;
  std::vector<Note> notes;                 // in line order once applied or previewed
  std::vector<std::string> unreadColumns;  // columns no layout field reads, as spelt
  int noRoom = 0;                          // rows skipped (or only counted) because the list is full
  int present = 0;       // rows whose record the list holds already, only counted (user database)
  int namesChanged = 0;  // names the name rule wrote otherwise than the text, only counted
  // Once applied or previewed: the records of the plan's list added and updated (indexes,
  // ascending), and how many records each other list gained (zones a channel row names).
  std::vector<int> added{}, updated{};
  std::array<int, kListCount> alsoAdded{};

  bool readable() const { return failure.empty(); }
  int addedTo(ListId list) const { return alsoAdded[std::size_t(list)]; }
};

struct Layout;

template <class Row>
struct Plan {
  const Layout* layout = nullptr;  // what the text was read as; none when it could not be read
  std::vector<Row> rows;           // to add or update, in the order read
  Report report;

  bool readable() const { return report.readable(); }
};

// The report as the command-line tool prints it: "added N", "updated N", a skipLine per row
// skipped, "note line L: TEXT" per remark, then "note: N names written without accents".
std::vector<std::string> reportLines(const Report& report);
// "note: 1,204 names written without accents"
std::string namesNote(int changed);
// What the user is told after a paste: the failure when nothing could be read; nothing when
// every row was pasted without a remark; otherwise how many were pasted and how many found
// no room, the columns not read, then the rows not pasted and the remarks in line order, the
// first 20 of them.
std::string pasteMessage(const Report& report);

// ---- what the layouts share ----

// A name as a cell gives it: the name rule's conversion of outside text, escapes (\xNN, as
// the editor writes names) undone when `escapes`, trimmed, cut to 16 characters; each change
// noted as `what` "...".
std::string nameFromCell(std::string_view cell, bool escapes, const char* what, int line,
                         std::vector<Note>& notes);
// The text in double quotes, for messages.
std::string quoted(std::string_view text);

// A plain decimal number ("146.52", "0,6", "88.5") in units of 10^-scale. Digits beyond the
// scale are dropped, or, when `exact`, must be zeros; `dropped` says whether any that was not
// a zero went. Nothing for any other text.
struct Decimal {
  std::int64_t units;
  bool dropped;
};
std::optional<Decimal> parseDecimal(std::string_view text, int scale, bool exact);

// One past the last record of the list in use: where appended records go.
int endOfUse(const CodePlugDocument& doc, ListId list);
// The records appended at first..end-1 moved to `at` when it lies before them, the records
// from there on moving down with every reference following; the report's `added` become
// the rows they stand at and its `updated` rows follow the move.
void placeAppended(CodePlugDocument& doc, ListId list, int first, int end, int at, Report& report);

}  // namespace pw::exchange
