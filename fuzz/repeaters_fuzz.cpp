// Feeds arbitrary texts to the repeater list reader (JSON or the CSV layout) and generates
// from what it read into a small code plug, appending or emptying first: nothing may crash,
// the generated lists stay packed and within their capacity, and every channel made is a
// digital one inside the radio's band.

#include <cstdint>
#include <string>

#include "channels/ChannelRecord.h"
#include "codeplug/Encodings.h"
#include "codeplug/RecordList.h"
#include "exchange/Repeaters.h"
#include "support/CodePlugBuilder.h"
#include "wizard/Generate.h"

using namespace pw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::uint8_t> plug = [] {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::Channels, 20, "Ch ")
        .fill(ListId::Contacts, 10, "Contact ")
        .fill(ListId::Zones, 245, "Zone ");
    b.members(ListId::Zones, 0, {1, 2, 3});
    return b.bytes();
  }();
  if (size < 1) return 0;
  const std::uint8_t flags = data[0];
  static CodePlugDocument doc;
  doc.workingImage = plug;
  doc.adoptImage(std::move(doc.workingImage));

  wizard::Sources sources;
  sources.repeaters = exchange::readRepeaterText({reinterpret_cast<const char*>(data + 1), size - 1});
  sources.talkgroupNames = {{91, "World-wide"}, {9, "Local"}};
  wizard::WizardPlan plan;
  plan.repeaterFile = "r";
  plan.sets = {{.networks = {"BM"}, .timeSlots = {{{91, 262}, {9}}}},
               {.networks = {"*"}, .timeSlots = {{{}, {9}}}}};
  plan.channels = flags & 1 ? wizard::ChannelsPer::Slot : wizard::ChannelsPer::Talkgroup;
  plan.zones = wizard::ZonesBy((flags >> 1) % 3);
  plan.scanLists = flags & 8;
  plan.start = flags & 16 ? wizard::Start::Empty : wizard::Start::Append;
  if (flags & 32) {
    plan.near = "JO31";
    plan.radiusKm = 200;
    plan.order = wizard::Order::Distance;
  }
  const exchange::Report report = wizard::generate(doc, plan, sources);
  for (ListId list :
       {ListId::Channels, ListId::Zones, ListId::ScanLists, ListId::RxGroupLists, ListId::Contacts}) {
    const int used = usedCount(doc, list);
    for (int i = 0; i < layoutOf(list).count; ++i)
      if (inUse(doc, list, i) != (i < used)) __builtin_trap();
  }
  for (int c : report.added) {
    if (channelField(doc, c, ChannelField::Mode) != 2) __builtin_trap();
    for (ChannelField f : {ChannelField::RxFrequency, ChannelField::TxFrequency}) {
      const auto hz = parseFrequency(frequencyText(channelField(doc, c, f)), doc.frequencyRangeCode());
      if (!hz || channelField(doc, c, f) != *hz) __builtin_trap();
    }
  }
  return 0;
}
