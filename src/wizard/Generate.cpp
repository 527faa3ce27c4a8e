#include "wizard/Generate.h"

#include <algorithm>
#include <map>
#include <set>
#include <span>

#include "channels/ChannelRecord.h"
#include "codeplug/Encodings.h"
#include "codeplug/RecordList.h"
#include "codeplug/ReferenceWeb.h"
#include "codeplug/Text.h"
#include "contacts/ContactList.h"
#include "exchange/ChannelValues.h"
#include "membership/MemberList.h"
#include "settings/GeneralSettings.h"
#include "signalling/Gps.h"
#include "wizard/Area.h"

namespace pw::wizard {
namespace {

using exchange::Note;
using exchange::Reason;
using exchange::Report;
using exchange::Skip;

constexpr ListId kGenerated[] = {ListId::Channels, ListId::Zones, ListId::ScanLists, ListId::RxGroupLists,
                                 ListId::Contacts};
constexpr std::uint32_t kAdmitColourCode = 3;

// A name as a record stores it: the name rule's letters, trimmed, cut to 16.
std::string storable(std::string_view text) {
  const std::string name = nameFromOutside(text);
  return trimControls(trimmed(name).substr(0, kNameUnits));
}
// "<base> <suffix>" within 16 characters, the base cut so the suffix stays.
std::string withSuffix(std::string_view base, std::string_view suffix) {
  const std::string kept = storable(base);
  const std::size_t room = std::size_t(kNameUnits) - suffix.size() - 1;
  return trimControls(std::string_view(kept).substr(0, room)) + " " + std::string(suffix);
}

bool networkMatches(const TalkgroupSet& set, const std::string& network) {
  const std::string lower = asciiLower(network);
  for (const std::string& n : set.networks)
    if (n == "*" || (!trimmed(n).empty() && lower.find(areaKey(n)) != std::string::npos)) return true;
  return false;
}

std::string slotName(int slot) { return "TS" + std::to_string(slot + 1); }

// ---- "empty": the four lists cleared, the references other sections held into them none ----

std::string placeName(const CodePlugDocument& doc, const ReferenceSite& site, int holder) {
  if (!site.holderList)
    return std::string(site.section) + " " + fillFormat(site.holderLabel, {std::to_string(holder + 1)});
  std::string list = layoutOf(*site.holderList).title;  // "emergency systems"
  if (list.ends_with('s')) list.pop_back();
  return list + " " + exchange::quoted(recordName(doc, *site.holderList, holder));
}

void clearLists(CodePlugDocument& doc, Report& report) {
  const auto cleared = [](ListId id) {
    return id == ListId::Channels || id == ListId::Zones || id == ListId::ScanLists ||
           id == ListId::RxGroupLists;
  };
  for (const ReferenceSite& site : referenceSites()) {
    if (!cleared(site.referred) || (site.holderList && cleared(*site.holderList))) continue;
    const int capacity = layoutOf(site.referred).count;
    for (int h = 0; h < site.holderCount; ++h)
      for (int p = 0; p < site.repeat; ++p) {
        const std::uint32_t v = referenceAt(doc, site, h, p);
        if (v < 1 || v > std::uint32_t(capacity)) continue;
        const std::string role = fillFormat(site.role, {std::to_string(p + 1)});
        if (!site.holderList || inUse(doc, *site.holderList, h))
          report.notes.push_back({0,
                                  role + " " + std::to_string(v) + " " +
                                      exchange::quoted(recordName(doc, site.referred, int(v) - 1)) +
                                      " is cleared: none now",
                                  placeName(doc, site, h)});
        // 0 names no record in each of these places; GPS systems keep "no setting" as their tab
        // writes it (all ones after the first system).
        if (site.base == kGps)
          setGpsRevertChannel(doc, h, 0);
        else
          setReferenceAt(doc, site, h, p, 0);
      }
  }
  for (ListId id : {ListId::Channels, ListId::Zones, ListId::ScanLists, ListId::RxGroupLists})
    for (int i = 0; i < layoutOf(id).count; ++i) initEntry(doc, id, i, {});
}

// ---- building ----

class Builder {
 public:
  Builder(CodePlugDocument& doc, const WizardPlan& plan, const Sources& sources, Report& report)
      : doc_(doc), plan_(plan), sources_(sources), report_(report) {
    for (ListId id : kGenerated) next_[std::size_t(id)] = exchange::endOfUse(doc, id);
    // A group call contact already in the list is used instead of a new one.
    for (int i = next_[std::size_t(ListId::Contacts)] - 1; i >= 0; --i)
      if (inUse(doc, ListId::Contacts, i) && contactCallType(doc, i) == kGroupCall)
        contacts_[contactCallId(doc, i)] = i + 1;
  }

