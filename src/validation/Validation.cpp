#include "validation/Validation.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include "channels/ChannelRecord.h"
#include "codeplug/Encodings.h"
#include "codeplug/RecordList.h"
#include "codeplug/ReferenceWeb.h"
#include "contacts/ContactList.h"
#include "membership/ScanListSettings.h"

namespace pw {
namespace {

// The sections in the order of the tabs, so a report reads like a walk through the editor;
// a list's section is named by the list's title.
struct SectionInfo {
  PlugSection section;
  const char* name;
  std::optional<ListId> list;
};
constexpr SectionInfo kSections[] = {
    {PlugSection::OneTouchAccess, "one-touch access", {}},
    {PlugSection::NumberKeys, "number keys", {}},
    {PlugSection::TextMessages, "text messages", ListId::TextMessages},
    {PlugSection::EmergencySystems, "emergency systems", ListId::EmergencySystems},
    {PlugSection::Contacts, "contacts", ListId::Contacts},
    {PlugSection::RxGroupLists, "rx group lists", ListId::RxGroupLists},
    {PlugSection::Zones, "zones", ListId::Zones},
    {PlugSection::ScanLists, "scan lists", ListId::ScanLists},
    {PlugSection::Channels, "channels", ListId::Channels},
    {PlugSection::DtmfDecode, "DTMF decode", {}},
    {PlugSection::Gps, "GPS", {}}};

const SectionInfo* infoOf(PlugSection section) {
  for (const SectionInfo& i : kSections)
    if (i.section == section) return &i;
  return nullptr;
}
PlugSection sectionNamed(std::string_view name) {
  for (const SectionInfo& i : kSections)
    if (name == i.name) return i.section;
  throw std::logic_error("a reference site names no section of the report");
}
PlugSection sectionOf(ListId id) {
  for (const SectionInfo& i : kSections)
    if (i.list == id) return i.section;
  throw std::logic_error("a list without a section of the report");
}

std::string title(ListId id) { return layoutOf(id).title; }
// "channels" -> "channel": every list title is a plain plural.
std::string singular(ListId id) {
  std::string t = title(id);
  if (!t.empty() && t.back() == 's') t.pop_back();
  return t;
}
std::string capitalised(std::string s) {
  if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = char(s[0] - 'a' + 'A');
  return s;
}

// A hostile image yields some 20000 findings: each is ranked once when added, stored in
// blocks that growing never moves, put in order by counting and moved once into the result.
class Report {
 public:
  void add(PlugSection section, int record, std::string text) {
    keys_.push_back({int(section), record});
    if (blocks_.empty() || blocks_.back().size() == kBlock) blocks_.emplace_back().reserve(kBlock);
    blocks_.back().push_back({section, record, std::move(text)});
  }
  void add(ListId id, int index, std::string text) { add(sectionOf(id), index + 1, std::move(text)); }
  std::vector<Finding> take() {
    const std::vector<std::uint32_t> order = ranked();
    // Each finding's place, so that they are moved out in the order stored.
    std::vector<std::uint32_t> place(order.size());
    for (std::uint32_t k = 0; k < order.size(); ++k) place[order[k]] = k;
    std::vector<Finding> sorted(order.size());
    std::size_t i = 0;
    for (std::vector<Finding>& block : blocks_)
      for (Finding& f : block) sorted[place[i++]] = std::move(f);
    return sorted;
  }

 private:
  // The findings' places by (section, record), those alike in the order added: counted out by
  // record, then by section, each pass keeping the order of the one before (the keys are small
  // numbers, and some 20000 findings compared pair by pair cost more than the checks).
  std::vector<std::uint32_t> ranked() const {
    const std::size_t n = keys_.size();
    std::vector<std::uint32_t> order(n);
    int top = 0;
    bool small = true;
    for (const auto& [section, record] : keys_) {
      small = small && section >= 0 && section < kPlugSectionCount && record >= 0;
      top = std::max(top, record);
    }
    if (!small) {
      for (std::size_t i = 0; i < n; ++i) order[i] = std::uint32_t(i);
      std::stable_sort(order.begin(), order.end(),
                       [this](std::uint32_t a, std::uint32_t b) { return keys_[a] < keys_[b]; });
      return order;
    }
    std::vector<std::uint32_t> byRecord(n), at(std::size_t(top) + 2, 0);
    for (const auto& key : keys_) ++at[std::size_t(key.second) + 1];
    for (std::size_t r = 1; r < at.size(); ++r) at[r] += at[r - 1];
    for (std::size_t i = 0; i < n; ++i) byRecord[at[std::size_t(keys_[i].second)]++] = std::uint32_t(i);
    std::array<std::uint32_t, kPlugSectionCount + 1> from{};
    for (const auto& key : keys_) ++from[std::size_t(key.first) + 1];
    for (std::size_t k = 1; k < from.size(); ++k) from[k] += from[k - 1];
    for (const std::uint32_t i : byRecord) order[from[std::size_t(keys_[i].first)]++] = i;
    return order;
  }

