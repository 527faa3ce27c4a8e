// Feeds arbitrary texts to the channel import (either layout, with or without update,
// inserted at some row) or to a paste, then exports every channel and reads that back with update:
// nothing may crash, the channel list stays packed and within its capacity, and the
// editor's own export always reads back without a skipped row.

#include <cstdint>
#include <string>
#include <vector>

#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "exchange/ChannelCsv.h"
#include "support/CodePlugBuilder.h"

using namespace pw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::uint8_t> plug = [] {
    pwtest::CodePlugBuilder b;
    // Few channels keep a run quick; the list's end is the unit tests' to reach.
    b.fill(ListId::Channels, 40, "Ch ")
        .fill(ListId::Contacts, 20, "Contact ")
        .fill(ListId::Zones, 248, "Zone ");
    b.members(ListId::Zones, 0, {1, 2, 3}).members(ListId::Zones, 1, std::vector<int>(16, 4));
    return b.bytes();
  }();
  if (size < 2) return 0;
  const std::uint8_t flags = data[0], at = data[1];
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  // One document for every run, its buffers reused: a run allocates no image.
  static CodePlugDocument doc;
  doc.workingImage = plug;
  doc.adoptImage(std::move(doc.workingImage));

  if (flags & 8) {
    const exchange::Report pasted = exchange::pasteChannelText(doc, text, int(at) % 48, (flags & 16) != 0);
    if (!pasted.added.empty() && pasted.added.back() - pasted.added.front() + 1 != int(pasted.added.size()))
      __builtin_trap();
  } else {
    const exchange::ChannelPlan plan = exchange::readChannelText(doc, text, {.update = (flags & 1) != 0});
    exchange::applyChannelPlan(
        doc, plan, {.insertAt = (flags & 2) ? int(at) % 48 : -1, .createZones = (flags & 4) != 0});
  }
  const int used = usedCount(doc, ListId::Channels);
  for (int i = 0; i < kChannelCount; ++i)
    if (inUse(doc, ListId::Channels, i) != (i < used)) __builtin_trap();

  std::vector<int> rows(std::size_t(used), 0);
  for (int i = 0; i < used; ++i) rows[std::size_t(i)] = i;
  const exchange::ChannelPlan back =
      exchange::readChannelText(doc, exchange::writeChannelText(doc, rows), {.update = true});
  if (!back.readable() || !back.report.skipped.empty() || int(back.rows.size()) != used) __builtin_trap();
  for (const exchange::ChannelRow& row : back.rows)
    if (row.updates == 0) __builtin_trap();
  return 0;
}
