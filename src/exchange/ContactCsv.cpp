#include "exchange/ContactCsv.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "codeplug/Csv.h"
#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "codeplug/Text.h"
#include "contacts/ContactList.h"
#include "exchange/Layouts.h"

namespace pw::exchange {
namespace {

constexpr ListId kContacts = ListId::Contacts;

// Admits the rows a paste stores: a call ID the list or an earlier row holds is skipped, and
// so is every row once the list is full. Who holds an ID is told only for a row skipped:
// naming each of a full list's contacts up front cost more than the paste itself.
class Admission {
 public:
  explicit Admission(const CodePlugDocument& doc) : doc_(doc) {
    const int used = endOfUse(doc, kContacts);
    room_ = layoutOf(kContacts).count - used;
    holders_.reserve(std::size_t(used));
    for (int i = 0; i < used; ++i) holders_.emplace(contactCallId(doc, i), Holder{.inList = true, .at = i});
  }

  bool operator()(ContactRow& row, Skip& skip) {
    const auto [at, isNew] = holders_.emplace(row.entry.id, Holder{.inList = false, .at = row.line});
    if (!isNew) {
      skip = {.line = row.line,
              .reason = Reason::Repeated,
              .what = "call ID " + std::to_string(row.entry.id),
              .detail = at->second.inList
                            ? "in the list already: " + quoted(recordName(doc_, kContacts, at->second.at))
                            : "on line " + std::to_string(at->second.at) + " already"};
      return false;
    }
    if (room_ == 0) {
      skip = {.line = row.line,
              .reason = Reason::NoRoom,
              .detail = std::to_string(layoutOf(kContacts).count) + " contacts in use"};
      return false;
    }
    --room_;
    return true;
  }

 private:
  struct Holder {
    bool inList;  // a contact of the list (at: its index) or a row read before (at: its line)
    int at;
  };
  const CodePlugDocument& doc_;  // not changed while rows are admitted
  int room_ = 0;
  std::unordered_map<std::uint32_t, Holder> holders_;  // call ID -> who holds it
};

// The first line is a header another layout reads (copied or exported channels): their rows
// start with a number and a name, so the contact file's lines would take them for contacts.
bool anotherLayoutsHeader(std::string_view text) {
  csv::Reader reader(text, csv::kGuessSeparator);
  csv::Row row;
  if (!reader.next(row)) return false;
  const Layout* layout = layoutFor(csv::Header(row.fields));
  return layout && std::holds_alternative<Opener<ChannelRow>>(layout->open);
}

// The contact file's comma-separated lines; readable when one of them is a contact.
Plan<ContactRow> readFileLines(std::string_view text, const Admit<ContactRow>& admit) {
  Plan<ContactRow> plan;
  Report& report = plan.report;
  bool any = false;
  for (const ContactFileLine& line : contactFileLines(text)) {
    auto entry = readContactCsvLine(line.text);
    if (!entry) {
      report.skipped.push_back(
          {.line = line.line, .reason = Reason::NotARecord, .what = "a contact (ID,name)"});
      continue;
    }
    any = true;
    std::vector<Note> notes;
    ContactRow row{.line = line.line, .entry = std::move(*entry)};
    row.entry.name = nameFromCell(row.entry.name, false, "name", line.line, notes);
    Skip skip;
    if (!admit(row, skip)) {
      report.noRoom += skip.reason == Reason::NoRoom;
      report.skipped.push_back(std::move(skip));
      continue;
    }
    report.notes.insert(report.notes.end(), notes.begin(), notes.end());
    plan.rows.push_back(std::move(row));
  }
  if (!any) report.failure = "no contact";
  return plan;
}

}  // namespace

std::string writeContactText(const CodePlugDocument& doc, std::span<const int> rows) {
  std::string out;
  if (!doc.hasImage()) return out;
  const RecordListLayout& l = layoutOf(kContacts);
  const text::FieldDesc& type = contactField(kContactCallType);
  const std::string header[] = {kContactIdColumn, kContactNameColumn, kContactTypeColumn, kContactToneColumn};
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

Report pasteContactText(CodePlugDocument& doc, std::string_view text, int insertAt) {
  if (!doc.hasImage()) return {};
  Admission admission(doc);
  const Admit<ContactRow> admit = std::ref(admission);
  csv::Reader reader(text, csv::kGuessSeparator);
  Plan<ContactRow> plan = readRows<ContactRow>(reader, {.doc = doc}, admit, "no contact layout");
  if (!plan.readable() && !anotherLayoutsHeader(text)) plan = readFileLines(text, admit);
  Report report = std::move(plan.report);
  report.record = "contact";
  report.capacity = layoutOf(kContacts).count;
  if (!report.readable()) {
    report.failure =
        "Nothing was pasted: the text on the clipboard is not a list of contacts. Copied contacts start with "
        "the line call_id,name,call_type,receive_tone; the lines of a contact file read ID,name.";
    return report;
  }
  doc.settleEdits("edit");  // what came before is a step of its own
  const int first = endOfUse(doc, kContacts);
  int next = first;
  for (const ContactRow& row : plan.rows) {
    ContactEntry entry = row.entry;
    // Trimmed as initEntry stores it: an escaped control code first (\x00) would leave the record free.
    entry.name = trimControls(entry.name);
    if (entry.name.empty()) entry.name = defaultName(kContacts, next);
    initEntry(doc, kContacts, next, entry.name);
    storeContact(doc, next, entry);
    report.added.push_back(next++);
  }
  placeAppended(doc, kContacts, first, next, insertAt, report);
  const std::size_t count = report.added.size();
  doc.nameNextStep("paste " + std::to_string(count) + (count == 1 ? " contact" : " contacts"));
  return report;
}

}  // namespace pw::exchange
