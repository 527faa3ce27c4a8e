// The window's checks and comparison: the findings panel follows the edits and leads to
// the record a finding is about; the compare window shows another file's differences
// and leads to this plug's records.

// The model headers come first: a member named `slots` would clash with Qt's keyword macro.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>

#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "shell/CompareDialog.h"
#include "shell/FindingsView.h"
#include "shell/WindowFixture.h"
#include "validation/Validation.h"
#include "widgets/ListEditor.h"
#include "widgets/TabForm.h"

using namespace pwtest::ui;
using pw::ListId;

namespace {

constexpr int kGeneralTab = 1, kZonesTab = 9, kChannelsTab = 11, kDtmfTab = 12;

// 40 channels, every one digital with a contact but channel 30; DTMF decode 2 reverts to
// the free channel 45: two findings.
void plugWithFindings(pwtest::CodePlugBuilder& b) {
  b.fill(ListId::Channels, 40, "Ch ").fill(ListId::Contacts, 1, "Net");
  for (int c = 0; c < 40; ++c)
    if (c != 29) b.channelContact(c, 1);
  b.u16(pw::kDtmfDecodeEntries + pw::kDtmfDecodeSize + 20, 45);
}

}  // namespace

class CheckCompareFixture : public WindowFixture {
 protected:
  int currentTab() const { return control<QTabWidget>("PageControl")->currentIndex(); }
  ListEditor* list(int tab, const char* view = "ListView") const {
    for (ListEditor* l : form->tabForm(tab)->findChildren<ListEditor*>())
      if (l->view()->objectName() == QLatin1String(view)) return l;
    qFatal("no list %s", view);
  }
  // The row is selected alone and in view: inside the visible part of its grid, and of
  // the page when the page shows only part of the tab.
  static bool shows(const ListEditor* l, int row) {
    const QRect cell = l->view()->visualRect(l->model()->index(row, 1));
    return l->selectedRows() == std::vector<int>{row} &&
           l->view()->viewport()->visibleRegion().contains(cell.center());
  }
  // Double-clicks a row of a tree (first column).
  static void doubleClickRow(QTreeView* tree, const QModelIndex& index) {
    tree->scrollTo(index);
    const QPoint at = tree->visualRect(index).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    settle();
  }
};

class CheckTest : public CheckCompareFixture {
  Q_OBJECT
 private slots:
  void cleanup() { form.reset(); }

  void noCodePlugLeavesTheCheckOff() {
    start(nullptr);
    QVERIFY(!control<QPushButton>("CheckBitBtn")->isEnabled());
    QVERIFY(!control<QPushButton>("CompareBitBtn")->isEnabled());
    QCOMPARE(control<QPushButton>("CheckBitBtn")->text(), QString("Check"));
    QCOMPARE(control<FindingsView>("FindingsView")->model()->rowCount(), 0);
  }

