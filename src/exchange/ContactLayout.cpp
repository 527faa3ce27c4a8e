// The contacts' own layout, as a copy writes it: call_id,name,call_type,receive_tone, read by
// name and in any order (see ContactCsv.h).
#include "codeplug/Text.h"
#include "contacts/ContactList.h"
#include "exchange/ContactCsv.h"
#include "exchange/Layouts.h"
#include "textform/FieldCatalogue.h"

namespace pw::exchange {
namespace {

class ContactReader final : public RowReader<ContactRow> {
 public:
  ContactReader(Columns& c, const ReadContext& context)
      : doc_(context.doc),
        id_(c.take(kContactIdColumn)),
        name_(c.take(kContactNameColumn)),
        type_(c.take(kContactTypeColumn)),
        tone_(c.take(kContactToneColumn)) {}

  bool read(const csv::Row& row, ContactRow& out, Skip& skip, std::vector<Note>& notes) override {
    const auto refuse = [&](const char* what, std::string_view value, const char* detail) {
      skip = {.line = row.line,
              .reason = Reason::NotHeld,
              .what = what,
              .value = std::string(value),
              .detail = detail};
      return false;
    };
    const std::string_view idText = trimmed(csv::fieldAt(row, id_));
    const auto callId = text::parseNumber(idText, kMaxCallId);
    if (!callId) return refuse(kContactIdColumn, idText, "a call ID");
    out.entry = {.id = *callId,
                 .name = nameFromCell(csv::fieldAt(row, name_), true, "name", row.line, notes),
                 .callType = callTypeForId(*callId),
                 .rxTone = false};
    const std::string_view typeText = trimmed(csv::fieldAt(row, type_)),
                           toneText = trimmed(csv::fieldAt(row, tone_));
    if (!typeText.empty()) {
      const auto callType = text::parseField(doc_, contactField(kContactCallType), typeText);
      if (!callType) return refuse(kContactTypeColumn, typeText, "a value a contact can hold");
      out.entry.callType = int(*callType);
    }
    if (!toneText.empty()) {
      const auto rxTone = text::parseField(doc_, contactField(kContactRxTone), toneText);
      if (!rxTone) return refuse(kContactToneColumn, toneText, "a value a contact can hold");
      out.entry.rxTone = *rxTone != 0;
    }
    return true;
  }

 private:
  const CodePlugDocument& doc_;
  std::optional<std::size_t> id_, name_, type_, tone_;
};

}  // namespace

const text::FieldDesc& contactField(BitField bits) {
  return text::fieldOf(text::sectionOf(ListId::Contacts), bits);
}

bool isContactHeader(const csv::Header& header) { return header.has(kContactIdColumn); }

std::unique_ptr<RowReader<ContactRow>> openContacts(Columns& columns, const ReadContext& context,
                                                    std::vector<Note>&) {
  return std::make_unique<ContactReader>(columns, context);
}

}  // namespace pw::exchange
