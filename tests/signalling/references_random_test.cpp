// Long random sequences of adds, moves and deletes of channels and contacts while the
// DTMF, GPS and Buttons tabs point their entries at them through their own setters:
// every entry keeps showing the record it was pointed at, and a record an entry uses
// is never deleted.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "codeplug/RecordList.h"
#include "settings/Buttons.h"
#include "signalling/Dtmf.h"
#include "signalling/Gps.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;

// One entry of a tab that names a record: how the tab points it and what it shows.
struct Holder {
  ListId list;
  std::function<bool(CodePlugDocument&, std::uint32_t number)> point;  // 0: none
  std::function<std::string(const CodePlugDocument&)> shown;
  std::string none;      // what the entry shows when it names nothing
  std::string target{};  // name of the record it names; empty: none
};

std::vector<Holder> holders() {
  std::vector<Holder> v;
  for (int d = 0; d < kDtmfDecodeCount; ++d)
    v.push_back(
        {ListId::Channels,
         [d](CodePlugDocument& doc, std::uint32_t n) {
           return setDecodeCode(doc, d, DtmfDecodeField::RevertChannel, n);
         },
         [d](const CodePlugDocument& doc) { return dtmfDecodeText(doc, d, DtmfDecodeField::RevertChannel); },
         "Selected"});
  for (int g = 0; g < kGpsCount; ++g) {
    v.push_back({ListId::Channels,
                 [g](CodePlugDocument& doc, std::uint32_t n) { return setGpsRevertChannel(doc, g, n); },
                 [g](const CodePlugDocument& doc) { return gpsText(doc, g, GpsField::RevertChannel); },
                 "Current Channel"});
    v.push_back({ListId::Contacts,
                 [g](CodePlugDocument& doc, std::uint32_t n) { return setGpsContact(doc, g, n); },
                 [g](const CodePlugDocument& doc) { return gpsText(doc, g, GpsField::Contact); }, "None"});
  }
  for (int k = 0; k < kOneTouchCount - 1; ++k)  // entry 6 stays analogue throughout
    v.push_back({ListId::Contacts,
                 [k](CodePlugDocument& doc, std::uint32_t n) {
                   setOneTouch(doc, k, OneTouchColumn::Mode, n ? kOneTouchDigital : kOneTouchNone);
                   return n == 0 || setOneTouch(doc, k, OneTouchColumn::Contact, n);
                 },
                 [k](const CodePlugDocument& doc) { return oneTouchText(doc, k, OneTouchColumn::Contact); },
                 ""});
  for (int k = 0; k < kNumberKeyCount; ++k)
    v.push_back({ListId::Contacts,
                 [k](CodePlugDocument& doc, std::uint32_t n) { return setNumberKey(doc, k, n); },
                 [k](const CodePlugDocument& doc) { return numberKeyText(doc, k); }, "None"});
  return v;
}

class ReferencesRandomTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    rng.seed(GetParam());
    CodePlugBuilder b;
    for (int i = 0; i < 30; ++i) b.channel(i, unique(), 1 + i % 2).contact(i, unique(), 100 + i);
    b.oneTouch(5, 2, 1, 3, 0);
    ASSERT_EQ(b.loadInto(doc), 0);
    doc.setPrompt(&prompt);
    for (ListId l : {ListId::Channels, ListId::Contacts})
      for (int i = 0; i < 30; ++i) names[l].push_back(recordName(doc, l, i));
    refs = holders();
    analogueEntry = oneTouchText(doc, 5, OneTouchColumn::MessageOrEncode) +
                    oneTouchText(doc, 5, OneTouchColumn::CallType);
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
  std::string unique() { return "r" + std::to_string(++serial); }
  std::vector<std::string>& of(ListId l) { return names[l]; }
  ListId anyList() { return pick(2) ? ListId::Channels : ListId::Contacts; }

  void point() {
    Holder& h = refs[pick(int(refs.size()))];
    auto& list = of(h.list);
    const int row = pick(int(list.size()) + 1) - 1;  // -1: none
    ASSERT_TRUE(h.point(doc, std::uint32_t(row + 1)));
    h.target = row < 0 ? "" : list[row];
  }
  void add() {
    const ListId l = anyList();
    const std::string name = unique();
    if (addRecord(doc, l, name) >= 0) of(l).push_back(name);
  }
  void move() {
    const ListId l = anyList();
    auto& list = of(l);
    const int s = pick(int(list.size())), t = pick(int(list.size()));
    ASSERT_EQ(moveRecord(doc, l, s, s - t), t + 1);
    const std::string moved = list[s];
    list.erase(list.begin() + s);
    list.insert(list.begin() + t, moved);
  }
  void remove() {
    const ListId l = anyList();
    auto& list = of(l);
    const int row = pick(int(list.size()));
    const bool used = std::any_of(refs.begin(), refs.end(),
                                  [&](const Holder& h) { return h.list == l && h.target == list[row]; });
    prompt.refusals = {RefusalAnswer::GoOn};
    ASSERT_EQ(deleteRecord(doc, l, row + 1), used ? -1 : 0) << list[row];
    if (used) return;
    list.erase(list.begin() + row);
    if (list.empty()) list.push_back(recordName(doc, l, 0));  // the list recreates record 1
  }

  void check() {
    for (const Holder& h : refs) ASSERT_EQ(h.shown(doc), h.target.empty() ? h.none : h.target);
    for (ListId l : {ListId::Channels, ListId::Contacts}) {
      ASSERT_EQ(usedCount(doc, l), int(of(l).size()));
      for (int i = 0; i < int(of(l).size()); ++i) ASSERT_EQ(recordName(doc, l, i), of(l)[i]);
    }
    ASSERT_EQ(oneTouchText(doc, 5, OneTouchColumn::MessageOrEncode) +
                  oneTouchText(doc, 5, OneTouchColumn::CallType),
              analogueEntry);
  }

  std::mt19937 rng;
  int serial = 0;
  CodePlugDocument doc;
  pwtest::ScriptedPrompt prompt;
  std::map<ListId, std::vector<std::string>> names;
  std::vector<Holder> refs;
  std::string analogueEntry;
};

TEST_P(ReferencesRandomTest, TabEntriesFollowTheirChannelsAndContacts) {
  for (int step = 0; step < 400; ++step) {
    const int op = pick(100);
    if (op < 35)
      point();
    else if (op < 45)
      add();
    else if (op < 75)
      move();
    else
      remove();
    if (HasFatalFailure()) FAIL() << "seed " << GetParam() << " step " << step << " op " << op;
    check();
    if (HasFatalFailure()) FAIL() << "seed " << GetParam() << " step " << step << " op " << op;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ReferencesRandomTest, ::testing::Values(1u, 2u, 3u));

}  // namespace
}  // namespace pw
