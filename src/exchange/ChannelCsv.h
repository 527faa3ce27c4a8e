#pragma once
// Channels as comma-separated text: the editor's own layout, written and read
// (OwnChannelLayout.cpp), and the channel lists of the common analogue programming layout,
// read (AnalogueChannelLayout.cpp). The same functions serve a file (Import and Export, the
// command-line tool) and the clipboard (a paste).
//
// The own layout's columns are `number`, `name`, the text form's channel keys and
// `zones`; values are written as the text form writes them, except references, which
// are written as the referred record's name (`#<number>` when the name is shared within
// its list, looks like a special text, or the record is free) or "None". Names keep the
// text form's escapes (\xNN); `zones` joins the names of the zones holding the channel
// with `|` (a `|` inside a name written \x7c, a shared name as `#<number>`). A cell that a
// spreadsheet would take for a formula is written with a leading apostrophe (see Csv.h).
//
// Reading never writes: it yields a plan (Plan.h). The plan is shown, then applied:
//
//   ChannelPlan plan = readChannelText(doc, clipboardText, {});      // or readChannelFile
//   if (!plan.readable()) { show(plan.report.failure); return; }
//   Report preview = previewChannelPlan(doc, plan, options);         // what apply would do
//   show(reportLines(preview));                                       // the same lines as the CLI
//   Report done = applyChannelPlan(doc, plan, options);               // one undo step
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
#include "exchange/Plan.h"
#include "textform/FieldCatalogue.h"

namespace pw::exchange {

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
using ChannelPlan = Plan<ChannelRow>;

struct ReadOptions {
  // Own layout: a row whose `number` names a channel in use overwrites the fields the
  // file gives (missing columns keep their values); the other rows are added.
  bool update = false;
};

// Reads a whole text (a clipboard's, or a file already in memory). The separator is a tab
// or a semicolon when the first line holds them and no commas, otherwise a comma. New
// channels are planned until the channel list would be full; the rows beyond are skipped.
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

// Writes the plan into the document; the plan's report with the channels added and updated,
// the zones created and the remarks of the application (references not found, zones full or
// created) among the plan's own, in line order. The changes form one undo step: edits made
// before are settled as a step of their own first, and the step is named for the document's
// next settle (the editor settles after the user's action; others call settleEdits).
// References and zones are resolved by name here, against the document as it is.
Report applyChannelPlan(CodePlugDocument& doc, const ChannelPlan& plan, const ApplyOptions& options);
// What applyChannelPlan would report, worked out on a copy: the document is not touched.
Report previewChannelPlan(const CodePlugDocument& doc, const ChannelPlan& plan, const ApplyOptions& options);

// Pastes the text's channels at row insertAt (-1 or the row count: after the last channel),
// the channels from there on moving down with every reference following, as one undo step;
// references and zones are resolved by name and no zone is created. The report's `added` are
// the rows pasted; pasteMessage tells what was not pasted or not found, or that the text holds
// no channels (then nothing changes). `numbersHold` as in ApplyOptions.
Report pasteChannelText(CodePlugDocument& doc, std::string_view text, int insertAt, bool numbersHold);
// Changes whenever a record a channel's text may name by number changes (contacts, rx group
// lists, scan lists, emergency systems, zones): a copy carries it, and a paste whose stamp is
// the code plug's own takes `#<number>` as written.
std::uint64_t channelReferenceStamp(const CodePlugDocument& doc);

// The own layout's text of the channels at `rows` (record indexes, in the order given):
// the header line, then one line per channel, CRLF line ends, no byte order mark.
std::string writeChannelText(const CodePlugDocument& doc, std::span<const int> rows);
// Every channel in use, in channel order, written as every export is (writeExport). 0,
// kSaveCreate or kSaveWrite; a failure is told through the document's prompt.
int exportChannels(const CodePlugDocument& doc, const std::string& path);

}  // namespace pw::exchange
