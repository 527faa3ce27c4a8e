#pragma once
// Contacts as comma-separated text, for the clipboard. A copy writes the header
// `call_id,name,call_type,receive_tone` and one row per contact: the call type and the
// receive tone as the grid shows them ("Group call", "Yes"), the name as the text form
// writes names (\xNN escapes). A paste reads that layout (ContactLayout.cpp: columns by name
// and in any order; cells copied from a spreadsheet are tab-separated) or the lines of the
// contact file's comma-separated layout (ID,name[,extra]), and puts the contacts after a
// given row.

#include <span>
#include <string>
#include <string_view>

#include "codeplug/CodePlugDocument.h"
#include "contacts/ContactFiles.h"
#include "exchange/Plan.h"
#include "textform/FieldCatalogue.h"

namespace pw::exchange {

// The columns of the contacts' own layout.
inline constexpr const char* kContactIdColumn = "call_id";
inline constexpr const char* kContactNameColumn = "name";
inline constexpr const char* kContactTypeColumn = "call_type";
inline constexpr const char* kContactToneColumn = "receive_tone";
// The contact field of the field catalogue stored in `bits` (kContactCallType, ...).
const text::FieldDesc& contactField(BitField bits);

// One contact a paste adds.
struct ContactRow {
  int line = 0;
  ContactEntry entry{};  // an empty name: the default name of the slot it goes to
};

// The clipboard text of the contacts at `rows` (record indexes, in the order given): the
// header line, then one line per contact, CRLF line ends.
std::string writeContactText(const CodePlugDocument& doc, std::span<const int> rows);

// Pastes the text's contacts at row insertAt (-1 or the row count: after the last contact),
// the contacts from there on moving down with every reference following, as one undo step.
// A contact whose call ID the list holds already, or an earlier row gave, is not pasted, nor
// one beyond the list's capacity; the report's `added` are the rows pasted and pasteMessage
// tells of the others, or that the text holds no contacts (then nothing changes).
Report pasteContactText(CodePlugDocument& doc, std::string_view text, int insertAt);

}  // namespace pw::exchange
