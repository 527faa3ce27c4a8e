// The two-list member editor on a bare host, once: what the member side shows for no,
// one and several selected records, the enabling rules, add/remove by button and by
// double-click, member moves by key and button, and full and hidden-word member lists.
// Each tab's own texts and columns are checked by the tab tests.

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "membership/MemberList.h"
#include "support/ui/TabHarness.h"
#include "membership/ui/MemberEditor.h"
#include "widgets/TabForm.h"

using namespace pwtest::ui;
using pw::ListId;

class MemberHost : public TabForm {
 public:
  explicit MemberHost(pw::CodePlugDocument& d) : TabForm(d) {
    editor = new MemberEditor(doc,
                              {.owner = ListId::Zones,
                               .title = "Zones",
                               .availableCaption = "Available Channels ",
                               .membersTitle = "Channel Members",
                               .numberCaption = "Chan",
                               .detailCaption = "Mode",
                               .memberSideChanged = [this] { ++sideFills; }},
                              this);
    editor->layOutTab(this, "Heading");
  }
  void refresh(bool rebuild, int topRow) override { editor->refresh(rebuild, topRow); }
  ListEditor* listEditor() const { return editor->records(); }
  MemberEditor* editor = nullptr;
  int sideFills = 0;
};

class MemberEditorTest : public QObject, TabHarness<MemberHost> {
  Q_OBJECT

  QTableView* available = nullptr;
  QTableView* members = nullptr;
  QPushButton* addMember = nullptr;
  QPushButton* removeMember = nullptr;
  QPushButton* up = nullptr;
  QPushButton* down = nullptr;

