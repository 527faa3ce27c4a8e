// The editor's repeater list, for lists kept in a spreadsheet:
// callsign,frequency,offset,color_code,city,state,country,network,lat,lng, read by name.
#include "codeplug/Text.h"
#include "exchange/Layouts.h"
#include "exchange/Repeaters.h"

namespace pw::exchange {
namespace {

class RepeaterCsvReader final : public RowReader<RepeaterRow> {
 public:
  explicit RepeaterCsvReader(Columns& c)
      : callsign_(c.take("callsign")),
        frequency_(c.take("frequency")),
        offset_(c.take("offset")),
        colourCode_(c.take("color_code")),
        city_(c.take("city")),
        state_(c.take("state")),
        country_(c.take("country")),
        network_(c.take("network")),
        lat_(c.take("lat")),
        lng_(c.take("lng")),
        status_(c.take("status")) {}

  bool read(const csv::Row& row, RepeaterRow& out, Skip& skip, std::vector<Note>&) override {
    const auto cell = [&](std::optional<std::size_t> column) { return trimmed(csv::fieldAt(row, column)); };
    out.callsign = cell(callsign_);
    out.city = cell(city_);
    out.state = cell(state_);
    out.country = cell(country_);
    out.network = cell(network_);
    out.status = cell(status_);
    skip.entry = out.callsign;
    return readRepeaterValues({.frequency = cell(frequency_),
                               .offset = cell(offset_),
                               .colourCode = cell(colourCode_),
                               .lat = cell(lat_),
                               .lng = cell(lng_),
                               .hasFrequency = bool(frequency_),
                               .hasOffset = bool(offset_),
                               .hasColourCode = bool(colourCode_)},
                              out, skip);
  }

 private:
  std::optional<std::size_t> callsign_, frequency_, offset_, colourCode_, city_, state_, country_, network_,
      lat_, lng_, status_;
};

}  // namespace

bool isRepeaterHeader(const csv::Header& header) { return header.has("callsign") && header.has("frequency"); }

std::unique_ptr<RowReader<RepeaterRow>> openRepeaters(Columns& columns, const ReadContext&,
                                                      std::vector<Note>&) {
  return std::make_unique<RepeaterCsvReader>(columns);
}

}  // namespace pw::exchange
