#include "exchange/Layouts.h"

#include <algorithm>

#include "exchange/ChannelCsv.h"
#include "exchange/ContactCsv.h"
#include "exchange/Repeaters.h"

namespace pw::exchange {
namespace {

// clang-format off
const Layout kLayouts[] = {
    {.name = "the editor's own channel list", .numbered = true, .recognises = isOwnChannelHeader, .open = Opener<ChannelRow>{openOwnChannels}},
    {.name = "an analogue channel list", .numbered = false, .recognises = isAnalogueChannelHeader, .open = Opener<ChannelRow>{openAnalogueChannels}},
    {.name = "copied contacts", .numbered = false, .recognises = isContactHeader, .open = Opener<ContactRow>{openContacts}},
    {.name = "a repeater list", .numbered = false, .recognises = isRepeaterHeader, .open = Opener<RepeaterRow>{openRepeaters}},
    {.name = "a talkgroup list", .numbered = false, .recognises = isTalkgroupHeader, .open = Opener<TalkgroupRow>{openTalkgroups}},
};
// clang-format on

std::string joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
  return out;
}

}  // namespace

Columns::Columns(const std::vector<std::string>& names)
    : header_(names), names_(names), taken_(names.size(), false) {
  for (std::string& n : names_) n = std::string(trimmed(n));
}

std::optional<std::size_t> Columns::take(std::string_view name) {
  const auto column = header_.find(name);
  if (column) taken_[*column] = true;
  return column;
}

// Each name once, at its first column: a later column of the same name is neither read nor
// listed again.
std::vector<std::string> Columns::unread() const {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < names_.size(); ++i)
    if (!taken_[i] && !header_.name(i).empty() && header_.find(header_.name(i)) == i)
      out.push_back(names_[i]);
  return out;
}

std::vector<std::string> Columns::repeated() const {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (!taken_[i]) continue;
    std::size_t given = 0;
    for (std::size_t j = 0; j < names_.size(); ++j) given += header_.name(j) == header_.name(i);
    if (given > 1) out.push_back(names_[i]);
  }
  return out;
}

std::vector<std::string> Columns::beyond(const csv::Row& row) const {
  std::vector<std::string> out;
  for (std::size_t i = row.fields.size(); i < names_.size(); ++i)
    if (taken_[i]) out.push_back(names_[i]);
  return out;
}

std::span<const Layout> layouts() { return kLayouts; }

const Layout* layoutFor(const csv::Header& header) {
  for (const Layout& l : kLayouts)
    if (l.recognises(header)) return &l;
  return nullptr;
}

template <class Row>
Plan<Row> readRows(csv::Reader& reader, const ReadContext& context, const Admit<Row>& admit,
                   const std::string& noLayout) {
  Plan<Row> plan;
  Report& report = plan.report;
  const auto fail = [&](bool binary) {
    Plan<Row> failed;
    failed.report.failure = binary ? "The file is not a text file." : noLayout;
    return failed;
  };
  csv::Row row;
  if (!reader.next(row) || reader.binary()) return fail(reader.binary());
  const csv::Header header(row.fields);
  Opener<Row> open = nullptr;
  for (const Layout& l : kLayouts)
    if (const auto* o = std::get_if<Opener<Row>>(&l.open); o && l.recognises(header)) {
      plan.layout = &l;
      open = *o;
      break;
    }
  if (!open) return fail(false);
  Columns columns(row.fields);
  ReadContext here = context;
  here.headerLine = row.line;
  here.separator = reader.separator();
  const std::unique_ptr<RowReader<Row>> rows = open(columns, here, report.notes);
  for (const std::string& name : columns.repeated())
    report.notes.push_back(
        {row.line, "column " + quoted(name) + " is given more than once: the first is read"});
  report.unreadColumns = columns.unread();

  std::vector<Note> rowNotes;
  while (reader.next(row)) {
    if (csv::blankRow(row)) continue;
    if (row.openQuote) {
      report.skipped.push_back({.line = row.line, .lastLine = row.lastLine, .reason = Reason::OpenQuote});
      continue;
    }
    Row out{.line = row.line};
    Skip skip{.line = row.line};
    rowNotes.clear();
    if (!rows->read(row, out, skip, rowNotes) || !admit(out, skip)) {
      if (skip.reason == Reason::NoRoom) ++report.noRoom;
      report.skipped.push_back(std::move(skip));
      continue;
    }
    if (const auto left = columns.beyond(row); !left.empty())
      rowNotes.push_back(
          {row.line, "fewer fields than the header: " + joined(left) + " take their defaults"});
    report.notes.insert(report.notes.end(), rowNotes.begin(), rowNotes.end());
    plan.rows.push_back(std::move(out));
  }
  if (reader.binary()) return fail(true);
  return plan;
}

template Plan<ChannelRow> readRows(csv::Reader&, const ReadContext&, const Admit<ChannelRow>&,
                                   const std::string&);
template Plan<ContactRow> readRows(csv::Reader&, const ReadContext&, const Admit<ContactRow>&,
                                   const std::string&);
template Plan<RepeaterRow> readRows(csv::Reader&, const ReadContext&, const Admit<RepeaterRow>&,
                                    const std::string&);
template Plan<TalkgroupRow> readRows(csv::Reader&, const ReadContext&, const Admit<TalkgroupRow>&,
                                     const std::string&);

}  // namespace pw::exchange
