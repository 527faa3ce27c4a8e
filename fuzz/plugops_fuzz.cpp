// Structure-aware fuzzing of the model operations. Every run starts from one valid,
// fully populated code plug (every list in use, references everywhere), applies the
// input's (offset, bytes) patches, loads the result as the editor does (adopt and
// normalise), then runs the sequence of operations the input chooses. After each
// operation: every list is packed, every free record is fresh, member slots are packed,
// and every reference that named a record that is still there names it still; at the
// end, everything again, and loading the result would change nothing. Each operation
// is one undo step; undo and redo are operations too, and at the end undoing every
// step must give back the starting image byte for byte, and redoing them the last one.
//
// An operation is one row of kOperations: a name, what it may change (its scope), the
// list it works on and a function that takes its arguments from the input. A new model
// operation is one more row.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channels/ChannelChoices.h"
#include "channels/ChannelRecord.h"
#include "codeplug/CodePlugDocument.h"
#include "codeplug/Normalise.h"
#include "codeplug/RecordList.h"
#include "codeplug/ReferenceWeb.h"
#include "contacts/ContactFiles.h"
#include "contacts/ContactList.h"
#include "digital/EmergencySystems.h"
#include "digital/PrivacyKeys.h"
#include "digital/TextMessages.h"
#include "membership/MemberList.h"
#include "membership/ScanListSettings.h"
#include "settings/BasicInfo.h"
#include "settings/Buttons.h"
#include "settings/GeneralSettings.h"
#include "settings/MenuSettings.h"
#include "signalling/Dtmf.h"
#include "signalling/Gps.h"
#include "support/CodePlugBuilder.h"
#include "support/ScratchDir.h"

using namespace pw;

namespace {

constexpr int kMaxPatches = 16;
constexpr int kMaxOperations = 16;

// Reports a broken invariant with the operation that broke it, then stops the run.
[[noreturn]] void broken(const char* operation, const std::string& what) {
  std::fprintf(stderr, "invariant broken after \"%s\": %s\n", operation, what.c_str());
  std::abort();
}

// ---- the starting code plug ----

// Every list well filled but not full (adds succeed), about half of the records
// referred to (some deletes are refused, others go through), every kind of holder used.
std::vector<std::uint8_t> populatedPlug() {
  pwtest::CodePlugBuilder b;
  const int used[kListCount] = {40, 28, 900, 200, 200, 200, 900};
  for (int l = 0; l < kListCount; ++l) b.fill(ListId(l), used[l], "R");  // names "R1".. are unique per list
  for (int c = 0; c < 900; ++c) b.contact(c, "C" + std::to_string(c), 100 + c * 37, 1 + c % 5, c % 3 == 0);
  for (int c = 0; c < 900; ++c) {
    b.channel(c, "Ch" + std::to_string(c), c % 3 == 0 ? 1 : 2);
    if (c % 2 == 0) b.channelContact(c, 1 + (c * 7) % 900);
    MutableByteSpan r = b.record(ListId::Channels, c);
    r[10] = std::uint8_t(c % 4 == 0 ? 1 + c % 28 : 0);   // emergency system
    r[11] = std::uint8_t(c % 5 == 0 ? 1 + c % 200 : 0);  // scan list
    r[12] = std::uint8_t(c % 3 == 1 ? 1 + c % 200 : 0);  // rx group list
  }
  for (int g = 0; g < 200; ++g) {
    std::vector<int> m;
    for (int k = 0; k < g % 6; ++k) m.push_back(1 + (g * 13 + k * 101) % 900);
    b.members(ListId::RxGroupLists, g, m);
  }
  for (int z = 0; z < 200; ++z) {
    std::vector<int> m;
    for (int k = 0; k < z % 5; ++k) m.push_back(1 + (z * 11 + k * 97) % 900);
    b.members(ListId::Zones, z, m);
  }
  for (int s = 0; s < 200; ++s) {
    std::vector<int> m;
    for (int k = 0; k < s % 4; ++k) m.push_back(1 + (s * 17 + k * 89) % 900);
    b.members(ListId::ScanLists, s, m);
    MutableByteSpan r = b.record(ListId::ScanLists, s);
    if (s % 3 == 0) setU16le(r, 32, std::uint16_t(1 + s * 3));  // priority channel 1
    if (s % 7 == 0) setU16le(r, 36, std::uint16_t(1 + s));      // designated transmit channel
  }
  for (int e = 0; e < 28; ++e) setU16le(b.record(ListId::EmergencySystems, e), 36, std::uint16_t(1 + e * 31));
  for (int k = 0; k < kOneTouchCount; ++k) b.oneTouch(k, 1, k % 2 ? 1 : 0, 1 + k * 5, 1 + k * 100);
  for (int k = 0; k < kNumberKeyCount; ++k) b.numberKey(k, 1 + k * 80);
  for (int d = 0; d < kDtmfDecodeCount; ++d)
    b.u16(kDtmfDecodeEntries + d * kDtmfDecodeSize + 20, std::uint16_t(1 + d * 100));
  for (int g = 0; g < kGpsCount; ++g) {
    b.u16(kGps + g * kGpsSize, std::uint16_t(1 + g * 50));
    b.u16(kGps + g * kGpsSize + 4, std::uint16_t(1 + g * 50));
  }
  return b.bytes();
}

// ---- answering the model's questions from the input ----

class InputPrompt final : public Prompt {
 public:
  FuzzedDataProvider* in = nullptr;
  RefusalAnswer refuse(const std::string&) override {
    return in->ConsumeBool() ? RefusalAnswer::GoOn : RefusalAnswer::Stop;
  }
  void error(const std::string&) override {}
  bool warnYesNo(const std::string&) override { return in->ConsumeBool(); }
  Answer question(const std::string&, bool withCancel) override {
    const int a = in->ConsumeIntegralInRange(0, withCancel ? 2 : 1);
    return a == 0 ? Answer::Yes : a == 1 ? Answer::No : Answer::Cancel;
  }
  void inform(const std::string&, const std::string&) override {}
};

// ---- one run ----

struct Run {
  CodePlugDocument& doc;
  FuzzedDataProvider& in;
  int serial = 0;
  std::size_t steps = 0;  // undo steps recorded less those undone