  // Channels 1..10 in use ("c1".. with alternating modes), three zones, zone 1 holding `words`.
  void open(const std::vector<int>& words, bool withImage = true) {
    pwtest::CodePlugBuilder b;
    for (int c = 0; c < 10; ++c) b.channel(c, "c" + std::to_string(c + 1), 1 + c % 2);
    b.fill(ListId::Zones, 3, "Z").members(ListId::Zones, 0, words);
    openTab(withImage ? &b : nullptr, QSize(1000, 500));
    if (QTest::currentTestFailed()) return;
    available = control<QTableView>("AvailableListView");
    members = control<QTableView>("MemberListView");
    addMember = control<QPushButton>("AddMemberBitBtn");
    removeMember = control<QPushButton>("RemoveMemberBitBtn");
    up = control<QPushButton>("MemberUpBitBtn");
    down = control<QPushButton>("MemberDownBitBtn");
  }
  QString membersCaption() const { return control<QLabel>("MemberCountLabel")->text(); }
  QStringList column(QTableView* v, int c) const {
    QStringList out;
    for (int r = 0; r < v->model()->rowCount(); ++r) out << v->model()->index(r, c).data().toString();
    return out;
  }
  std::vector<int> words() const {
    std::vector<int> v;
    for (int p = 0; p < pw::kZoneMemberCount; ++p)
      v.push_back(pw::u16le(pw::recordBytes(*doc, ListId::Zones, 0), 32 + 2 * p));
    while (!v.empty() && v.back() == 0) v.pop_back();
    return v;
  }
  void selectIn(QTableView* v, const std::vector<int>& rows) {
    v->clearSelection();
    for (int r : rows)
      v->selectionModel()->select(v->model()->index(r, 1),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    settle();
  }
  void click(QPushButton* b) {
    QTest::mouseClick(b, Qt::LeftButton);
    settle();
    settle();  // the member side is refilled after the click
  }

 private slots:
  void cleanup() { closeTab(); }

  void withoutImageEverythingIsOffAndEmpty() {
    open({}, false);  // the captions it then shows are checked by the Zones tab's test
    QCOMPARE(available->model()->rowCount() + members->model()->rowCount() + rowCount(), 0);
    for (QWidget* w : std::initializer_list<QWidget*>{available, members, addMember, removeMember, up, down,
                                                      control<QLabel>("AvailableLabel")})
      QVERIFY(!w->isEnabled());
  }

  void oneSelectedShowsMembersAndTheRestAsAvailable() {
    open({2, 0xFFFF, 4, 1001, 40});  // a hidden word, one above the range, a free channel
    QCOMPARE(selectedRows(view), std::vector<int>{0});
    QCOMPARE(column(members, 1), QStringList({"2", "4", "40"}));
    QCOMPARE(column(members, 2), QStringList({"c2", "c4", ""}));
    QCOMPARE(column(members, 3).first(), QString("Digital"));
    QCOMPARE(column(available, 1), QStringList({"1", "3", "5", "6", "7", "8", "9", "10"}));
    QCOMPARE(column(available, 3).first(), QString("Analogue"));
    QCOMPARE(membersCaption(), QString("Channel Members .. used 3 of 16 "));
    QCOMPARE(control<QLabel>("CountLabel")->text(), QString("Zones .. used 3 of 250. 1 selected. "));
    QVERIFY(available->isEnabled() && members->isEnabled());
    QVERIFY(!addMember->isEnabled() && !removeMember->isEnabled());

    select({0, 2});  // several: both sides empty, still enabled
    QCOMPARE(available->model()->rowCount() + members->model()->rowCount(), 0);
    QCOMPARE(membersCaption(), QString("Channel Members .. up to 16 "));
    QVERIFY(available->isEnabled());
    select({1});
    QCOMPARE(membersCaption(), QString("Channel Members .. used 0 of 16 "));
    select({});
    QVERIFY(!available->isEnabled() && !members->isEnabled());
    QCOMPARE(membersCaption(), QString("Channel Members .. used 0 of 16 "));  // left as it was
  }

  void addAndRemoveByButtonAndDoubleClick() {
    open({1, 2, 3, 4, 5});
    selectIn(available, {0, 2});  // channels 6 and 8
    QVERIFY(addMember->isEnabled());
    click(addMember);
    QCOMPARE(words(), (std::vector<int>{1, 2, 3, 4, 5, 6, 8}));
    QCOMPARE(membersCaption(), QString("Channel Members .. used 7 of 16 "));

    doubleClickCell(available, 0, 2);  // channel 7
    settle();
    QCOMPARE(words(), (std::vector<int>{1, 2, 3, 4, 5, 6, 8, 7}));

    selectIn(members, {1, 2});
    QVERIFY(removeMember->isEnabled());
    click(removeMember);
    QCOMPARE(words(), (std::vector<int>{1, 4, 5, 6, 8, 7}));
    doubleClickCell(members, 0, 2);
    settle();
    QCOMPARE(words(), (std::vector<int>{4, 5, 6, 8, 7}));
    QCOMPARE(column(available, 1).first(), QString("1"));
  }

  void fifteenMembersTakeOnlyTheFirstSelectedThenAddIsOff() {
    open({1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 8});  // duplicates count as rows
    QCOMPARE(members->model()->rowCount(), 15);
    selectIn(available, {0, 1});  // channels 9 and 10
    QVERIFY(addMember->isEnabled());
    click(addMember);
    QCOMPARE(members->model()->rowCount(), 16);
    QCOMPARE(words().back(), 9);
    selectIn(available, {0});
    QVERIFY(!addMember->isEnabled());
    // Removing a duplicated channel clears both of its positions.
    selectIn(members, {0});
    click(removeMember);
    QCOMPARE(members->model()->rowCount(), 14);
    QCOMPARE(words().front(), 2);
  }

  void membersMoveByKeyAndButtonAroundAHiddenWord() {
    open({5, 0xFFFF, 7, 8});
    selectIn(members, {1});  // channel 7, behind the hidden word
    QVERIFY(up->isEnabled() && down->isEnabled());
    QTest::mouseClick(up, Qt::LeftButton);
    settle();
    QCOMPARE(words(), (std::vector<int>{7, 0xFFFF, 5, 8}));
    QCOMPARE(selectedRows(members), std::vector<int>{0});
    QVERIFY(!up->isEnabled());

    const int fills = form->sideFills;
    members->setFocus();
    QTest::keyClick(members, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);  // by ten: clamped
    settle();
    QCOMPARE(words(), (std::vector<int>{5, 0xFFFF, 8, 7}));
    QCOMPARE(selectedRows(members), std::vector<int>{2});
    QVERIFY(form->sideFills > fills);  // tabs hear of the new order

    QTest::keyClick(members, Qt::Key_Delete);  // no Delete key here
    settle();
    QCOMPARE(words(), (std::vector<int>{5, 0xFFFF, 8, 7}));
    QCOMPARE(rowCount(), 3);
  }
};

QTEST_MAIN(MemberEditorTest)
#include "membereditor_uitest.moc"
