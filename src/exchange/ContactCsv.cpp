#include "exchange/ContactCsv.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "codeplug/Csv.h"
#include "codeplug/Encodings.h"
#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "contacts/ContactFiles.h"
#include "contacts/ContactList.h"
#include "textform/FieldCatalogue.h"

namespace pw::exchange {
namespace {

constexpr ListId kContacts = ListId::Contacts;
constexpr const char* kIdColumn = "call_id";
constexpr const char* kNameColumn = "name";
constexpr const char* kTypeColumn = "call_type";
constexpr const char* kToneColumn = "receive_tone";

const text::FieldDesc& contactField(std::string_view key) {
  return *text::findField(*text::findSection("contacts"), key);
}

struct Row {
  int line;
  ContactEntry entry;  // an empty name: the default name of the slot it goes to
};

struct Plan {
  bool readable = false;
  std::vector<Row> rows{};
  std::vector<RowNote> skipped{};
  std::vector<RowNote> notes{};
  std::vector<std::string> unknownColumns{};
  int noRoom = 0;
};

// Gathers the rows a paste stores: a call ID the list or an earlier row holds is skipped,
// and so is every row once the list is full.
class PlanBuilder {
 public:
  explicit PlanBuilder(const CodePlugDocument& doc) : doc(doc) {
    const int used = usedCount(doc, kContacts);
    room_ = layoutOf(kContacts).count - used;
    for (int i = 0; i < used; ++i)
      holders_.emplace(contactCallId(doc, i),
                       "in the list already: " + quoted(recordName(doc, kContacts, i)));
  }

  // `notes` are the row's remarks, kept when the row is.
  void add(int line, ContactEntry entry, const std::vector<RowNote>& notes = {}) {
    const auto [at, isNew] = holders_.emplace(entry.id, "on line " + std::to_string(line) + " already");
    if (!isNew) {
      plan.skipped.push_back({line, "call ID " + std::to_string(entry.id) + " is " + at->second});
    } else if (room_ == 0) {
      ++plan.noRoom;
    } else {
      --room_;
      plan.rows.push_back({line, std::move(entry)});
      plan.notes.insert(plan.notes.end(), notes.begin(), notes.end());
    }
  }

  const CodePlugDocument& doc;
  Plan plan;