  // A row of the list as the editor shows it, now and then an index outside the list
  // (-1 or the capacity) that every operation must refuse.
  int row(ListId id) {
    const int r = in.ConsumeIntegralInRange(-2, usedCount(doc, id) - 1);
    return r == -2 ? layoutOf(id).count : r;
  }
  // The delta that moves `row` to another row of the list (a single move is only ever
  // asked for inside the list: the selection move clamps it).
  int moveTo(ListId id, int row) {
    return row - in.ConsumeIntegralInRange(0, std::max(0, usedCount(doc, id) - 1));
  }
  std::vector<int> rows(ListId id) {
    std::vector<int> out;
    const int used = usedCount(doc, id);
    for (int n = in.ConsumeIntegralInRange(0, 6), at = in.ConsumeIntegralInRange(0, std::max(0, used - 1));
         n > 0 && at < used; --n, at += in.ConsumeIntegralInRange(1, 40))
      out.push_back(at);
    return out;
  }
  int delta() {
    static constexpr int kDeltas[] = {1, -1, 10, -10, 3, -500, 999};
    return kDeltas[in.ConsumeIntegralInRange(0, int(std::size(kDeltas)) - 1)];
  }
  // A value for a field: often small, sometimes wider than any field.
  std::uint32_t value() { return in.ConsumeIntegral<std::uint32_t>() >> in.ConsumeIntegralInRange(0, 31); }
  std::string text(std::size_t most = 24) { return in.ConsumeRandomLengthString(most); }
  // A name unlike every other (its prefix), so records stay identifiable by name.
  std::string name() { return "~" + std::to_string(++serial) + ":" + text(12); }
};

// What an operation may change, and so what is checked after it.
enum Scope {
  Keeps,     // records of its list (added, renamed, deleted, moved); references follow them
  Sets,      // fields of its list's records, references among them
  Settings,  // no list record at all (checked with everything else at the end of the run)
  Undoes,    // anything: an image as it stood after an earlier operation (checked at the end)
};

struct Operation {
  const char* name;
  Scope scope;
  std::optional<ListId> list;  // the list whose records it changes; none: any, chosen by the input
  void (*run)(Run&, ListId);
};
constexpr std::optional<ListId> kAnyList;
constexpr std::optional<ListId> kNoList = ListId::Channels;  // not used by Settings operations

template <typename Enum>
Enum anyOf(FuzzedDataProvider& in, int count) {
  return Enum(in.ConsumeIntegralInRange(0, count - 1));
}

// ---- member operations, one function for the three owners ----

void membersAdd(Run& r, ListId owner) {
  const int index = r.row(owner);
  const auto available = availableRecords(r.doc, owner, index);
  std::vector<int> numbers;
  for (int n = r.in.ConsumeIntegralInRange(0, 4); n > 0; --n)
    numbers.push_back(available.empty() || r.in.ConsumeBool()
                          ? r.in.ConsumeIntegralInRange(-1, 1001)
                          : available[r.in.ConsumeIntegralInRange<std::size_t>(0, available.size() - 1)]);
  addMembers(r.doc, owner, index, numbers);
}

void membersRemove(Run& r, ListId owner) {
  const int index = r.row(owner);
  const auto rows = memberRows(r.doc, owner, index);
  std::vector<int> numbers;
  for (int n = r.in.ConsumeIntegralInRange(0, 3); n > 0 && !rows.empty(); --n)
    numbers.push_back(rows[r.in.ConsumeIntegralInRange<std::size_t>(0, rows.size() - 1)].number);
  removeMembers(r.doc, owner, index, numbers);
}

void membersMove(Run& r, ListId owner) {
  const int index = r.row(owner);
  const int shown = int(memberRows(r.doc, owner, index).size());
  if (r.in.ConsumeBool()) {
    moveMember(r.doc, owner, index, r.in.ConsumeIntegralInRange(-1, shown), r.delta());
  } else {
    std::vector<int> rows;
    for (int at = r.in.ConsumeIntegralInRange(0, shown); at < shown; at += r.in.ConsumeIntegralInRange(1, 8))
      rows.push_back(at);
    moveSelectedMembers(r.doc, owner, index, rows, r.delta());
  }
  for (const auto& m : memberRows(r.doc, owner, index))
    for (MemberColumn c : {MemberColumn::Number, MemberColumn::Name, MemberColumn::Detail})
      (void)memberCell(r.doc, owner, m.number, c);
}

void undoSteps(Run& r, ListId) {
  for (int n = r.in.ConsumeIntegralInRange(1, 4); n > 0 && r.doc.undo(); --n) --r.steps;
}

void redoSteps(Run& r, ListId) {
  for (int n = r.in.ConsumeIntegralInRange(1, 4); n > 0 && r.doc.redo(); --n) ++r.steps;
}

// clang-format off: one operation per row
const Operation kOperations[] = {
    // ---- every list, through the shared engine ----
    {"add", Keeps, kAnyList,
     [](Run& r, ListId l) { addRecord(r.doc, l, r.in.ConsumeBool() ? r.name() : std::string()); }},
    {"rename", Keeps, kAnyList, [](Run& r, ListId l) { renameRecord(r.doc, l, r.row(l), r.name()); }},
    {"delete", Keeps, kAnyList, [](Run& r, ListId l) { deleteRecord(r.doc, l, r.row(l) + 1); }},
    {"delete selection", Keeps, kAnyList,
     [](Run& r, ListId l) { deleteSelectedRecords(r.doc, l, r.rows(l)); }},
    {"move", Keeps, kAnyList,
     [](Run& r, ListId l) {
       const int s = r.row(l);
       moveRecord(r.doc, l, s, r.moveTo(l, s));
     }},
    {"block move", Keeps, kAnyList,
     [](Run& r, ListId l) { moveSelectedRecords(r.doc, l, r.rows(l), r.delta()); }},
    {"pack", Keeps, kAnyList, [](Run& r, ListId l) { packList(r.doc, l); }},
    {"insert", Keeps, kAnyList, [](Run& r, ListId l) { insertRecord(r.doc, l, r.row(l)); }},

    // ---- channels ----
    {"channel add", Keeps, ListId::Channels, [](Run& r, ListId l) { addChannel(r.doc); }},
    {"channel rename", Keeps, ListId::Channels,
     [](Run& r, ListId l) { renameChannel(r.doc, r.row(l), r.name()); }},
    {"channel delete", Keeps, ListId::Channels,
     [](Run& r, ListId l) { deleteSelectedChannels(r.doc, r.rows(l)); }},
    {"channel move", Keeps, ListId::Channels,
     [](Run& r, ListId l) {
       const int s = r.row(l);
       moveChannel(r.doc, s, r.moveTo(l, s));
     }},
    {"channel block move", Keeps, ListId::Channels,
     [](Run& r, ListId l) { moveSelectedChannels(r.doc, r.rows(l), r.delta()); }},
    {"channel field", Sets, ListId::Channels,
     [](Run& r, ListId l) {
       const int s = r.row(l);
       const auto field = ChannelField(r.in.ConsumeIntegralInRange(0, kChannelFieldCount - 1));
       setChannelField(r.doc, s, field,
                       r.in.ConsumeIntegral<std::uint32_t>() >> r.in.ConsumeIntegralInRange(0, 31));
     }},
    {"channel frequency", Keeps, ListId::Channels,
     [](Run& r, ListId l) {
       const int s = r.row(l);
       setChannelFrequency(
           r.doc, s, r.in.ConsumeBool() ? ChannelField::RxFrequency : ChannelField::TxFrequency, r.text(16));
     }},
    {"channel privacy", Keeps, ListId::Channels,
     [](Run& r, ListId l) {
       const int s = r.row(l);
       setChannelPrivacy(r.doc, s, r.in.ConsumeIntegralInRange(0, 260));
     }},
    {"channel selection view", Keeps, ListId::Channels,
     [](Run& r, ListId l) {
       const auto rows = r.rows(l);
       const auto field = ChannelField(r.in.ConsumeIntegralInRange(0, kChannelFieldCount - 1));
       const auto shared = sharedValue(r.doc, rows, field);
       (void)toggleDown(r.doc, rows, field);
       (void)sharedFrequencyText(r.doc, rows, ChannelField::RxFrequency);
       (void)sharedPrivacyCode(r.doc, rows);
       if (const auto list = referredList(field))
         (void)choiceIndex(field, referenceChoices(r.doc, *list), shared);
       else
         (void)choiceIndex(field, fixedChoices(field), shared);
     }},

    // ---- contacts ----
    {"contact add", Keeps, ListId::Contacts, [](Run& r, ListId l) { addContact(r.doc); }},
    {"contact name", Keeps, ListId::Contacts,
     [](Run& r, ListId l) { setContactName(r.doc, r.row(l), r.name()); }},
    {"contact call ID", Keeps, ListId::Contacts,
     [](Run& r, ListId l) { setCallId(r.doc, r.row(l), r.text(10)); }},
    {"contact call type", Keeps, ListId::Contacts, [](Run& r, ListId l) { cycleCallType(r.doc, r.row(l)); }},
    {"contact rx tone", Keeps, ListId::Contacts, [](Run& r, ListId l) { toggleRxTone(r.doc, r.row(l)); }},
    {"contacts call type", Keeps, ListId::Contacts,
     [](Run& r, ListId l) { setSelectedCallType(r.doc, r.rows(l), r.in.ConsumeIntegralInRange(-1, 8)); }},
    {"contacts rx tone", Keeps, ListId::Contacts,
     [](Run& r, ListId l) { setSelectedRxTone(r.doc, r.rows(l), r.in.ConsumeBool()); }},
    {"contact delete", Keeps, ListId::Contacts,
     [](Run& r, ListId l) { deleteSelectedContacts(r.doc, r.rows(l)); }},
    {"contact move", Keeps, ListId::Contacts,
     [](Run& r, ListId l) {
       const int s = r.row(l);
       moveContact(r.doc, s, r.moveTo(l, s));
     }},
    {"contact block move", Keeps, ListId::Contacts,
     [](Run& r, ListId l) { moveSelectedContacts(r.doc, r.rows(l), r.delta()); }},
    {"contact grid", Keeps, ListId::Contacts,
     [](Run& r, ListId l) {
       const int s = r.row(l);
       const bool showNo = r.in.ConsumeBool();
       for (ContactColumn c : kContactColumns) (void)contactCell(r.doc, s, c, showNo);
       (void)searchContacts(r.doc, r.text(8), showNo);
     }},
    {"contact import", Keeps, ListId::Contacts,
     [](Run& r, ListId l) {
       static const std::string dir = pwtest::scratchDir();
       const std::string file = dir + (r.in.ConsumeBool() ? "/ops.csv" : "/ops.txt");
       const std::string content = r.text(600);
       if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
         std::fwrite(content.data(), 1, content.size(), f);
         std::fclose(f);
       }
       importContacts(r.doc, file);
     }},