  // The rules, texts and order of validate; the count on the button; the panel shown and
  // hidden; an edit step brought in after the pause, and typing put off until it stops.
  void findingsFollowTheEditsAndLeadToTheirRecords() {
    pwtest::CodePlugBuilder b;
    plugWithFindings(b);
    start(&b);
    auto* check = control<QPushButton>("CheckBitBtn");
    auto* view = control<FindingsView>("FindingsView");
    const auto expected = pw::validate(form->document());
    QCOMPARE(expected.size(), std::size_t(2));
    QCOMPARE(check->text(), QString("Check (2)"));
    QVERIFY(!view->isVisible());
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(view->isVisible());
    for (int r = 0; r < 2; ++r) {
      QCOMPARE(view->model()->index(r, 1).data().toString().toStdString(), expected[std::size_t(r)].text);
    }
    QCOMPARE(view->model()->index(1, 0).data().toString(), QString("DTMF: DTMF decode 2"));

    // Double-click: the tab, the grid's own page and the row, in view.
    doubleClickRow(view, view->model()->index(1, 1));
    QCOMPARE(currentTab(), kDtmfTab);
    QVERIFY(shows(list(kDtmfTab, "DecodeListView"), 1));
    doubleClickRow(view, view->model()->index(0, 0));
    QCOMPARE(currentTab(), kChannelsTab);
    QVERIFY(shows(list(kChannelsTab), 29));

    // A step from a click: checked again at once when the last run is long enough past,
    // otherwise when it is; a zone without members is one more finding.
    QTest::qWait(FindingsView::kMinInterval);
    control<QTabWidget>("PageControl")->setCurrentIndex(kZonesTab);
    settle();
    QTest::mouseClick(form->tabForm(kZonesTab)->findChild<QPushButton*>("AddBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(check->text(), QString("Check (3)"));
    QTest::mouseClick(form->tabForm(kZonesTab)->findChild<QPushButton*>("AddBitBtn"), Qt::LeftButton);
    settle();
    QVERIFY(view->recheckPending());  // not twice within the interval
    QCOMPARE(check->text(), QString("Check (3)"));
    QTRY_COMPARE(check->text(), QString("Check (4)"));

    // Keystrokes in a box that writes each one: nothing is checked while they come.
    control<QTabWidget>("PageControl")->setCurrentIndex(kGeneralTab);
    settle();
    auto* edit = form->tabForm(kGeneralTab)->findChild<QLineEdit*>("RadioNameEdit");
    edit->setFocus();
    QTest::qWait(FindingsView::kMinInterval);
    for (const char* key : {"a", "b", "c"}) {
      QTest::keyClicks(edit, key);
      settle();
      QVERIFY(view->recheckPending());
      QTest::qWait(FindingsView::kMinInterval / 2);
    }
    QTRY_VERIFY(!view->recheckPending());

    // Hidden again; the count stays on the button.
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(!view->isVisible());
    QCOMPARE(check->text(), QString("Check (4)"));
  }

  // The panel takes part of the window's height, so a tab may show in its page only in
  // part: the row a finding leads to is scrolled into the page's view as well as the
  // grid's (the last of 1000 channels lay below the page's visible part).
  void findingsLeadToRowsInViewOnThePage() {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::Channels, 1000, "Ch ");  // digital without a contact: a finding each
    start(&b);
    QTest::mouseClick(control<QPushButton>("CheckBitBtn"), Qt::LeftButton);
    auto* view = control<FindingsView>("FindingsView");
    QCOMPARE(view->model()->rowCount(), 1000);
    // The last record is named by its number and name, as every other one is.
    QCOMPARE(view->model()->index(999, 0).data().toString(), QString("Channels: 1000 Ch 1000"));
    for (const int row : {999, 0, 998, 499}) {
      doubleClickRow(view, view->model()->index(row, 0));
      QCOMPARE(currentTab(), kChannelsTab);
      QVERIFY2(shows(list(kChannelsTab), row), qPrintable(QString::number(row + 1)));
    }
  }
};

class CompareTest : public CheckCompareFixture {
  Q_OBJECT

  CompareDialog* dialog() const { return form->findChild<CompareDialog*>(); }
  static QStringList row(const QAbstractItemModel* m, const QModelIndex& i) {
    return {i.siblingAtColumn(0).data().toString(), i.siblingAtColumn(1).data().toString(),
            i.siblingAtColumn(2).data().toString()};
  }

 private slots:
  void cleanup() { form.reset(); }