  void add(const Chosen& c) {
    const TalkgroupSet& set = plan_.sets[std::size_t(c.set)];
    const std::vector<Planned> channels = plannedChannels(set);
    if (const char* full = noRoomFor(c, set, int(channels.size()))) {
      Skip skip{.line = c.row->line, .entry = c.row->callsign, .reason = Reason::NoRoom, .detail = full};
      report_.skipped.push_back(std::move(skip));
      ++report_.noRoom;
      return;
    }
    for (const Planned& planned : channels) {
      const int channel = take(ListId::Channels);
      initChannel(doc_, channel, storable(c.row->callsign + " " + planned.label));
      const std::uint32_t contact = contactFor(planned.talkgroup);
      const std::uint32_t group = groupFor(c.set, planned.slot);
      for (const auto& [field, value] : {std::pair{ChannelField::Mode, 2u},
                                         {ChannelField::Bandwidth, 0u},
                                         {ChannelField::RepeaterSlot, std::uint32_t(planned.slot + 1)},
                                         {ChannelField::ColourCode, std::uint32_t(c.row->colourCode)},
                                         {ChannelField::AdmitCriteria, kAdmitColourCode},
                                         {ChannelField::Contact, contact},
                                         {ChannelField::RxGroupList, group},
                                         {ChannelField::RxFrequency, c.rxWord},
                                         {ChannelField::TxFrequency, c.txWord}})
        setChannelField(doc_, channel, field, value);
      placeInZone(c, channel);
      report_.added.push_back(channel);
    }
  }

 private:
  struct Planned {
    int slot;
    std::uint32_t talkgroup;  // the channel's contact
    std::string label;        // after the callsign: the talkgroup's name or "TS1"
  };
  struct ZoneAt {
    int zone = -1, scanList = -1;
    int members = 0, number = 1;  // the name's number: "<name> 2" after the first
    std::string name;
  };

  std::vector<Planned> plannedChannels(const TalkgroupSet& set) const {
    std::vector<Planned> out;
    for (int slot = 0; slot < 2; ++slot) {
      const auto& ids = set.timeSlots[std::size_t(slot)];
      if (ids.empty()) continue;
      if (plan_.channels == ChannelsPer::Slot)
        out.push_back({slot, ids.front(), slotName(slot)});
      else
        for (std::uint32_t id : ids) out.push_back({slot, id, talkgroupName(id)});
    }
    return out;
  }

  // The talkgroups of a slot its rx group list holds.
  static std::span<const std::uint32_t> groupMembers(const std::vector<std::uint32_t>& ids) {
    return std::span(ids).first(std::min<std::size_t>(ids.size(), kRxGroupMemberCount));
  }

  std::string talkgroupName(std::uint32_t id) const {
    const auto it = sources_.talkgroupNames.find(id);
    const std::string name = it == sources_.talkgroupNames.end() ? std::string() : storable(it->second);
    return name.empty() ? "TG " + std::to_string(id) : name;
  }