    // ---- text messages ----
    {"message add", Keeps, ListId::TextMessages,
     [](Run& r, ListId l) { addMessage(r.doc, r.in.ConsumeBool() ? r.name() : ""); }},
    {"message text", Keeps, ListId::TextMessages,
     [](Run& r, ListId l) { setMessageText(r.doc, r.row(l), r.name()); }},
    {"message delete", Keeps, ListId::TextMessages,
     [](Run& r, ListId l) { deleteMessage(r.doc, r.row(l) + 1); }},
    {"message view", Keeps, ListId::TextMessages,
     [](Run& r, ListId l) {
       for (int i : shownMessages(r.doc)) (void)messageText(r.doc, i);
     }},

    // ---- emergency systems, privacy keys ----
    {"system add", Keeps, ListId::EmergencySystems, [](Run& r, ListId) { addEmergencySystem(r.doc); }},
    {"system rename", Keeps, ListId::EmergencySystems,
     [](Run& r, ListId l) { renameEmergencySystem(r.doc, r.row(l), r.name()); }},
    {"system delete", Keeps, ListId::EmergencySystems,
     [](Run& r, ListId l) { deleteSelectedEmergencySystems(r.doc, r.rows(l)); }},
    {"system move", Keeps, ListId::EmergencySystems,
     [](Run& r, ListId l) {
       const int s = r.row(l);
       moveEmergencySystem(r.doc, s, r.moveTo(l, s));
     }},
    {"system block move", Keeps, ListId::EmergencySystems,
     [](Run& r, ListId l) { moveSelectedEmergencySystems(r.doc, r.rows(l), r.delta()); }},
    {"system field", Sets, ListId::EmergencySystems,
     [](Run& r, ListId l) {
       const int s = r.row(l);
       setEmergencySystemField(r.doc, s, anyOf<EmergencyField>(r.in, std::size(kEmergencyFields)), r.value());
     }},
    {"system view", Keeps, ListId::EmergencySystems,
     [](Run& r, ListId l) {
       const int s = r.row(l);
       (void)emergencySystemName(r.doc, s);
       for (std::size_t f = 0; f < std::size(kEmergencyFields); ++f) {
         (void)emergencyFieldText(r.doc, s, EmergencyField(f));
         (void)emergencyFieldChoices(r.doc, EmergencyField(f));
         (void)emergencyFieldCurrent(r.doc, s, EmergencyField(f));
       }
     }},
    {"remote setting", Settings, kNoList,
     [](Run& r, ListId) {
       const auto field = anyOf<RemoteSetting>(r.in, std::size(kRemoteSettingFields));
       setRemoteSetting(r.doc, field, r.value());
       (void)remoteSettingChoices(field);
     }},
    {"privacy key", Settings, kNoList,
     [](Run& r, ListId) {
       const KeyKind kind = r.in.ConsumeBool() ? KeyKind::Basic : KeyKind::Enhanced;
       const int index = r.in.ConsumeIntegralInRange(-1, keyCount(kind));
       setKey(r.doc, kind, index, r.text(40));
       (void)keyText(r.doc, kind, index);
     }},

