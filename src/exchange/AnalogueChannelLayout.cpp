// The channel lists of the common analogue programming layout:
// Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,
// RxDtcsCode,CrossMode,Mode,...,Power, read by name. Every row is an analogue channel.
#include "codeplug/Encodings.h"
#include "codeplug/Text.h"
#include "exchange/ChannelCsv.h"
#include "exchange/ChannelValues.h"
#include "exchange/Layouts.h"

namespace pw::exchange {
namespace {

enum class Squelch { None, Ctcss, Dcs };
struct ToneSide {
  Squelch kind = Squelch::None;
  std::optional<std::size_t> column;
  bool inverted = false;
};

class AnalogueReader final : public RowReader<ChannelRow> {
 public:
  AnalogueReader(Columns& c, const ReadContext& context, std::vector<Note>& notes)
      : doc_(context.doc),
        name_(c.take("Name")),
        frequency_(c.take("Frequency")),
        duplex_(c.take("Duplex")),
        offset_(c.take("Offset")),
        tone_(c.take("Tone")),
        rTone_(c.take("rToneFreq")),
        cTone_(c.take("cToneFreq")),
        dtcs_(c.take("DtcsCode")),
        rxDtcs_(c.has("RxDtcsCode") ? c.take("RxDtcsCode") : dtcs_),
        polarity_(c.take("DtcsPolarity")),
        crossMode_(c.take("CrossMode")),
        mode_(c.take("Mode")),
        power_(c.take("Power")) {
    if (!mode_) notes.push_back({context.headerLine, "no Mode column: every channel is FM (25 kHz)"});
  }

  bool read(const csv::Row& row, ChannelRow& out, Skip& skip, std::vector<Note>& notes) override {
    const auto cell = [&](std::optional<std::size_t> column) { return trimmed(csv::fieldAt(row, column)); };
    const auto refuse = [&](Reason reason, const char* what, std::string_view value, const char* detail) {
      skip = {
          .line = row.line, .reason = reason, .what = what, .value = std::string(value), .detail = detail};
      return false;
    };
    const auto number = [&](std::optional<std::size_t> column, const char* what) {
      const std::string_view text = cell(column);
      const auto hz = parseDecimal(text, 6, false);
      if (hz) return hz;
      if (text.empty())
        refuse(Reason::Missing, what, {}, "");
      else
        refuse(Reason::NotANumber, what, text, "");
      return hz;
    };
    const std::string mode = asciiLower(cell(mode_));
    std::uint32_t bandwidth = 0;
    if (mode.empty() || mode == "fm")
      bandwidth = 2;  // 25 kHz
    else if (mode != "nfm")
      return refuse(Reason::NotOffered, "mode", cell(mode_), "one the radio has");

    const auto rx = number(frequency_, "Frequency");
    if (!rx) return false;
    Decimal tx = *rx;
    bool rxOnly = false;
    const std::string duplex = asciiLower(cell(duplex_));
    if (duplex == "+" || duplex == "-" || duplex == "split") {
      const auto offset = number(offset_, "Offset");
      if (!offset) return false;
      tx.units = duplex == "+"   ? rx->units + offset->units
                 : duplex == "-" ? rx->units - offset->units
                                 : offset->units;
      tx.dropped = (duplex == "split" ? false : rx->dropped) || offset->dropped;
    } else if (duplex == "off") {
      rxOnly = true;
    } else if (!duplex.empty()) {
      return refuse(Reason::NotKnown, "Duplex", cell(duplex_), "one this editor knows");
    }
    const auto rxWord = frequencyWord(doc_, *rx, "receive", row.line, skip, notes);
    if (!rxWord) return false;
    const auto txWord = frequencyWord(doc_, tx, "transmit", row.line, skip, notes);
    if (!txWord) return false;

    ToneSide txSide, rxSide;
    if (!tones(row, txSide, rxSide, skip)) return false;
    const auto txTone = toneWord(row, txSide, skip);
    if (!txTone) return false;
    const auto rxTone = toneWord(row, rxSide, skip);
    if (!rxTone) return false;

    const Fields& f = fields_;
    out.values = {
        {f.mode, 1},         {f.bandwidth, bandwidth}, {f.rxFrequency, *rxWord}, {f.txFrequency, *txWord},
        {f.txTone, *txTone}, {f.rxTone, *rxTone}};
    if (rxOnly) out.values.push_back({f.rxOnly, 1});
    if (const auto power = powerValue(cell(power_))) out.values.push_back({f.txPower, *power});

    out.hasName = true;
    out.name = nameFromCell(csv::fieldAt(row, name_), false, "name", row.line, notes);
    if (out.name.empty()) out.name = frequencyText(*rxWord);
    return true;
  }