  // The list that lacks room for the repeater's records ("1000 channels in use"), or none.
  const char* noRoomFor(const Chosen& c, const TalkgroupSet& set, int channels) {
    std::set<std::uint32_t> contacts;
    int groups = 0;
    for (int slot = 0; slot < 2; ++slot) {
      const auto& ids = set.timeSlots[std::size_t(slot)];
      if (ids.empty()) continue;
      groups += !groups_.contains({c.set, slot});
      const auto members = groupMembers(ids);
      contacts.insert(members.begin(), members.end());
      if (plan_.channels == ChannelsPer::Talkgroup) contacts.insert(ids.begin(), ids.end());
    }
    int newContacts = 0;
    for (std::uint32_t id : contacts) newContacts += !contacts_.contains(id);
    const ZoneAt* zone = zoneKey(*c.row).empty() ? nullptr : existingZone(*c.row);
    const int free = zone ? kZoneMemberCount - zone->members : 0;
    const int zones = (std::max(0, channels - free) + kZoneMemberCount - 1) / kZoneMemberCount;
    const std::pair<ListId, int> needs[] = {{ListId::Channels, channels},
                                            {ListId::Contacts, newContacts},
                                            {ListId::RxGroupLists, groups},
                                            {ListId::Zones, zones},
                                            {ListId::ScanLists, plan_.scanLists ? zones : 0}};
    for (const auto& [list, count] : needs)
      if (next_[std::size_t(list)] + count > layoutOf(list).count) {
        full_ = std::to_string(layoutOf(list).count) + " " + layoutOf(list).title + " in use";
        return full_.c_str();
      }
    return nullptr;
  }

  int take(ListId list) {
    ++report_.alsoAdded[std::size_t(list)];
    return next_[std::size_t(list)]++;
  }

  std::uint32_t contactFor(std::uint32_t id) {
    const auto [at, added] = contacts_.emplace(id, 0);
    if (added) {
      const int index = take(ListId::Contacts);
      initEntry(doc_, ListId::Contacts, index, talkgroupName(id));
      setCallId(doc_, index, std::to_string(id));
      at->second = index + 1;
    }
    return std::uint32_t(at->second);
  }

  std::uint32_t groupFor(int set, int slot) {
    const auto [at, added] = groups_.emplace(std::pair{set, slot}, 0);
    if (added) {
      const TalkgroupSet& s = plan_.sets[std::size_t(set)];
      const std::string& network = s.networks.front();
      const std::string name = withSuffix(network == "*" ? "Any" : network, slotName(slot));
      const int index = take(ListId::RxGroupLists);
      initEntry(doc_, ListId::RxGroupLists, index, name);
      const auto& ids = s.timeSlots[std::size_t(slot)];
      std::vector<int> members;
      for (std::uint32_t id : groupMembers(ids)) members.push_back(int(contactFor(id)));
      addMembers(doc_, ListId::RxGroupLists, index, members);
      if (ids.size() > std::size_t(kRxGroupMemberCount))
        report_.notes.push_back({0,
                                 "holds the first " + std::to_string(kRxGroupMemberCount) + " of " +
                                     std::to_string(ids.size()) + " talkgroups",
                                 "rx group list " + exchange::quoted(name)});
      at->second = index + 1;
    }
    return std::uint32_t(at->second);
  }

  // Per repeater: the callsign; by city or state: that text, without case.
  std::string zoneKey(const exchange::RepeaterRow& row) const {
    switch (plan_.zones) {
      case ZonesBy::Repeater:
        return {};
      case ZonesBy::City:
        return "c" + areaKey(row.city);
      case ZonesBy::State:
        return "s" + areaKey(row.state);
    }
    return {};
  }
  const ZoneAt* existingZone(const exchange::RepeaterRow& row) const {
    const auto it = zones_.find(zoneKey(row));
    return it == zones_.end() ? nullptr : &it->second;
  }
  std::string zoneName(const exchange::RepeaterRow& row) const {
    const std::string& text = plan_.zones == ZonesBy::Repeater ? row.callsign
                              : plan_.zones == ZonesBy::City   ? row.city
                                                               : row.state;
    const std::string name = storable(text);
    if (!name.empty()) return name;
    return plan_.zones == ZonesBy::City    ? "No city"
           : plan_.zones == ZonesBy::State ? "No state"
                                           : "No callsign";
  }