    // ---- members of group lists, zones and scan lists; scan list settings ----
    {"group members add", Sets, ListId::RxGroupLists, membersAdd},
    {"zone members add", Sets, ListId::Zones, membersAdd},
    {"scan members add", Sets, ListId::ScanLists, membersAdd},
    {"group members remove", Sets, ListId::RxGroupLists, membersRemove},
    {"zone members remove", Sets, ListId::Zones, membersRemove},
    {"scan members remove", Sets, ListId::ScanLists, membersRemove},
    {"group members move", Sets, ListId::RxGroupLists, membersMove},
    {"zone members move", Sets, ListId::Zones, membersMove},
    {"scan members move", Sets, ListId::ScanLists, membersMove},
    {"scan list field", Sets, ListId::ScanLists, [](Run& r, ListId l) {
       const auto field = anyOf<ScanListField>(r.in, std::size(kScanListFields));
       setScanListField(r.doc, r.rows(l), field, r.value());
       const int s = r.row(l);
       (void)choiceIndex(priorityChannelChoices(r.doc, s), scanListField(r.doc, s, field));
       (void)choiceIndex(txDesignatedChannelChoices(r.doc), scanListField(r.doc, s, field));
     }},

    // ---- DTMF, GPS, buttons ----
    {"DTMF system", Settings, kNoList, [](Run& r, ListId) {
       const int s = r.in.ConsumeIntegralInRange(-1, kDtmfSystemCount);
       const auto field = anyOf<DtmfSystemField>(r.in, std::size(kDtmfSystemFields));
       switch (r.in.ConsumeIntegralInRange(0, 2)) {
         case 0: toggleSideTone(r.doc, s); break;
         case 1: setSystemCode(r.doc, s, field, r.value()); break;
         default: setSystemDigits(r.doc, s, field, r.text(40)); break;
       }
       (void)dtmfSystemText(r.doc, s, field);
       (void)dtmfSystemChoices(field);
       (void)dtmfSystemCode(r.doc, s, field);
     }},
    {"DTMF encode", Settings, kNoList, [](Run& r, ListId) {
       const int e = r.in.ConsumeIntegralInRange(-1, kDtmfEncodeCount);
       setEncodeDigits(r.doc, e, r.text(40));
       (void)encodeDigits(r.doc, e);
       (void)encodePresent(r.doc, e);
     }},
    {"DTMF decode", Settings, kNoList, [](Run& r, ListId) {
       const int d = r.in.ConsumeIntegralInRange(-1, kDtmfDecodeCount);
       const auto field = anyOf<DtmfDecodeField>(r.in, std::size(kDtmfDecodeFields));
       if (r.in.ConsumeBool()) setDecodeCode(r.doc, d, field, r.value());
       else setDecodeId(r.doc, d, r.text(20));
       (void)dtmfDecodeText(r.doc, d, field);
       (void)dtmfDecodeChoices(r.doc, field);
       (void)dtmfDecodeCode(r.doc, d, field);
     }},
    {"GPS", Settings, kNoList, [](Run& r, ListId) {
       const int g = r.in.ConsumeIntegralInRange(-1, kGpsCount);
       const auto field = anyOf<GpsField>(r.in, std::size(kGpsFields));
       switch (r.in.ConsumeIntegralInRange(0, 3)) {
         case 0: setGpsRevertChannel(r.doc, g, r.value()); break;
         case 1: setGpsReportInterval(r.doc, g, r.value()); break;
         case 2: setGpsContact(r.doc, g, r.value()); break;
         default: setGpsField(r.doc, g, field, r.value()); break;
       }
       (void)gpsText(r.doc, g, field);
       (void)gpsChoices(r.doc, field);
       (void)gpsCode(r.doc, g, field);
     }},
    {"side buttons", Settings, kNoList, [](Run& r, ListId) {
       const auto which = anyOf<ButtonSetting>(r.in, int(ButtonSetting::LongPressDuration) + 1);
       setButtonSetting(r.doc, which, r.value());
       (void)buttonSettingChoices(which);
       (void)buttonSetting(r.doc, which);
     }},
    {"one-touch", Settings, kNoList, [](Run& r, ListId) {
       const int k = r.in.ConsumeIntegralInRange(-1, kOneTouchCount);
       const auto column = anyOf<OneTouchColumn>(r.in, int(OneTouchColumn::MessageOrEncode) + 1);
       setOneTouch(r.doc, k, column, r.value());
       (void)oneTouchText(r.doc, k, column);
       (void)oneTouchChoices(r.doc, k, column);
       (void)oneTouchCode(r.doc, k, column);
     }},
    {"number key", Settings, kNoList, [](Run& r, ListId) {
       const int k = r.in.ConsumeIntegralInRange(-1, kNumberKeyCount);
       setNumberKey(r.doc, k, r.value());
       (void)numberKeyText(r.doc, k);
       (void)numberKeyChoices(r.doc);
       (void)numberKeyContact(r.doc, k);
     }},

