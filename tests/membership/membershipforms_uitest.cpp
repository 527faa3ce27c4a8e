// The Zones, Digital Rx Groups and Scan Lists tabs through their named controls: what
// each configures differently on the shared member editor (texts, columns, refusals,
// buttons), and the scan list settings. The member editor itself is tested once in
// membereditor_uitest.

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <numeric>

#include "membership/ui/GroupsForm.h"
#include "membership/ScanListSettings.h"
#include "membership/ui/ScanListsForm.h"
#include "membership/ui/ZonesForm.h"
#include "support/ui/TabHarness.h"
#include "support/ui/UiTestHelpers.h"

using namespace pwtest::ui;
using pw::ListId;

class ZonesFormTest : public QObject, TabHarness<TZonesForm> {
  Q_OBJECT

  void openZones(int count) {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::Channels, 3, "c").fill(ListId::Zones, count, "Z");
    openTab(&b, QSize(1138, 585));
  }

 private slots:
  void cleanup() { closeTab(); }

  void addingTheLastZoneTurnsAddOffAndShiftDoesNotMoveByTen() {
    openZones(249);
    auto* add = control<QPushButton>("AddBitBtn");
    QTest::mouseClick(add, Qt::LeftButton);
    settle();
    QCOMPARE(pw::recordName(*doc, ListId::Zones, 249), std::string("Zone 250"));
    QCOMPARE(selectedRows(view), std::vector<int>{249});
    QVERIFY(!add->isEnabled());
    QCOMPARE(control<QLabel>("CountLabel")->text(), QString("Zones .. used 250 of 250. 1 selected. "));

    select({20});
    QTest::mouseClick(control<QPushButton>("MoveUpBitBtn"), Qt::LeftButton, Qt::ShiftModifier);
    settle();
    QCOMPARE(pw::recordName(*doc, ListId::Zones, 19), std::string("Z21"));
  }
};

class GroupsFormTest : public QObject, TabHarness<TGroupsForm> {
  Q_OBJECT

 private slots:
  void cleanup() { closeTab(); }

  void textsColumnsAndCaptions() {
    pwtest::CodePlugBuilder b;
    b.contact(0, "Net", 91, 1).contact(1, "Bob", 1000001, 2).contact(2, "All", 16777215, 3);
    b.fill(ListId::RxGroupLists, 2, "G").members(ListId::RxGroupLists, 0, {2});
    openTab(&b, QSize(1138, 585));
    auto* members = control<QTableView>("MemberListView");
    auto* available = control<QTableView>("AvailableListView");
    QCOMPARE(members->model()->index(0, 3).data().toString(), QString("1000001"));
    QCOMPARE(available->model()->rowCount(), 2);  // every call type is offered
    QCOMPARE(control<QLabel>("MemberCountLabel")->text(), QString("Contact Members .. used 1 of 32. "));
    select({0, 1});
    QCOMPARE(control<QLabel>("MemberCountLabel")->text(), QString("Contact Members .. up to 32. "));
  }

  void deleteIsRefusedByDigitalChannelsAndAnAnalogueOneIsSetToNone() {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::RxGroupLists, 4, "G").channel(0, "Ana", 1).channel(1, "Dig", 2);
    pw::setU8(b.record(ListId::Channels, 0), 12, 3);
    pw::setU8(b.record(ListId::Channels, 1), 12, 2);
    openTab(&b, QSize(1138, 585));
    prompt.refusals = {pw::RefusalAnswer::GoOn};
    select({1, 2});
    QTest::mouseClick(control<QPushButton>("DeleteBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(prompt.texts("refuse"),
             std::vector<std::string>{"Cannot delete group \"G2\".\n\nIt's used in channel \"Dig\" setting"});
    QCOMPARE(rowCount(), 3);
    QCOMPARE(cell(2, 2), QString("G4"));
    QCOMPARE(int(pw::u8(pw::recordBytes(*doc, ListId::Channels, 0), 12)), 0);
    QCOMPARE(int(pw::u8(pw::recordBytes(*doc, ListId::Channels, 1), 12)), 2);
  }

  // Trying to add to a full list turns remove-from-members on, with no member selected.
  void addingToAFullListOffersRemove() {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::Contacts, 33, "C").fill(ListId::RxGroupLists, 1, "G");
    std::vector<int> all(32);
    std::iota(all.begin(), all.end(), 1);
    b.members(ListId::RxGroupLists, 0, all);
    openTab(&b, QSize(1138, 585));
    auto* available = control<QTableView>("AvailableListView");
    QCOMPARE(available->model()->rowCount(), 1);
    doubleClickCell(available, 0, 2);
    settle();
    QVERIFY(!control<QPushButton>("AddMemberBitBtn")->isEnabled());
    QVERIFY(control<QPushButton>("RemoveMemberBitBtn")->isEnabled());
    QVERIFY(selectedRows(control<QTableView>("MemberListView")).empty());
  }
};

class ScanListsFormTest : public QObject, TabHarness<TScanListsForm> {
  Q_OBJECT

  QComboBox* box(const char* name) const { return control<QComboBox>(name); }
  QStringList items(const char* name) const { return entriesOf(box(name)); }
  // What a user's pick does: the entry becomes current and the list reports it.
  void choose(const char* name, const QString& text) {
    QComboBox* b = box(name);
    const int i = b->findText(text);
    QVERIFY(i >= 0);
    b->setCurrentIndex(i);
    emit b->activated(i);
    settle();
  }
  int field(int s, pw::ScanListField f) const { return int(pw::scanListField(*doc, s, f)); }