  void placeInZone(const Chosen& c, int channel) {
    ZoneAt& at = plan_.zones == ZonesBy::Repeater ? repeaterZone_ : zones_[zoneKey(*c.row)];
    if (plan_.zones == ZonesBy::Repeater && lastRow_ != c.row) {
      at = {};
      lastRow_ = c.row;
    }
    if (at.zone < 0 || at.members == kZoneMemberCount) {
      if (at.zone < 0) at.name = zoneName(*c.row);
      const std::string name = at.zone < 0 ? at.name : withSuffix(at.name, std::to_string(++at.number));
      at.zone = take(ListId::Zones);
      initEntry(doc_, ListId::Zones, at.zone, name);
      at.members = 0;
      if (plan_.scanLists) {
        at.scanList = take(ListId::ScanLists);
        initEntry(doc_, ListId::ScanLists, at.scanList, name);
      }
    }
    addMembers(doc_, ListId::Zones, at.zone, {channel + 1});
    ++at.members;
    if (plan_.scanLists) {
      addMembers(doc_, ListId::ScanLists, at.scanList, {channel + 1});
      setChannelField(doc_, channel, ChannelField::ScanList, std::uint32_t(at.scanList + 1));
    }
  }

  CodePlugDocument& doc_;
  const WizardPlan& plan_;
  const Sources& sources_;
  Report& report_;
  std::array<int, kListCount> next_{};
  std::unordered_map<std::uint32_t, int> contacts_;  // talkgroup ID -> contact number
  std::map<std::pair<int, int>, int> groups_;        // set and slot -> rx group list number
  std::unordered_map<std::string, ZoneAt> zones_;    // by city or state
  ZoneAt repeaterZone_;
  const exchange::RepeaterRow* lastRow_ = nullptr;
  std::string full_;
};

}  // namespace

Sources readSources(const WizardPlan& plan) {
  Sources sources;
  const auto fileNotes = [&](const std::string& file, const std::vector<Note>& notes) {
    for (const Note& n : notes)
      sources.notes.push_back({n.line, n.text, n.entry.empty() ? file : file + " " + n.entry});
  };
  const std::string repeaters = resolvedPath(plan, plan.repeaterFile);
  sources.repeaters = exchange::readRepeaterFile(repeaters);
  if (!sources.repeaters.readable()) {
    sources.failure = plan.repeaterFile + ": " + sources.repeaters.report.failure;
    return sources;
  }
  fileNotes(plan.repeaterFile, sources.repeaters.report.notes);
  if (plan.talkgroupFile.empty()) return sources;
  const exchange::TalkgroupPlan talkgroups =
      exchange::readTalkgroupFile(resolvedPath(plan, plan.talkgroupFile));
  if (!talkgroups.readable()) {
    sources.failure = plan.talkgroupFile + ": " + talkgroups.report.failure;
    return sources;
  }
  fileNotes(plan.talkgroupFile, talkgroups.report.notes);
  for (const Skip& s : talkgroups.report.skipped)
    sources.notes.push_back(
        {s.line, "not read: " + exchange::skipText(s), plan.talkgroupFile + " " + s.entry});
  for (const exchange::TalkgroupRow& row : talkgroups.rows) sources.talkgroupNames.emplace(row.id, row.name);
  return sources;
}

Selection selectRepeaters(const CodePlugDocument& doc, const WizardPlan& plan,
                          const exchange::RepeaterPlan& list) {
  Selection out;
  const Area area(plan);
  std::set<std::tuple<std::string, std::uint32_t, int>> seen;  // callsign, frequency, colour code
  for (const exchange::RepeaterRow& row : list.rows) {
    double distance = 0;
    if (auto skip = area.reject(row, &distance)) {
      out.skipped.push_back(std::move(*skip));
      continue;
    }
    Skip skip{.line = row.line, .entry = row.callsign};
    const auto rx = exchange::frequencyWord(doc, {row.rxHz, false}, "receive", row.line, skip, out.notes);
    const auto tx =
        rx ? exchange::frequencyWord(doc, {row.txHz, false}, "transmit", row.line, skip, out.notes)
           : std::nullopt;
    if (!rx || !tx) {
      out.skipped.push_back(std::move(skip));
      continue;
    }
    if (!seen.emplace(areaKey(row.callsign), *rx, row.colourCode).second) {
      skip.reason = Reason::Repeated;
      skip.what = "callsign, frequency and colour code";
      skip.detail = "given by an earlier entry";
      out.skipped.push_back(std::move(skip));
      continue;
    }
    const auto set = std::find_if(plan.sets.begin(), plan.sets.end(),
                                  [&](const TalkgroupSet& s) { return networkMatches(s, row.network); });
    if (set == plan.sets.end()) {
      skip.reason = Reason::NoNetwork;
      skip.value = row.network;
      out.skipped.push_back(std::move(skip));
      continue;
    }
    out.chosen.push_back({&row, int(set - plan.sets.begin()), distance, *rx, *tx});
  }
  const auto byCallsign = [](const Chosen& a, const Chosen& b) {
    return areaKey(a.row->callsign) < areaKey(b.row->callsign);
  };
  switch (plan.order) {
    case Order::Distance:
      std::stable_sort(out.chosen.begin(), out.chosen.end(), [&](const Chosen& a, const Chosen& b) {
        return a.distanceKm != b.distanceKm ? a.distanceKm < b.distanceKm : byCallsign(a, b);
      });
      break;
    case Order::Name:
      std::stable_sort(out.chosen.begin(), out.chosen.end(), byCallsign);
      break;
    case Order::Frequency:
      std::stable_sort(out.chosen.begin(), out.chosen.end(),
                       [](const Chosen& a, const Chosen& b) { return a.row->rxHz < b.row->rxHz; });
      break;
  }
  return out;
}

Report generate(CodePlugDocument& doc, const WizardPlan& plan, const Sources& sources) {
  Report report;
  report.record = "channel";
  report.capacity = kChannelCount;
  report.failure = sources.failure;
  if (!doc.hasImage() || !report.readable()) return report;
  report.skipped = sources.repeaters.report.skipped;
  report.notes = sources.notes;
  Selection selection = selectRepeaters(doc, plan, sources.repeaters);
  report.skipped.insert(report.skipped.end(), selection.skipped.begin(), selection.skipped.end());
  report.notes.insert(report.notes.end(), selection.notes.begin(), selection.notes.end());

  doc.settleEdits("edit");  // what came before is a step of its own
  const std::vector<std::uint8_t> before = doc.workingImage;
  const std::size_t notesBefore = report.notes.size();
  if (plan.start == Start::Empty) clearLists(doc, report);
  if (plan.radioId) setGeneralField(doc, GeneralField::RadioId, *plan.radioId);
  if (plan.radioName) setGeneralText(doc, GeneralBytes::RadioName, storable(*plan.radioName));
  Builder builder(doc, plan, sources, report);
  for (const Chosen& c : selection.chosen) builder.add(c);
  if (report.added.empty()) {
    doc.workingImage = before;  // nothing made: nothing changes, nothing was cleared
    report.notes.resize(notesBefore);
    return report;
  }
  doc.nameNextStep("wizard: " + std::to_string(report.added.size()) + " channels");
  return report;
}

Report previewGeneration(const CodePlugDocument& doc, const WizardPlan& plan, const Sources& sources) {
  CodePlugDocument scratch;
  if (doc.hasImage()) scratch.adoptImage(doc.workingImage);
  return generate(scratch, plan, sources);
}

std::vector<std::string> generationLines(const Report& r) {
  std::vector<std::string> lines{"channels " + std::to_string(r.added.size())};
  for (const auto& [list, key] : {std::pair{ListId::Zones, "zones"},
                                  {ListId::ScanLists, "scan_lists"},
                                  {ListId::RxGroupLists, "rx_group_lists"},
                                  {ListId::Contacts, "contacts"}})
    lines.push_back(std::string(key) + " " + std::to_string(r.addedTo(list)));
  for (const Skip& s : r.skipped) lines.push_back(exchange::skipLine(s));
  for (const Note& n : r.notes) lines.push_back("note " + exchange::noteLine(n));
  return lines;
}

PlanRun readPlanRun(const std::string& planPath) {
  PlanRun run;
  auto read = readPlanFile(planPath);
  if (const auto* error = std::get_if<PlanError>(&read)) {
    run.error = error->message();
    return run;
  }
  run.plan = std::move(std::get<WizardPlan>(read));
  run.sources = readSources(run.plan);
  run.error = run.sources.failure;
  return run;
}

}  // namespace pw::wizard