    // ---- general settings, menus, basic information ----
    {"general field", Settings, kNoList,
     [](Run& r, ListId) {
       setGeneralField(r.doc, anyOf<GeneralField>(r.in, kGeneralFieldCount), r.value());
     }},
    {"general text", Settings, kNoList,
     [](Run& r, ListId) {
       static constexpr GeneralBytes kTexts[] = {GeneralBytes::RadioName, GeneralBytes::BootLine1,
                                                 GeneralBytes::BootLine2};
       setGeneralText(r.doc, kTexts[r.in.ConsumeIntegralInRange(0, 2)], r.text(24));
     }},
    {"radio ID", Settings, kNoList, [](Run& r, ListId) { setRadioId(r.doc, r.text(12)); }},
    {"passwords", Settings, kNoList,
     [](Run& r, ListId) {
       switch (r.in.ConsumeIntegralInRange(0, 4)) {
         case 0:
           setPowerOnPassword(r.doc, r.text(10));
           break;
         case 1:
           setRadioProgramPassword(r.doc, r.text(10));
           break;
         case 2:
           setPcProgrammingPassword(r.doc, r.text(10));
           break;
         case 3:
           checkPowerOnPassword(r.doc, r.text(10),
                                r.in.ConsumeBool() ? PasswordExit::Key : PasswordExit::Leave);
           break;
         default:
           checkRadioProgramPassword(r.doc, r.text(10));
           break;
       }
     }},
    {"menu field", Settings, kNoList,
     [](Run& r, ListId) {
       const auto field = anyOf<MenuField>(r.in, kMenuFieldCount);
       if (r.in.ConsumeBool())
         setMenuField(r.doc, field, r.value());
       else
         setMenuEntryOffered(r.doc, field, r.in.ConsumeBool());
     }},
    {"settings view", Settings, kNoList,
     [](Run& r, ListId) {
       (void)readBasicInfo(r.doc);
       for (int f = 0; f < kGeneralFieldCount; ++f)
         (void)indexOfCode(generalChoices(GeneralField(f)), generalField(r.doc, GeneralField(f)));
       for (GeneralBytes f : {GeneralBytes::RadioName, GeneralBytes::BootLine1, GeneralBytes::BootLine2})
         (void)generalText(r.doc, f);
       (void)powerOnPasswordText(r.doc);
       (void)radioProgramPasswordText(r.doc);
       (void)pcProgrammingPasswordText(r.doc);
       for (int f = 0; f < kMenuFieldCount; ++f) (void)menuEntryOffered(r.doc, MenuField(f));
       (void)indexOfCode(menuHangTimeChoices(), menuField(r.doc, MenuField::HangTime));
     }},

