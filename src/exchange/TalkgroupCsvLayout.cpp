// A talkgroup list as a CSV: id,name, read by name.
#include "codeplug/Text.h"
#include "contacts/ContactList.h"
#include "exchange/Layouts.h"
#include "exchange/Repeaters.h"

namespace pw::exchange {
namespace {

class TalkgroupCsvReader final : public RowReader<TalkgroupRow> {
 public:
  explicit TalkgroupCsvReader(Columns& c) : id_(c.take("id")), name_(c.take("name")) {}

  bool read(const csv::Row& row, TalkgroupRow& out, Skip& skip, std::vector<Note>&) override {
    const std::string_view id = trimmed(csv::fieldAt(row, id_));
    const auto number = parseInteger(id, 1, kMaxCallId);
    if (!number) {
      skip = {.line = row.line,
              .reason = Reason::NotHeld,
              .what = "id",
              .value = std::string(id),
              .detail = "a talkgroup ID (1..16777215)"};
      return false;
    }
    out.id = std::uint32_t(*number);
    out.name = trimmed(csv::fieldAt(row, name_));
    return true;
  }

 private:
  std::optional<std::size_t> id_, name_;
};

}  // namespace

bool isTalkgroupHeader(const csv::Header& header) {
  return header.has("id") && header.has("name") && !header.has("callsign");
}

std::unique_ptr<RowReader<TalkgroupRow>> openTalkgroups(Columns& columns, const ReadContext&,
                                                        std::vector<Note>&) {
  return std::make_unique<TalkgroupCsvReader>(columns);
}

}  // namespace pw::exchange