  // Channels "c1".."c4", scan lists "S1" (members 3, 1) and "S2".
  void openLists() {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::Channels, 4, "c").fill(ListId::ScanLists, 2, "S").members(ListId::ScanLists, 0, {3, 1});
    pw::setU16le(b.record(ListId::ScanLists, 0), 32, 1);  // priority channel 1: c1
    pw::setU8(b.record(ListId::ScanLists, 1), 39, 1);     // a hold time no choice carries
    openTab(&b, QSize(1138, 585));
  }

 private slots:
  void cleanup() { closeTab(); }

  void withoutImageTheTimingsShowTheirDefaults() {
    openTab(nullptr, QSize(1138, 585));
    QCOMPARE(box("SignallingHoldTimeComboBox")->currentText(), QString("1000 ms"));
    QCOMPARE(box("PrioritySampleTimeComboBox")->currentText(), QString("3000 ms"));
    QCOMPARE(box("PriorityChannel1ComboBox")->count(), 0);
    QVERIFY(!box("SignallingHoldTimeComboBox")->isEnabled());
    QVERIFY(!box("TxDesignatedChannelComboBox")->isEnabled());
    QVERIFY(!view->isEnabled());  // the scan lists too, with their caption
    QVERIFY(!control<QLabel>("CountLabel")->isEnabled());
    openLists();
    QVERIFY(view->isEnabled() && control<QLabel>("CountLabel")->isEnabled());
  }

  void oneListShowsItsSettingsAndAPickWritesThem() {
    openLists();
    QCOMPARE(control<QLabel>("MemberCountLabel")->text(), QString("Channel Members .. used 2 of 31 "));
    QCOMPARE(items("PriorityChannel1ComboBox"), QStringList({"Selected", "c3", "c1", "None"}));
    QCOMPARE(box("PriorityChannel1ComboBox")->currentText(), QString("c1"));
    QCOMPARE(box("PriorityChannel2ComboBox")->currentText(), QString("None"));
    QCOMPARE(items("TxDesignatedChannelComboBox"),
             QStringList({"Selected", "c1", "c2", "c3", "c4", "Last Active Channel"}));
    QCOMPARE(box("TxDesignatedChannelComboBox")->currentText(), QString("Last Active Channel"));
    QCOMPARE(box("SignallingHoldTimeComboBox")->currentText(), QString("500 ms"));
    QCOMPARE(box("PrioritySampleTimeComboBox")->currentText(), QString("2000 ms"));

    choose("PriorityChannel2ComboBox", "c3");
    QCOMPARE(field(0, pw::ScanListField::PriorityChannel2), 3);
    choose("TxDesignatedChannelComboBox", "c4");
    QCOMPARE(field(0, pw::ScanListField::TxDesignatedChannel), 4);
    choose("SignallingHoldTimeComboBox", "75 ms");
    QCOMPARE(field(0, pw::ScanListField::SignallingHoldTime), 3);

    // Removing the member that is priority channel 2 leaves the field; the list shows no choice.
    auto* members = control<QTableView>("MemberListView");
    members->selectionModel()->select(members->model()->index(0, 1),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    settle();
    QTest::mouseClick(control<QPushButton>("RemoveMemberBitBtn"), Qt::LeftButton);
    settle();
    settle();
    QCOMPARE(field(0, pw::ScanListField::PriorityChannel2), 3);
    QCOMPARE(box("PriorityChannel2ComboBox")->currentIndex(), -1);
    QCOMPARE(items("PriorityChannel2ComboBox"), QStringList({"Selected", "c1", "None"}));

    select({1});
    QCOMPARE(box("SignallingHoldTimeComboBox")->currentIndex(), -1);  // a stored 1 is no choice
    QCOMPARE(items("PriorityChannel1ComboBox"), QStringList({"Selected", "None"}));
  }

  void severalListsOfferOnlyTheTimingsAndAPickGoesToEach() {
    openLists();
    select({0, 1});
    QCOMPARE(box("PriorityChannel1ComboBox")->count(), 0);
    QCOMPARE(box("TxDesignatedChannelComboBox")->count(), 0);
    QCOMPARE(box("SignallingHoldTimeComboBox")->currentText(), QString("1000 ms"));
    QCOMPARE(control<QLabel>("MemberCountLabel")->text(), QString("Channel Members .. used 2 of 31 "));
    QCOMPARE(field(1, pw::ScanListField::SignallingHoldTime), 1);  // showing the default wrote nothing
    choose("PrioritySampleTimeComboBox", "4000 ms");
    QCOMPARE(field(0, pw::ScanListField::PrioritySampleTime), 16);
    QCOMPARE(field(1, pw::ScanListField::PrioritySampleTime), 16);
    select({});
    QCOMPARE(box("SignallingHoldTimeComboBox")->currentIndex(), -1);
    QVERIFY(!box("SignallingHoldTimeComboBox")->isEnabled());
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return pwtest::ui::runTests<ZonesFormTest, GroupsFormTest, ScanListsFormTest>(argc, argv);
}

#include "membershipforms_uitest.moc"