  // A few allocations for thousands of findings (a deque takes one per dozen).
  static constexpr std::size_t kBlock = 512;
  std::vector<std::vector<Finding>> blocks_;
  std::vector<std::pair<int, int>> keys_;  // section rank, record
};

// Which records of every list are in use, read once for all the checks: the reference
// checks alone ask some 20000 times.
class InUse {
 public:
  explicit InUse(const CodePlugDocument& doc) {
    for (int l = 0; l < kListCount; ++l) used_[std::size_t(l)] = inUseMarks(doc, static_cast<ListId>(l));
  }
  // Inlined: asked at each of some 20000 places.
  [[gnu::always_inline]] bool operator()(ListId id, int index) const {
    const std::vector<std::uint8_t>& u = used_[std::size_t(id)];
    return std::size_t(index) < u.size() && u[std::size_t(index)];  // a negative index wraps beyond
  }

 private:
  std::array<std::vector<std::uint8_t>, kListCount> used_;
};

// 0 is "none" everywhere; 0xFFFF is the "none" that settings blocks (GPS systems, scan
// list priorities) write into their 16-bit numbers.
bool namesNothing(const ReferenceSite& s, std::uint32_t v) { return v == 0 || (s.width == 2 && v == 0xFFFF); }

// A place counts when its holder is in use and the place's own condition holds (a
// one-touch entry that calls a contact, a digital channel): anything else is never
// read by the radio and never followed by the editor's renumbering.
[[gnu::always_inline]] inline bool placeCounts(const CodePlugDocument& doc, const InUse& used,
                                               const ReferenceSite& s, int holder) {
  if (s.holderList && !used(*s.holderList, holder)) return false;
  return s.check == When::Never || holderTakesPart(doc, s, holder, s.check);
}

// The parts of a finding's sentence that depend only on its place, made once for the fixed
// table: a hostile image holds a wrong number in nearly every one of its ~20000 places.
struct PlaceTexts {
  PlugSection section;
  std::string names, beyond;
  std::vector<std::string> roles;  // by member position
};
const std::vector<PlaceTexts>& placeTexts() {
  static const std::vector<PlaceTexts> texts = [] {
    std::vector<PlaceTexts> out;
    for (const ReferenceSite& s : referenceSites()) {
      PlaceTexts t{s.holderList ? sectionOf(*s.holderList) : sectionNamed(s.section),
                   " names " + singular(s.referred) + " ",
                   ", beyond the " + std::to_string(layoutOf(s.referred).count) + " " + title(s.referred) + ".",
                   {}};
      for (int p = 0; p < s.repeat; ++p)
        t.roles.push_back(capitalised(fillFormat(s.role, {std::to_string(p + 1)})));
      out.push_back(std::move(t));
    }
    return out;
  }();
  return texts;
}

// A number that names a free record or lies beyond its list makes the radio use
// whatever those bytes hold, or nothing, without telling the user.
void checkReferences(const CodePlugDocument& doc, const InUse& used, Report& report) {
  const std::vector<ReferenceSite>& sites = referenceSites();
  const std::vector<PlaceTexts>& texts = placeTexts();
  for (std::size_t i = 0; i < sites.size(); ++i) {
    const ReferenceSite& s = sites[i];
    const auto& [section, names, beyond, roles] = texts[i];
    const int capacity = layoutOf(s.referred).count;
    const std::string_view unused = ", which is not in use.";
    for (int h = 0; h < s.holderCount; ++h) {
      if (!placeCounts(doc, used, s, h)) continue;
      const ByteSpan holder = holderBytes(doc, s, h);
      for (int p = 0; p < s.repeat; ++p) {
        const std::uint32_t v = referenceIn(holder, s, p);
        if (namesNothing(s, v)) continue;
        std::string_view problem;
        if (v > std::uint32_t(capacity))
          problem = beyond;
        else if (!used(s.referred, int(v) - 1))
          problem = unused;
        else
          continue;
        const std::string number = std::to_string(v);
        std::string text;
        text.reserve(roles[p].size() + names.size() + number.size() + problem.size());
        text.append(roles[p]).append(names).append(number).append(problem);
        report.add(section, h + s.firstHolderNumber, std::move(text));
      }
    }
  }
}

// A digital channel without a contact has nobody to call when the user presses PTT.
// The radio cannot transmit outside its band: such a channel never works on the air.
void checkChannels(const CodePlugDocument& doc, const InUse& used, Report& report) {
  const Band band = bandFor(doc.frequencyRangeCode());
  const std::string bandText =
      std::to_string(band.lowHz / 1000000) + " to " + std::to_string(band.highHz / 1000000) + " MHz";
  for (int c = 0; c < kChannelCount; ++c) {
    if (!used(ListId::Channels, c)) continue;
    const std::uint32_t contact = channelField(doc, c, ChannelField::Contact);
    if (channelField(doc, c, ChannelField::Mode) == 2 && (contact == 0 || contact == 0xFFFF))
      report.add(ListId::Channels, c, "The channel is digital but has no contact.");
    const std::uint32_t tx = channelField(doc, c, ChannelField::TxFrequency);
    std::int64_t hz = 0;
    bool digits = true;
    for (int shift = 28; shift >= 0; shift -= 4) {
      const std::uint32_t nibble = (tx >> shift) & 0xF;
      digits = digits && nibble <= 9;
      hz = hz * 10 + nibble;
    }
    hz *= 10;  // stored in units of 10 Hz
    if (!digits || hz < band.lowHz || hz > band.highHz)
      report.add(ListId::Channels, c,
                 "The transmit frequency " + frequencyText(tx) + " MHz is outside the radio's band, " +
                     bandText + ".");
  }
}

// The radio finds a contact by ID and call type: a second one with both alike is never
// matched, so its name is never shown.
void checkContacts(const CodePlugDocument& doc, const InUse& used, Report& report) {
  std::unordered_map<std::uint32_t, int> first;  // call ID << 3 | call type -> index
  for (int i = 0; i < kContactCount; ++i) {
    if (!used(ListId::Contacts, i)) continue;
    const std::uint32_t id = contactCallId(doc, i);
    const int type = contactCallType(doc, i);
    const auto [at, added] = first.try_emplace(id << 3 | std::uint32_t(type), i);
    if (!added)
      report.add(ListId::Contacts, i,
                 "Call ID " + std::to_string(id) + " and call type \"" + callTypeText(type) +
                     "\" are those of contact " + std::to_string(at->second + 1) + " \"" +
                     recordName(doc, ListId::Contacts, at->second) + "\".");
  }
}

// The record numbers a member list holds, in slot order (empty slots left out).
std::vector<std::uint32_t> membersOf(const CodePlugDocument& doc, const MemberListLayout& m, int owner) {
  const ByteSpan r = recordBytes(doc, m.owner, owner);
  const std::uint32_t capacity = std::uint32_t(layoutOf(m.referred).count);
  std::vector<std::uint32_t> out;
  for (int k = 0; k < m.slotCount; ++k) {
    const std::uint32_t v = u16le(r, std::size_t(m.offset) + 2 * std::size_t(k));
    if (v >= 1 && v <= capacity) out.push_back(v);
  }
  return out;
}

// A repeated member takes a slot for nothing (and a repeated scan member is scanned
// twice as often); a zone without members leaves the radio with no channel to select.
void checkMembers(const CodePlugDocument& doc, const InUse& used, Report& report) {
  for (const MemberListLayout& m : memberLayouts()) {
    const int owners = layoutOf(m.owner).count;
    for (int o = 0; o < owners; ++o) {
      if (!used(m.owner, o)) continue;
      std::vector<std::uint32_t> members = membersOf(doc, m, o);
      if (members.empty() && m.owner == ListId::Zones) report.add(m.owner, o, "The zone has no members.");
      std::sort(members.begin(), members.end());
      for (auto it = members.begin(); (it = std::adjacent_find(it, members.end())) != members.end();) {
        report.add(
            m.owner, o,
            capitalised(singular(m.referred)) + " " + std::to_string(*it) + " is a member more than once.");
        it = std::upper_bound(it, members.end(), *it);
      }
    }
  }
}

// The radio watches a priority channel while it scans the list's members and transmits on
// the designated channel: one outside the list is not what the list scans.
void checkScanChannels(const CodePlugDocument& doc, const InUse& used, Report& report) {
  const MemberListLayout& m = memberLayoutOf(ListId::ScanLists);
  static constexpr std::pair<ScanListField, const char*> kFields[] = {
      {ScanListField::PriorityChannel1, "Priority channel 1"},
      {ScanListField::PriorityChannel2, "Priority channel 2"},
      {ScanListField::TxDesignatedChannel, "The designated transmit channel"}};
  for (int s = 0; s < kScanListCount; ++s) {
    if (!used(ListId::ScanLists, s)) continue;
    const std::vector<std::uint32_t> members = membersOf(doc, m, s);
    for (const auto& [field, what] : kFields) {
      const std::uint32_t v = scanListField(doc, s, field);
      if (v < 1 || v > std::uint32_t(kChannelCount) ||
          std::find(members.begin(), members.end(), v) != members.end())
        continue;
      report.add(
          ListId::ScanLists, s,
          std::string(what) + " is channel " + std::to_string(v) + ", which is not a member of the list.");
    }
  }
}

}  // namespace

std::vector<Finding> validate(const CodePlugDocument& doc) {
  if (!doc.hasImage()) return {};
  Report report;
  const InUse used(doc);
  checkReferences(doc, used, report);
  checkChannels(doc, used, report);
  checkContacts(doc, used, report);
  checkMembers(doc, used, report);
  checkScanChannels(doc, used, report);
  return report.take();
}

const char* sectionName(PlugSection section) {
  const SectionInfo* i = infoOf(section);
  return i ? i->name : "";
}

std::optional<ListId> listOf(PlugSection section) {
  const SectionInfo* i = infoOf(section);
  return i ? i->list : std::nullopt;
}

std::string findingLine(const Finding& f) {
  return std::string(sectionName(f.section)) + " " + std::to_string(f.record) + ": " + f.text;
}

}  // namespace pw
