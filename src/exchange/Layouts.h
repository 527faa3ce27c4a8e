#pragma once
// The layouts comma-separated texts are read in, listed in one table, and the one loop that
// reads a text with the layout that takes its header (see Plan.h for how to add one).

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/Csv.h"
#include "exchange/Plan.h"

namespace pw::exchange {

struct ChannelRow;
struct ContactRow;
struct RepeaterRow;
struct TalkgroupRow;

// A header's columns by name (case and blanks ignored). A layout takes the ones it reads;
// the others are the columns not read, and a name given twice is read in its first column.
class Columns {
 public:
  explicit Columns(const std::vector<std::string>& names);
  std::optional<std::size_t> take(std::string_view name);
  bool has(std::string_view name) const { return header_.has(name); }
  // The columns no layout field took, as the header spells them.
  std::vector<std::string> unread() const;
  // The names of columns taken that the header gives more than once.
  std::vector<std::string> repeated() const;
  // The columns taken that a row with too few fields leaves out, as the header spells them.
  std::vector<std::string> beyond(const csv::Row& row) const;

 private:
  csv::Header header_;
  std::vector<std::string> names_;
  std::vector<bool> taken_;
};

// What a layout's reader knows besides the row.
struct ReadContext {
  const CodePlugDocument& doc;
  bool update = false;   // a row that numbers a record in use updates it
  char separator = ',';  // as the text turned out to be separated; ';' files write decimal commas
  int headerLine = 1;
};

template <class Row>
class RowReader {
 public:
  virtual ~RowReader() = default;
  // Reads one row into `out` (whose line is set); false, with `skip` filled, when the row
  // cannot be stored. `notes` take the row's remarks.
  virtual bool read(const csv::Row& row, Row& out, Skip& skip, std::vector<Note>& notes) = 0;
};

// Makes a layout's reader for a header it recognises; remarks on the header go to `notes`.
template <class Row>
using Opener = std::unique_ptr<RowReader<Row>> (*)(Columns& columns, const ReadContext& context,
                                                   std::vector<Note>& notes);

struct Layout {
  const char* name;  // as the preview says it: "the editor's own channel list"
  bool numbered;     // rows may name the record they update
  bool (*recognises)(const csv::Header& header);
  std::variant<Opener<ChannelRow>, Opener<ContactRow>, Opener<RepeaterRow>, Opener<TalkgroupRow>> open;
};
// Every layout, in the order a header is offered to them.
std::span<const Layout> layouts();
// The first layout that recognises the header, whatever it reads into; none when no layout does.
const Layout* layoutFor(const csv::Header& header);

// Whether a row that was read goes into the plan (the list's room, records given twice);
// false with `skip` filled.
template <class Row>
using Admit = std::function<bool(Row& row, Skip& skip)>;
// Reads a text with the first layout for Row that recognises its header. A text that is no
// text, or whose header no such layout takes, gives a plan whose failure is `noLayout`.
template <class Row>
Plan<Row> readRows(csv::Reader& reader, const ReadContext& context, const Admit<Row>& admit,
                   const std::string& noLayout);

// ---- the layouts' openers, each in its own file ----
bool isOwnChannelHeader(const csv::Header& header);
std::unique_ptr<RowReader<ChannelRow>> openOwnChannels(Columns& columns, const ReadContext& context,
                                                       std::vector<Note>& notes);
bool isAnalogueChannelHeader(const csv::Header& header);
std::unique_ptr<RowReader<ChannelRow>> openAnalogueChannels(Columns& columns, const ReadContext& context,
                                                            std::vector<Note>& notes);
bool isContactHeader(const csv::Header& header);
std::unique_ptr<RowReader<ContactRow>> openContacts(Columns& columns, const ReadContext& context,
                                                    std::vector<Note>& notes);
bool isRepeaterHeader(const csv::Header& header);
std::unique_ptr<RowReader<RepeaterRow>> openRepeaters(Columns& columns, const ReadContext& context,
                                                      std::vector<Note>& notes);
bool isTalkgroupHeader(const csv::Header& header);
std::unique_ptr<RowReader<TalkgroupRow>> openTalkgroups(Columns& columns, const ReadContext& context,
                                                        std::vector<Note>& notes);

}  // namespace pw::exchange