 private:
  int room_ = 0;
  std::unordered_map<std::uint32_t, std::string> holders_;  // call ID -> who holds it
};

// The own layout, by its header; false when the first line is not that header.
bool readOwnLayout(std::string_view text, PlanBuilder& out) {
  csv::Reader reader(text, csv::kGuessSeparator);
  csv::Row row;
  if (!reader.next(row) || reader.binary()) return false;
  const csv::Header header(row.fields);
  const auto id = header.find(kIdColumn), name = header.find(kNameColumn), type = header.find(kTypeColumn),
             tone = header.find(kToneColumn);
  if (!id) return false;
  out.plan.readable = true;
  for (std::size_t i = 0; i < header.size(); ++i)
    if (i != id && i != name && i != type && i != tone && !header.name(i).empty())
      out.plan.unknownColumns.emplace_back(trimmed(row.fields[i]));
  while (reader.next(row)) {
    if (csv::blankRow(row)) continue;
    if (row.openQuote) {
      out.plan.skipped.push_back({row.line, kOpenQuoteReason});
      continue;
    }
    const std::string_view idText = trimmed(csv::fieldAt(row, id));
    const auto callId = text::parseNumber(idText, kMaxCallId);
    if (!callId) {
      out.plan.skipped.push_back(
          {row.line, kIdColumn + std::string(" ") + quoted(idText) + " is not a call ID"});
      continue;
    }
    std::vector<RowNote> notes;
    ContactEntry entry{.id = *callId,
                       .name = nameFromCell(csv::fieldAt(row, name), true, "name", row.line, notes),
                       .callType = *callId < kFirstPrivateId ? kGroupCall : kPrivateCall,
                       .rxTone = false};
    const std::string_view typeText = trimmed(csv::fieldAt(row, type)),
                           toneText = trimmed(csv::fieldAt(row, tone));
    const auto callType =
        typeText.empty() ? std::nullopt : text::parseField(out.doc, contactField(kTypeColumn), typeText);
    const auto rxTone =
        toneText.empty() ? std::nullopt : text::parseField(out.doc, contactField("rx_tone"), toneText);
    if ((!typeText.empty() && !callType) || (!toneText.empty() && !rxTone)) {
      const bool badType = !typeText.empty() && !callType;
      out.plan.skipped.push_back({row.line, std::string(badType ? kTypeColumn : kToneColumn) + " " +
                                                quoted(badType ? typeText : toneText) +
                                                " is not a value a contact can hold"});
      continue;
    }
    if (callType) entry.callType = int(*callType);
    if (rxTone) entry.rxTone = *rxTone != 0;
    out.add(row.line, std::move(entry), notes);
  }
  return true;
}

// Copied or exported channels: their rows start with a number and a name, so the contact
// file's lines would take them for contacts.
bool isChannelList(std::string_view text) {
  csv::Reader reader(text, csv::kGuessSeparator);
  csv::Row row;
  if (!reader.next(row)) return false;
  const csv::Header header(row.fields);
  return header.has("rx_frequency") || header.has("frequency");
}

// The contact file's comma-separated lines; readable when one of them is a contact.
void readFileLayout(std::string_view text, PlanBuilder& out) {
  std::vector<RowNote> unread;
  for (const ContactFileLine& line : contactFileLines(text)) {
    if (auto entry = readContactCsvLine(line.text)) {
      out.plan.readable = true;
      out.add(line.line, std::move(*entry));
    } else {
      unread.push_back({line.line, "not a contact (ID,name)"});
    }
  }
  out.plan.skipped.insert(out.plan.skipped.end(), unread.begin(), unread.end());
}

}  // namespace

std::string writeContactText(const CodePlugDocument& doc, std::span<const int> rows) {
  std::string out;
  if (!doc.hasImage()) return out;
  const RecordListLayout& l = layoutOf(kContacts);
  const text::FieldDesc& type = contactField(kTypeColumn);
  const std::string header[] = {kIdColumn, kNameColumn, kTypeColumn, kToneColumn};
  csv::appendRow(out, header);
  for (int slot : rows) {
    const ByteSpan record = recordBytes(doc, kContacts, slot);
    if (record.empty()) continue;
    const std::string fields[] = {std::to_string(contactCallId(doc, slot)),
                                  text::nameText(record.subspan(std::size_t(l.nameOffset)), l.nameUnits),
                                  text::renderField(doc, type, text::readField(record, type)).text,
                                  contactRxTone(doc, slot) ? "Yes" : "No"};
    csv::appendRow(out, fields);
  }
  return out;
}

PasteResult pasteContactText(CodePlugDocument& doc, std::string_view text, int insertAt) {
  PasteResult out;
  if (!doc.hasImage()) return out;
  PlanBuilder builder(doc);
  if (!readOwnLayout(text, builder) && !isChannelList(text)) readFileLayout(text, builder);
  const Plan& plan = builder.plan;
  if (!plan.readable) {
    out.message =
        "Nothing was pasted: the text on the clipboard is not a list of contacts. Copied contacts start with "
        "the line call_id,name,call_type,receive_tone; the lines of a contact file read ID,name.";
    return out;
  }
  doc.settleEdits("edit");  // what came before is a step of its own
  const int first = usedCount(doc, kContacts);
  int next = first;
  for (const Row& row : plan.rows) {
    ContactEntry entry = row.entry;
    // Trimmed as initEntry stores it: an escaped control code first (\x00) would leave the record free.
    entry.name = trimControls(entry.name);
    if (entry.name.empty()) entry.name = defaultName(kContacts, next);
    initEntry(doc, kContacts, next, entry.name);
    storeContact(doc, next++, entry);
  }
  const int at = insertAt >= 0 && insertAt < first ? insertAt : first;
  if (at < first) moveRecordBlock(doc, kContacts, first, next, at);
  for (int r = at; r < at + (next - first); ++r) out.rows.push_back(r);
  const int count = next - first;
  doc.nameNextStep("paste " + std::to_string(count) + (count == 1 ? " contact" : " contacts"));
  out.message = pasteMessage({.noun = "contact",
                              .pasted = count,
                              .noRoom = plan.noRoom,
                              .capacity = layoutOf(kContacts).count,
                              .skipped = plan.skipped,
                              .notes = plan.notes,
                              .unknownColumns = plan.unknownColumns});
  return out;
}

}  // namespace pw::exchange
