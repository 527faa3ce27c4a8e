#pragma once
// Channels as comma-separated text: the editor's own layout, written and read, and the
// channel lists of the common analogue programming layout, read. The same functions
// serve a file (Import and Export, the command-line tool) and the clipboard (a paste).
//
// The own layout's columns are `number`, `name`, the text form's channel keys and
// `zones`; values are written as the text form writes them, except references, which
// are written as the referred record's name (`#<number>` when the name is shared within
// its list, looks like a special text, or the record is free) or "None". Names keep the
// text form's escapes (\xNN); `zones` joins the names of the zones holding the channel
// with `|` (a `|` inside a name written \x7c, a shared name as `#<number>`).
//
// Reading never writes: it yields a plan (the channels to add or update, in file order,
// and every row skipped with its line and reason). The plan is shown, then applied:
//
//   ChannelPlan plan = readChannelText(doc, clipboardText, {});      // or readChannelFile
//   if (!plan.readable()) { show(plan.failure); return; }
//   ApplyResult preview = previewChannelPlan(doc, plan, options);   // what apply would do
//   show(reportLines(plan, preview));                                // the same lines as the CLI
//   ApplyResult done = applyChannelPlan(doc, plan, options);        // one undo step
//
// A copy writes writeChannelText over the selected rows; a paste (pasteChannelText) reads
// the clipboard's text the same way (cells copied from a spreadsheet are tab-separated: the
// separator is guessed from the first line) and applies it with `insertAt` = the row to
// insert at and `createZones` = false.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "exchange/Rows.h"
#include "textform/FieldCatalogue.h"

namespace pw::exchange {

enum class ChannelLayout {
  None,      // the text could not be read (see ChannelPlan::failure)
  Own,       // the editor's own export
  Analogue,  // Location,Name,Frequency,Duplex,Offset,Tone,...
};

// One channel the plan writes.
struct ChannelRow {
  struct Value {
    const text::FieldDesc* field;
    std::uint32_t value;
  };
  struct Reference {  // resolved by name when the plan is applied
    const text::FieldDesc* field;
    std::string text;  // a name, "#<number>" or "None"
  };
  int line = 0;
  int updates = 0;  // the channel number this row overwrites; 0: a new channel
  bool hasName = false;
  std::string name{};  // the name's bytes (new channels: empty gives the default name)
  std::vector<Value> values{};
  std::vector<Reference> references{};
  std::vector<std::string> zones{};  // zone names or "#<number>", in file order
};

struct ChannelPlan {
  ChannelLayout layout = ChannelLayout::None;
  std::string failure;                      // why nothing could be read; empty when the text was read
  std::vector<ChannelRow> rows;             // in file order
  std::vector<RowNote> skipped;             // rows not imported, with the reason
  std::vector<RowNote> notes;               // rows imported with a remark (name cut, characters dropped)
  std::vector<std::string> unknownColumns;  // own layout: columns it does not read
  int noRoom = 0;                           // rows skipped because the channel list is full

  bool readable() const { return layout != ChannelLayout::None; }
  int added() const;
  int updated() const;
};

struct ReadOptions {
  // Own layout: a row whose `number` names a channel in use overwrites the fields the
  // file gives (missing columns keep their values); the other rows are added.
  bool update = false;
};

// Reads a whole text (a clipboard's, or a file already in memory). The separator is a
// tab when the first line holds tabs and no commas, otherwise a comma. New channels are
// planned until the channel list would be full; the rows beyond are skipped.
ChannelPlan readChannelText(const CodePlugDocument& doc, std::string_view text, const ReadOptions& options);
// Reads a regular file, streaming; an unreadable file gives a plan with a failure.
ChannelPlan readChannelFile(const CodePlugDocument& doc, const std::string& path, const ReadOptions& options);

struct ApplyOptions {
  // New channels go to this row (0-based), the channels from there on moving down with
  // every reference to them following, as a move does; -1 (or the row count): after the
  // last channel in use.
  int insertAt = -1;
  // A zone named in `zones` that is not in use is created while there is room; false:
  // zones only receive channels, and a name not found is reported.
  bool createZones = true;
  // The undo step's name; empty: "import N channels".
  std::string stepName;
  // A reference or zone written `#<number>` names that record of this code plug (a file
  // exported from it). False when the text may come from another code plug, whose numbers
  // mean other records here: such a reference is not found.
  bool numbersHold = true;
};

struct ApplyResult {
  std::vector<int> addedRows;    // record indexes of the new channels, ascending
  std::vector<int> updatedRows;  // record indexes of the channels overwritten, ascending
  std::vector<RowNote> notes;    // references not found, zones full or created
  int zonesCreated = 0;
};

// Writes the plan into the document. The changes form one undo step: edits made before
// are settled as a step of their own first, and the step is named for the document's
// next settle (the editor settles after the user's action; others call settleEdits).
// References and zones are resolved by name here, against the document as it is.
ApplyResult applyChannelPlan(CodePlugDocument& doc, const ChannelPlan& plan, const ApplyOptions& options);
// What applyChannelPlan would do, worked out on a copy: the document is not touched.
ApplyResult previewChannelPlan(const CodePlugDocument& doc, const ChannelPlan& plan,
                               const ApplyOptions& options);

// The remarks of the plan and of its application together, in line order.
std::vector<RowNote> remarks(const ChannelPlan& plan, const ApplyResult& result);
// The report as the command-line tool prints it: "added N", "updated N", one
// "line L: REASON" per skipped row, then one "note line L: TEXT" per remark, in line order.
std::vector<std::string> reportLines(const ChannelPlan& plan, const ApplyResult& result);

// Pastes the text's channels at row insertAt (-1 or the row count: after the last channel),
// the channels from there on moving down with every reference following, as one undo step;
// references and zones are resolved by name and no zone is created. The rows pasted are the
// new channels; the message tells what was not pasted or not found, or that the text holds
// no channels (then nothing changes). `numbersHold` as in ApplyOptions.
PasteResult pasteChannelText(CodePlugDocument& doc, std::string_view text, int insertAt, bool numbersHold);
// Changes whenever a record a channel's text may name by number changes (contacts, rx group
// lists, scan lists, emergency systems, zones): a copy carries it, and a paste whose stamp is
// the code plug's own takes `#<number>` as written.
std::uint64_t channelReferenceStamp(const CodePlugDocument& doc);

// The own layout's text of the channels at `rows` (record indexes, in the order given):
// the header line, then one line per channel, CRLF line ends, no byte order mark.
std::string writeChannelText(const CodePlugDocument& doc, std::span<const int> rows);
// Every channel in use, in channel order, written with the document's FileWriter (links
// followed, permissions kept, a previous file intact on failure). 0, kSaveCreate or
// kSaveWrite; a failure is told through the document's prompt.
int exportChannels(const CodePlugDocument& doc, const std::string& path);

}  // namespace pw::exchange
