#pragma once
// What the channel plan and the two channel layouts share: the channel fields of the field
// catalogue, frequencies and tones as files write them, `#<number>` references, and the
// names of the records a channel refers to.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "channels/ChannelRecord.h"
#include "codeplug/CodePlugDocument.h"
#include "codeplug/RecordList.h"
#include "exchange/Plan.h"
#include "textform/FieldCatalogue.h"

namespace pw::exchange {

inline constexpr char kZoneSeparator = '|';

const text::SectionDesc& channelSection();
const text::FieldDesc& channelDesc(ChannelField field);

// The stored word of a frequency of `hz` tens of hertz kept and the digits below dropped, as a
// typed frequency is stored (noted when the text gave any); nothing, with `skip` filled, when
// the radio's band does not hold it. `which`: "receive" or "transmit". The skip and the note
// name the entry `skip` names.
std::optional<std::uint32_t> frequencyWord(const CodePlugDocument& doc, Decimal hz, const char* which,
                                           int line, Skip& skip, std::vector<Note>& notes);
// The tone word of a CTCSS tone in hertz ("88.5", "88,5"); nothing for a tone the radio does
// not have.
std::optional<std::uint16_t> ctcssWord(std::string_view text);

// "#<number>": the number, else nothing.
std::optional<std::uint32_t> hashNumber(std::string_view text);

// The names of the records of every list a channel refers to, indexed on first use.
class Names {
 public:
  explicit Names(const CodePlugDocument& doc) : doc_(doc) {}
  // The text a reference to record `number` of `list` is written as.
  std::string referenceText(ListId list, std::uint32_t number);
  // The first record in use named `name`: its index, or -1.
  int find(ListId list, const std::string& name);
  void added(ListId list, int at);

 private:
  struct Index {
    bool built = false;
    std::unordered_map<std::string, int> first, count;
  };
  Index& of(ListId list);
  const CodePlugDocument& doc_;
  Index lists_[kListCount];
};

}  // namespace pw::exchange