    // ---- the history ----
    {"undo", Undoes, kNoList, undoSteps},
    {"redo", Undoes, kNoList, redoSteps},
};
// clang-format on

// ---- invariants ----

// The checks' own loops and comparisons are not coverage of the model, and tracing them
// cost a good part of a run: the checks run uninstrumented (what they call is not).
#define UNTRACED __attribute__((no_sanitize("coverage"), noinline))

// A record's identity: the hash of its name field (the hash runs outside the
// instrumented code, which keeps the watch cheap).
UNTRACED std::size_t nameHash(ByteSpan section, const RecordListLayout& l, int index) {
  const std::size_t at = std::size_t(index) * std::size_t(l.recordSize) + std::size_t(l.nameOffset);
  return std::hash<std::string_view>{}(
      {reinterpret_cast<const char*>(section.data() + at), std::size_t(l.nameUnits) * 2});
}

UNTRACED ByteSpan sectionOf(const CodePlugDocument& doc, ListId id) {
  const auto& l = layoutOf(id);
  return doc.bytes(l.start, std::size_t(l.count) * std::size_t(l.recordSize));
}

// The list is packed and every free record holds the list's empty-record values
// (which are not in use, so the used records are the first ones).
UNTRACED void checkList(const CodePlugDocument& doc, ListId id, const char* op) {
  static std::vector<std::uint8_t> fresh[kListCount], made;
  const auto& l = layoutOf(id);
  std::vector<std::uint8_t>& expect = fresh[int(id)];
  const std::size_t size = std::size_t(l.recordSize), total = std::size_t(l.count) * size;
  // A free record made every time (a channel's empty values depend on the radio's band);
  // the whole list of them laid again only when it differs from the one they were made of.
  made.resize(size);
  l.writeFresh(doc, MutableByteSpan(made), false);
  if (expect.size() != total || std::memcmp(expect.data(), made.data(), size) != 0) {
    expect.resize(total);
    std::memcpy(expect.data(), made.data(), size);
    for (std::size_t at = size; at < total; at *= 2)
      std::memcpy(expect.data() + at, expect.data(), std::min(at, total - at));
  }
  const int used = usedCount(doc, id);
  const std::size_t from = std::size_t(used) * std::size_t(l.recordSize);
  if (std::memcmp(sectionOf(doc, id).data() + from, expect.data(), expect.size() - from) != 0)
    broken(op, std::string(l.title) + ": not packed, or a free record is not fresh");
}

// Each owner's section as the member check last found it packed (empty: not since the
// load). A record whose slots are as they were then is not read again: an operation
// changes a few records, and a check over every slot of every record cost more than it.
std::vector<std::uint8_t> packedSeen[kListCount];

UNTRACED void checkMembers(const CodePlugDocument& doc, const MemberListLayout& m, const char* op) {
  const auto& l = layoutOf(m.owner);
  const ByteSpan section = sectionOf(doc, m.owner);
  std::vector<std::uint8_t>& seen = packedSeen[int(m.owner)];
  const bool known = seen.size() == section.size();
  if (known && std::memcmp(seen.data(), section.data(), seen.size()) == 0) return;
  const std::size_t slots = 2 * std::size_t(m.slotCount);
  for (int i = 0; i < l.count; ++i) {
    const std::size_t at = std::size_t(i) * std::size_t(l.recordSize) + std::size_t(m.offset);
    if (known && std::memcmp(seen.data() + at, section.data() + at, slots) == 0) continue;
    const ByteSpan r = section.subspan(at, slots);
    bool gap = false;
    for (int k = 0; k < m.slotCount; ++k) {
      const bool empty = u16le(r, 2 * std::size_t(k)) == 0;
      if (gap && !empty) broken(op, std::string(l.title) + " members not packed in " + std::to_string(i));
      gap = gap || empty;
    }
  }
  seen.assign(section.begin(), section.end());
}

UNTRACED void checkEverything(const CodePlugDocument& doc, const char* op) {
  for (int l = 0; l < kListCount; ++l) checkList(doc, ListId(l), op);
  for (const auto& m : memberLayouts()) checkMembers(doc, m, op);
}

// What an operation on one list may change: that list and the member slots that
// belong to it or name its records. (The rest is checked at the end of the run.)
UNTRACED void checkAround(const CodePlugDocument& doc, ListId id, const char* op) {
  checkList(doc, id, op);
  for (const auto& m : memberLayouts())
    if (m.owner == id || m.referred == id) checkMembers(doc, m, op);
}

// The references around the list an operation may reorder: those naming its records
// must follow them, those its records hold must move with them unchanged. Records are
// told apart by their name; a name two records share identifies neither. Reused from
// operation to operation, so watching costs no allocation. Only the image is kept before
// the operation: an image it left as it was keeps every reference, and most operations
// change nothing (refused, out of range, or views), so the references are collected from
// the image kept only when the operation changed something.
class ReferenceWatch {
 public:
  void watch(const CodePlugDocument& doc, ListId list) {
    list_ = list;
    old_.workingImage = doc.workingImage;
  }