 private:
  // The tone word of one side, or why the radio cannot hold it.
  std::optional<std::uint16_t> toneWord(const csv::Row& row, const ToneSide& side, Skip& skip) const {
    const std::string_view text = trimmed(csv::fieldAt(row, side.column));
    switch (side.kind) {
      case Squelch::None:
        return std::uint16_t(0xFFFF);
      case Squelch::Ctcss:
        if (const auto word = ctcssWord(text)) return word;
        skip = {.line = row.line,
                .reason = Reason::NotOffered,
                .what = "CTCSS tone",
                .value = std::string(text),
                .detail = "one of the radio's 50"};
        return std::nullopt;
      case Squelch::Dcs: {
        // The code's octal digits read as a decimal number, as the tone word stores them.
        const auto code = parseInteger(text, 0, 999);
        const int index = code && text.size() <= 3
                              ? toneChoiceIndex(packBcd4(int(*code) + (side.inverted ? 12000 : 8000)))
                              : -1;
        if (index > 0) return toneWordFor(index);
        skip = {.line = row.line,
                .reason = Reason::NotOffered,
                .what = "DCS code",
                .value = std::string(text),
                .detail = "one of the radio's 104"};
        return std::nullopt;
      }
    }
    return std::nullopt;
  }

  bool tones(const csv::Row& row, ToneSide& tx, ToneSide& rx, Skip& skip) const {
    const auto cell = [&](std::optional<std::size_t> column) { return trimmed(csv::fieldAt(row, column)); };
    const auto refuse = [&](const char* what, std::string_view value, const char* detail) {
      skip = {.line = row.line,
              .reason = Reason::NotKnown,
              .what = what,
              .value = std::string(value),
              .detail = detail};
      return false;
    };
    const std::string mode = asciiLower(cell(tone_));
    const ToneSide txTone{Squelch::Ctcss, rTone_}, rxTone{Squelch::Ctcss, cTone_};
    const ToneSide txDcs{Squelch::Dcs, dtcs_}, rxDcs{Squelch::Dcs, rxDtcs_};
    if (mode.empty()) {
    } else if (mode == "tone") {
      tx = txTone;
    } else if (mode == "tsql") {
      tx = rx = rxTone;
    } else if (mode == "dtcs") {
      tx = rx = txDcs;
    } else if (mode == "cross") {
      // The transmit side before the arrow, the receive side after it.
      std::string cross = asciiLower(cell(crossMode_));
      if (cross.empty()) cross = "tone->tone";
      const std::size_t arrow = cross.find("->");
      const std::string before = arrow == std::string::npos ? "" : cross.substr(0, arrow);
      const std::string after = arrow == std::string::npos ? "" : cross.substr(arrow + 2);
      const auto side = [](const std::string& s, const ToneSide& tone,
                           const ToneSide& dcs) -> std::optional<ToneSide> {
        if (s.empty()) return ToneSide{};
        if (s == "tone") return tone;
        if (s == "dtcs") return dcs;
        return std::nullopt;
      };
      const auto t = side(before, txTone, txDcs), r = side(after, rxTone, rxDcs);
      if (arrow == std::string::npos || !t || !r || (before.empty() && after.empty()))
        return refuse("CrossMode", cell(crossMode_), "one this editor knows");
      tx = *t;
      rx = *r;
    } else {
      return refuse("Tone", cell(tone_), "one this editor knows");
    }
    if (tx.kind == Squelch::Dcs || rx.kind == Squelch::Dcs) {
      // Two letters, transmit then receive; R is inverted.
      std::string polarity = asciiLower(cell(polarity_));
      if (polarity.empty()) polarity = "nn";
      if (polarity.size() != 2 || polarity.find_first_not_of("nr") != std::string::npos)
        return refuse("DtcsPolarity", cell(polarity_), "two letters N or R");
      tx.inverted = polarity[0] == 'r';
      rx.inverted = polarity[1] == 'r';
    }
    return true;
  }

  // "Low" or under 3 W: low; any other text: high; none: the new channel's power.
  static std::optional<std::uint32_t> powerValue(std::string_view text) {
    if (text.empty()) return std::nullopt;
    if (asciiLower(text) == "low") return 0;
    std::string_view number = text;
    if (!number.empty() && (number.back() == 'W' || number.back() == 'w')) number.remove_suffix(1);
    const auto milliwatts = parseDecimal(number, 3, false);
    return milliwatts && milliwatts->units < 3000 ? 0 : 1;
  }

  const CodePlugDocument& doc_;
  // What a row writes, looked up once.
  struct Fields {
    const text::FieldDesc* mode = &channelDesc(ChannelField::Mode);
    const text::FieldDesc* bandwidth = &channelDesc(ChannelField::Bandwidth);
    const text::FieldDesc* rxFrequency = &channelDesc(ChannelField::RxFrequency);
    const text::FieldDesc* txFrequency = &channelDesc(ChannelField::TxFrequency);
    const text::FieldDesc* txTone = &channelDesc(ChannelField::TxTone);
    const text::FieldDesc* rxTone = &channelDesc(ChannelField::RxTone);
    const text::FieldDesc* rxOnly = &channelDesc(ChannelField::RxOnly);
    const text::FieldDesc* txPower = &channelDesc(ChannelField::TxPower);
  } fields_;
  std::optional<std::size_t> name_, frequency_, duplex_, offset_, tone_, rTone_, cTone_, dtcs_, rxDtcs_,
      polarity_, crossMode_, mode_, power_;
};

}  // namespace

bool isAnalogueChannelHeader(const csv::Header& header) { return header.has("Frequency"); }

std::unique_ptr<RowReader<ChannelRow>> openAnalogueChannels(Columns& columns, const ReadContext& context,
                                                            std::vector<Note>& notes) {
  return std::make_unique<AnalogueReader>(columns, context, notes);
}

}  // namespace pw::exchange