  void aFileThatDoesNotLoadOpensNoWindow() {
    pwtest::CodePlugBuilder b;
    plugWithFindings(b);
    start(&b);
    QFile bad(path("bad.rdt"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(100, 'x'));
    bad.close();
    dialogAnswers = {bad.fileName()};
    QTest::mouseClick(control<QPushButton>("CompareBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(prompt.texts("error"), std::vector<std::string>{"Code plug file size error"});
    QVERIFY(!dialog());
  }

  // This plug with an unsaved rename against a file whose first two channels swapped
  // places and whose contact changed its ID: a move each way, a change with both values.
  void differencesByRecordAndFieldLeadToThisPlugsRecords() {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::Channels, 40, "Ch ").contact(0, "Net", 9);
    start(&b);
    pw::renameRecord(form->document(), ListId::Channels, 2, "Renamed");
    pwtest::CodePlugBuilder o;
    o.fill(ListId::Channels, 40, "Ch ").contact(0, "Net", 91);
    o.named(ListId::Channels, 0, "Ch 2").named(ListId::Channels, 1, "Ch 1");
    dialogAnswers = {writePlug("other.rdt", o)};
    QTest::mouseClick(control<QPushButton>("CompareBitBtn"), Qt::LeftButton);
    settle();
    QVERIFY(dialog() && dialog()->isVisible());
    const QAbstractItemModel* m = dialog()->tree()->model();
    QCOMPARE(m->rowCount(), 2);  // contacts, channels: the CRC Save writes matches as the other's does
    const QModelIndex contacts = m->index(0, 0), channels = m->index(1, 0);
    QCOMPARE(contacts.data().toString(), QString("contacts (1)"));
    QCOMPARE(row(m, m->index(0, 0, m->index(0, 0, contacts))), (QStringList{"call_id", "9", "91"}));
    QCOMPARE(channels.data().toString(), QString("channels (3)"));
    QCOMPARE(row(m, m->index(0, 0, channels)), (QStringList{"moved 1 -> 2 Ch 1", "1 Ch 1", "2 Ch 1"}));
    QCOMPARE(row(m, m->index(1, 0, channels)), (QStringList{"moved 2 -> 1 Ch 2", "2 Ch 2", "1 Ch 2"}));
    const QModelIndex renamed = m->index(2, 0, channels);
    QCOMPARE(row(m, renamed), (QStringList{"changed 3 Renamed", "3 Renamed", "3 Ch 3"}));
    QCOMPARE(row(m, m->index(0, 0, renamed)), (QStringList{"name", "Renamed", "Ch 3"}));

    // A record, or one of its fields, shows this plug's record in its tab.
    doubleClickRow(dialog()->tree(), m->index(0, 0, renamed));
    QCOMPARE(currentTab(), kChannelsTab);
    QVERIFY(shows(list(kChannelsTab), 2));
    doubleClickRow(dialog()->tree(), m->index(1, 0, channels));
    QVERIFY(shows(list(kChannelsTab), 1));
  }
};

// Every section of the code plug is shown by one tab, and that tab leads to a record of
// each section it lists: the record alone selected, in view, its grid focused (on the
// inner page it lies on), its own number in its first column.
class ShowRecordTest : public CheckCompareFixture {
  Q_OBJECT
 private slots:
  void cleanup() { form.reset(); }

  void everyTabLeadsToTheRecordsOfItsSections() {
    pwtest::CodePlugBuilder b;
    for (const ListId id : {ListId::TextMessages, ListId::EmergencySystems, ListId::Contacts,
                            ListId::RxGroupLists, ListId::Zones, ListId::ScanLists, ListId::Channels})
      b.fill(id, 6, "R ");
    // Message 2 is in use but shows no text: message 4 is in the third row.
    b.record(ListId::TextMessages, 1)[0] = 0;
    b.record(ListId::TextMessages, 1)[1] = 1;
    start(&b);
    using S = pw::PlugSection;
    const std::vector<S> blocks{S::Radio, S::GeneralSettings, S::Menus, S::SideButtons, S::EmergencySettings};
    for (int s = 0; s < pw::kPlugSectionCount; ++s) {
      const auto section = S(s);
      int tabs = 0;
      for (int t = 0; t < TMainForm::kTabCount; ++t) tabs += form->tabForm(t)->shows(section) ? 1 : 0;
      QCOMPARE(tabs, 1);
      form->setFocus();
      form->showRecord(section, 4);
      settle();
      TabForm* tab = form->tabForm(currentTab());
      QVERIFY(tab->shows(section));
      if (std::find(blocks.begin(), blocks.end(), section) != blocks.end()) continue;
      auto* grid = qobject_cast<QTableView*>(QApplication::focusWidget());
      QVERIFY2(grid && tab->isAncestorOf(grid) && grid->isVisible(), qPrintable(QString::number(s)));
      const QModelIndexList rows = grid->selectionModel()->selectedRows(1);
      QCOMPARE(rows.size(), 1);
      QCOMPARE(rows[0].data().toString().split(' ').last(), QString("4"));  // "4", "Key 4"
      QVERIFY(grid->viewport()->rect().contains(grid->visualRect(rows[0]).center()));
      QVERIFY(!tab->showRecord(section, 1001));  // no such record: nothing changes
      QCOMPARE(grid->selectionModel()->selectedRows(1), rows);
    }
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return runTests<CheckTest, CompareTest, ShowRecordTest>(argc, argv);
}

#include "checkcompare_uitest.moc"