  UNTRACED void check(const CodePlugDocument& doc, const char* op) {
    if (doc.workingImage == old_.workingImage) return;
    collect(old_);
    used_.look(doc);
    const auto& l = layoutOf(list_);
    const ByteSpan now = sectionOf(doc, list_);
    // The list as it was: every record kept its place, and so must every reference.
    const bool still = std::memcmp(now.data(), before_.data(), before_.size()) == 0;
    if (!still) {
      const int used = usedCount(doc, list_);
      std::size_t slots = 2;
      while (slots < 2 * std::size_t(used)) slots *= 2;
      byName_.assign(slots, {0, kFree});
      for (int i = 0; i < used; ++i) {
        const std::size_t name = nameHash(now, l, i);
        Slot& s = slotOf(name);
        s.row = s.row == kFree ? i : -1;  // a name two records share identifies neither
        s.name = name;
      }
    }
    movedTo_.assign(before_.size() / std::size_t(l.recordSize), -2);
    const auto at = [&](int before) UNTRACED {  // where the record that was at `before` is now, or -1
      if (still) return before;
      int& to = movedTo_[std::size_t(before)];
      if (to == -2) to = std::max(-1, slotOf(nameHash(before_, l, before)).row);
      return to;
    };
    // A holder's members are watched one after the other: it is read and asked once for them.
    const ReferenceSite* lastSite = nullptr;
    int lastHolder = -1;
    bool lastLive = false;
    ByteSpan holder;
    const auto liveHolder = [&](const ReferenceSite& s, int h) UNTRACED {
      if (&s != lastSite || h != lastHolder) {
        lastSite = &s;
        lastHolder = h;
        lastLive = live(doc, s, h);
        holder = holderBytes(doc, s, h);
      }
      return lastLive;
    };
    for (const auto& e : toRecord_) {
      const int target = at(e.record);
      if (target < 0 || !liveHolder(*e.site, e.holder)) continue;  // deleted, renamed or ambiguous
      if (referenceIn(holder, *e.site, e.position) != std::uint32_t(target + 1))
        broken(op, std::string("a reference to ") + l.title + " lost its record");
    }
    for (const auto& e : inRecord_) {
      // Held in the list's own records: a list left byte for byte as it was holds them as it did.
      if (still && insideList(*e.site, l)) continue;
      const int h = at(e.record);
      if (h < 0 || !liveHolder(*e.site, h)) continue;
      if (referenceIn(holder, *e.site, e.position) != e.value)
        broken(op, std::string("a reference held by ") + l.title + " changed");
    }
  }

 private:
  UNTRACED void collect(const CodePlugDocument& doc) {
    used_.look(doc);
    const ByteSpan section = sectionOf(doc, list_);
    before_.assign(section.begin(), section.end());
    toRecord_.clear();
    inRecord_.clear();
    const std::uint32_t used = std::uint32_t(usedCount(doc, list_));
    for (const auto& s : referenceSites()) {
      const bool referred = s.referred == list_, held = s.holderList == list_;
      if (!referred && !held) continue;
      // The holders as one span: the document is asked once per site, not once per holder.
      const ByteSpan area = doc.bytes(s.base, std::size_t(s.holderCount) * std::size_t(s.holderSize));
      for (int h = 0; h < s.holderCount; ++h) {
        const ByteSpan holder = area.empty() ? holderBytes(doc, s, h)
                                             : area.subspan(std::size_t(h) * std::size_t(s.holderSize),
                                                            std::size_t(s.holderSize));
        int isLive = -1;  // asked only of a holder with a reference to watch
        for (int p = 0; p < s.repeat; ++p) {
          const std::uint32_t v = referenceIn(holder, s, p);
          const bool toRecord = referred && v >= 1 && v <= used;
          if (!toRecord && !held) continue;
          if (isLive < 0) isLive = live(doc, s, h);
          if (!isLive) break;
          if (toRecord)
            toRecord_.push_back({&s, h, p, int(v - 1), 0});
          else
            inRecord_.push_back({&s, h, p, h, v});
        }
      }
    }
  }

  struct Watched {
    const ReferenceSite* site;
    int holder, position;
    int record;           // index before the operation: of the record referred to, or of the holder
    std::uint32_t value;  // the value a holder keeps
  };
  UNTRACED bool live(const CodePlugDocument& doc, const ReferenceSite& s, int h) {
    return (!s.holderList || used_(*s.holderList, h)) && takesPart(doc, s, h, s.onDelete) &&
           takesPart(doc, s, h, s.onMove);
  }
  // holderTakesPart, its in-use rule answered from the marks.
  UNTRACED bool takesPart(const CodePlugDocument& doc, const ReferenceSite& s, int h, When when) {
    if (when == When::Always) return true;
    if (when == When::HolderInUse && s.holderList) return used_(*s.holderList, h);
    return holderTakesPart(doc, s, h, when);
  }
  // Which records of each list are in use in the image looked at, read in one pass when first
  // asked: asking the document once for each of a thousand holders cost more than the watch.
  class UseMarks {
   public:
    void look(const CodePlugDocument& doc) {
      doc_ = &doc;
      for (bool& r : read_) r = false;
    }
    UNTRACED bool operator()(ListId id, int index) {
      std::vector<std::uint8_t>& marks = marks_[int(id)];
      if (!read_[int(id)]) {
        marks = inUseMarks(*doc_, id);
        read_[int(id)] = true;
      }
      return index >= 0 && std::size_t(index) < marks.size() && marks[std::size_t(index)];
    }

   private:
    const CodePlugDocument* doc_ = nullptr;
    std::vector<std::uint8_t> marks_[kListCount];
    bool read_[kListCount] = {};
  };
  static bool insideList(const ReferenceSite& s, const RecordListLayout& l) {
    return s.base == l.start && s.holderSize == l.recordSize && s.holderCount <= l.count;
  }
  ListId list_ = ListId::Channels;
  CodePlugDocument old_;  // the image before the operation
  std::vector<std::uint8_t> before_;
  std::vector<Watched> toRecord_, inRecord_;
  // The list's names now, by their hash: open addressing, at most half full.
  static constexpr int kFree = -2;
  struct Slot {
    std::size_t name;
    int row;  // kFree, the row holding the name, or -1 when several do
  };
  UNTRACED Slot& slotOf(std::size_t name) {
    const std::size_t mask = byName_.size() - 1;
    std::size_t i = name & mask;
    while (byName_[i].row != kFree && byName_[i].name != name) i = (i + 1) & mask;
    return byName_[i];
  }
  std::vector<Slot> byName_;
  std::vector<int> movedTo_;
  UseMarks used_;
};

// Undoing every step gives back `start`, redoing them all `end` (the image now). Steps the
// memory budget dropped off the old end leave an earlier image than the start.
UNTRACED void checkHistory(CodePlugDocument& doc, std::size_t steps, const std::vector<std::uint8_t>& start,
                           std::vector<std::uint8_t>& end) {
  const std::size_t kept = doc.history().stepCount();
  if (kept > steps) broken("undo all", "more undo steps than operations that changed something");
  end = doc.workingImage;
  for (std::size_t n = 0; n < kept; ++n)
    if (!doc.undo()) broken("undo all", "a step could not be undone");
  if (doc.undo()) broken("undo all", "a step beyond the last one");
  if (kept == steps && doc.workingImage != start) broken("undo all", "the starting image did not come back");
  for (std::size_t n = 0; n < kept; ++n)
    if (!doc.redo()) broken("redo all", "a step could not be redone");
  if (doc.workingImage != end) broken("redo all", "the last image did not come back");
}

// ---- the start of a run: patches ----

void applyPatches(std::vector<std::uint8_t>& file, FuzzedDataProvider& in) {
  for (int n = in.ConsumeIntegralInRange(0, kMaxPatches); n > 0 && in.remaining_bytes() > 0; --n) {
    std::size_t at;
    if (in.ConsumeBool()) {
      at = in.ConsumeIntegralInRange<std::size_t>(0, kRdtFileSize - 1);
    } else {  // aimed at one record of a list
      const auto& l = layoutOf(ListId(in.ConsumeIntegralInRange(0, kListCount - 1)));
      at = fileOffset(l.start) +
           std::size_t(in.ConsumeIntegralInRange(0, l.count - 1)) * std::size_t(l.recordSize) +
           in.ConsumeIntegralInRange<std::size_t>(0, std::size_t(l.recordSize) - 1);
    }
    const auto bytes = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(1, 64));
    for (std::size_t i = 0; i < bytes.size() && at + i < file.size(); ++i) file[at + i] = bytes[i];
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::uint8_t> plug = populatedPlug();
  static InputPrompt prompt;
  static CodePlugDocument doc(&prompt);
  FuzzedDataProvider in(data, size);
  prompt.in = &in;

  // Reuse the document's buffers: copy, patch, adopt in place.
  doc.workingImage = plug;
  applyPatches(doc.workingImage, in);
  std::memcpy(doc.workingImage.data(), plug.data(), 11);  // the DfuSe prefix the load checks
  doc.adoptImage(std::move(doc.workingImage));
  normaliseLists(doc);
  doc.adoptImage(std::move(doc.workingImage));  // as a load does: the packing is no undo step
  for (auto& seen : packedSeen) seen.clear();
  checkEverything(doc, "load");
  static std::vector<std::uint8_t> start, end;
  start = doc.workingImage;

  static const bool trace = std::getenv("PW_FUZZ_TRACE") != nullptr;  // shows what a crashing input does
  static ReferenceWatch watch;
  Run run{doc, in};
  for (int n = 0; n < kMaxOperations && in.remaining_bytes() > 0; ++n) {
    const Operation& op = kOperations[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kOperations) - 1)];
    const ListId list = op.list.value_or(anyOf<ListId>(in, kListCount));
    if (op.scope == Keeps) watch.watch(doc, list);
    if (trace)
      std::fprintf(stderr, "%s (%s)\n", op.name,
                   op.scope == Settings ? "settings"
                   : op.scope == Undoes ? "history"
                                        : layoutOf(list).title);
    op.run(run, list);
    if (doc.settleEdits(op.name)) ++run.steps;
    if (op.scope == Sets || op.scope == Keeps) checkAround(doc, list, op.name);
    if (op.scope == Keeps) watch.check(doc, op.name);
  }
  checkEverything(doc, "the last operation");
  checkHistory(doc, run.steps, start, end);
  // Saved and loaded again, the result must come back as it is.
  if (normaliseLists(doc)) broken("the last operation", "loading the saved result would change it");
  (void)doc.isModified();
  // The steps go with the run that made them: a run that keeps more memory than it found
  // is run again by libFuzzer to look for a leak.
  doc.adoptImage(std::move(doc.workingImage));
  return 0;
}
