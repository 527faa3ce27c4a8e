// The shared list editor on a small list kept outside the image, with every kind of
// column editor and with moves, so the behaviour all list tabs share is proved once.

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <deque>
#include <memory>

#include "widgets/ListEditor.h"
#include "support/CodePlugBuilder.h"
#include "support/ui/UiTestHelpers.h"

using namespace pwtest::ui;

namespace {

enum Column { NumberColumn, NameColumn, KindColumn, CountColumn };
constexpr int kCapacity = 30;

struct Item {
  QString name;
  qint64 kind = 1;
  int count = 0;
};

// A list with names (edit box), kinds (drop-down) and counts (cycled by double-click).
struct FakeList {
  std::vector<Item> items;
  std::vector<QString> inUse;  // names whose delete is refused
  std::deque<int> refusals;    // answers to refusals: -1 go on, -2 stop
  int applied = 0;
  int settled = 0;

  ListConfig config() {
    ListConfig c;
    c.title = QStringLiteral("Things");
    c.capacity = kCapacity;
    using E = ListColumn::Editor;
    c.columns = {
        {.caption = "No.", .width = 40, .alignment = Qt::AlignCenter, .captionAlignment = Qt::AlignCenter},
        {.caption = "Name", .width = 120, .editor = E::Edit, .maxLength = 8, .accepts = ListColumn::printable},
        {.caption = "Kind",
         .width = 80,
         .editor = E::DropDown,
         .choices = [](int) { return std::vector<ListChoice>{{"Alpha", 1}, {"Beta", 2}, {"Gamma", 5}}; },
         .storedValue = [this](int row) { return std::optional<qint64>(items[row].kind); }},
        {.caption = "Count", .editor = E::Action}};
    c.buttonsShiftForTen = true;

    c.rowCount = [this] { return int(items.size()); };
    c.cellText = [this](int row, int column) -> QString {
      const Item& it = items[row];
      if (column == NumberColumn) return QString::number(row + 1);
      if (column == NameColumn) return it.name;
      if (column == KindColumn) return it.kind == 1 ? "Alpha" : it.kind == 2 ? "Beta" : it.kind == 5 ? "Gamma" : "";
      return QString::number(it.count);
    };
    c.applyEdit = [this](int row, int column, const CellEdit& e) {
      ++applied;
      if (column == NameColumn && !e.text.isEmpty()) items[row].name = e.text;
      if (column == KindColumn && e.value) items[row].kind = *e.value;
    };
    c.cellAction = [this](int row, int) { items[row].count = (items[row].count + 1) % 3; };
    c.deleteOne = [this](int number) {
      const Item& it = items[number - 1];
      if (std::find(inUse.begin(), inUse.end(), it.name) != inUse.end()) {
        const int answer = refusals.empty() ? -2 : refusals.front();
        if (!refusals.empty()) refusals.pop_front();
        return answer;
      }
      items.erase(items.begin() + (number - 1));
      return 0;
    };
    c.moveOne = [this](int row, int delta) {
      const Item moved = items[row];
      items.erase(items.begin() + row);
      items.insert(items.begin() + (row - delta), moved);
    };
    c.add = [this] {
      items.push_back({QStringLiteral("New")});
      return int(items.size()) - 1;
    };
    c.selectionChanged = [this] { ++settled; };
    return c;
  }
  std::vector<QString> names() const {
    std::vector<QString> out;
    for (const auto& it : items) out.push_back(it.name);
    return out;
  }
};

}  // namespace

class ListEditorTest : public QObject {
  Q_OBJECT

  FakeList list;
  std::unique_ptr<pw::CodePlugDocument> doc;
  std::unique_ptr<QWidget> host;
  ListEditor* editor = nullptr;
  ListGridView* view = nullptr;
  QLineEdit* edit = nullptr;
  QComboBox* combo = nullptr;
  QLineEdit* elsewhere = nullptr;
  std::unique_ptr<QAbstractItemModelTester> tester;

  void make(int rows, bool withImage = true) {
    cleanup();
    list = {};
    for (int i = 0; i < rows; ++i) list.items.push_back({QStringLiteral("Item %1").arg(i + 1)});
    doc = std::make_unique<pw::CodePlugDocument>();
    if (withImage) QCOMPARE(pwtest::CodePlugBuilder().loadInto(*doc), 0);
    host = std::make_unique<QWidget>();
    editor = new ListEditor(*doc, list.config(), host.get());
    elsewhere = new QLineEdit(host.get());
    auto* layout = new QVBoxLayout(host.get());
    layout->addWidget(editor->countLabel());
    layout->addWidget(editor->view(), 1);
    layout->addLayout(editor->makeButtonRow());
    layout->addWidget(elsewhere);
    host->resize(500, 360);
    QVERIFY(showActive(host.get()));
    editor->rebuild(0);
    view = editor->view();
    edit = named<QLineEdit>(host.get(), "listViewEdit");
    combo = named<QComboBox>(host.get(), "listViewComboBox");
    QVERIFY(edit && combo);
    tester = std::make_unique<QAbstractItemModelTester>(
        view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  }
  QPushButton* button(const char* name) const { return named<QPushButton>(host.get(), name); }
  void select(const std::vector<int>& rows) {
    editor->selectRows(rows, rows.empty() ? -1 : rows.front());
    QCoreApplication::processEvents();
  }
  void ctrlKey(Qt::Key key, Qt::KeyboardModifiers extra = {}) {
    QTest::keyClick(view, key, Qt::ControlModifier | extra);
  }
  int modelColumn(Column c) const { return RecordTableModel::modelColumn(c); }

 private slots:
  void cleanup() {
    tester.reset();
    host.reset();
    doc.reset();
  }

  void gridFollowsTheListConventions() {
    make(5);
    QCOMPARE(view->horizontalHeader()->sectionSize(0), 1);
    QCOMPARE(view->model()->index(0, 0).data().toString(), QString());
    QCOMPARE(view->rowHeight(0), std::max(edit->sizeHint().height(), combo->sizeHint().height()));
    QCOMPARE(view->palette().color(QPalette::Inactive, QPalette::Highlight),
             view->palette().color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(combo->maxVisibleItems(), 20);
    QVERIFY(!edit->isVisible() && !combo->isVisible());
    QCOMPARE(edit->parentWidget(), host.get());  // parked on the tab
  }

  void captionsAndDeferredRefresh() {
    make(0, false);
    QCOMPARE(editor->countLabel()->text(), QString("Things .. up to 30. "));
    QVERIFY(!button("AddBitBtn")->isEnabled());
    make(10);
    QCOMPARE(editor->countLabel()->text(), QString("Things .. used 10 of 30. "));
    view->selectAll();
    // The caption follows only once the selection event has been delivered.
    QCOMPARE(editor->countLabel()->text(), QString("Things .. used 10 of 30. "));
    QCOMPARE(list.settled, 0);
    QCoreApplication::processEvents();
    QCOMPARE(editor->countLabel()->text(), QString("Things .. used 10 of 30. 10 selected. "));
    QCOMPARE(list.settled, 1);
    // A rebuild drops the selection without running the refresh hook.
    editor->rebuild();
    QCoreApplication::processEvents();
    QCOMPARE(list.settled, 1);
    QCOMPARE(editor->countLabel()->text(), QString("Things .. used 10 of 30. "));
  }

  void commandsFollowSelectionAndRoom() {
    make(kCapacity);
    QVERIFY(!button("AddBitBtn")->isEnabled());
    QVERIFY(!button("DeleteBitBtn")->isEnabled());
    QVERIFY(!button("MoveUpBitBtn")->isEnabled());
    select({0, 1});
    QVERIFY(button("DeleteBitBtn")->isEnabled());
    QVERIFY(!button("MoveUpBitBtn")->isEnabled());
    QVERIFY(button("MoveDownBitBtn")->isEnabled());
    select({kCapacity - 1});
    QVERIFY(button("MoveUpBitBtn")->isEnabled());
    QVERIFY(!button("MoveDownBitBtn")->isEnabled());
    make(3);
    QVERIFY(button("AddBitBtn")->isEnabled());
  }

  void heldButtonSelectsExactlyTheDraggedRange() {
    make(20);
    select({12});
    dragOverRows(view, {5, 6, 7, 8, 9, 8, 7, 6, 5, 4, 3});
    QCOMPARE(selectedRows(view), (std::vector<int>{3, 4, 5}));
    QVERIFY(!view->dragging());
    // A new drag starts over: the first row is added to what is selected.
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(view, 10, 1));
    QTest::mouseMove(view->viewport(), cellCenter(view, 10, 1));
    QCOMPARE(view->dragAnchor(), 10);
    QTest::mouseMove(view->viewport(), cellCenter(view, 11, 1));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(view, 11, 1));
    QCOMPARE(selectedRows(view), (std::vector<int>{10, 11}));
  }

  void deleteGoesOnAfterOkAndStopsAfterCancel() {
    make(8);
    list.inUse = {"Item 4"};
    list.refusals = {-1};
    select({2, 3, 4});
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(list.names(),
             (std::vector<QString>{"Item 1", "Item 2", "Item 4", "Item 6", "Item 7", "Item 8"}));
    QCOMPARE(selectedRows(view), std::vector<int>{4});  // the last selected index
    QCOMPARE(view->currentIndex().row(), 4);
    QVERIFY(view->hasFocus());

    make(8);
    list.inUse = {"Item 4"};
    list.refusals = {-2};
    select({2, 3, 4});
    QTest::mouseClick(button("DeleteBitBtn"), Qt::LeftButton);
    QCOMPARE(list.names().size(), 7u);
    QCOMPARE(list.items[2].name, QString("Item 4"));
    QCOMPARE(list.items[3].name, QString("Item 5"));
  }

  void deleteReselectsWithinTheShorterList() {
    make(5);
    select({3, 4});
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(list.items.size(), 3u);
    QCOMPARE(selectedRows(view), std::vector<int>{2});
    QCOMPARE(editor->countLabel()->text(), QString("Things .. used 3 of 30. 1 selected. "));
  }

  void enterCommitsTrimmedTextAndEscapeCancels() {
    make(5);
    doubleClickCell(view, 1, modelColumn(NameColumn));
    QVERIFY(edit->isVisible());
    QCOMPARE(edit->maxLength(), 8);
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, "xyz");  // 9 characters: the last one does not fit
    QCOMPARE(edit->text(), QString("Item 2xy"));
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(list.items[1].name, QString("Item 2"));
    QCOMPARE(list.applied, 0);
    QVERIFY(view->hasFocus());

    // A box left as it opened writes nothing, on Enter or on leaving.
    doubleClickCell(view, 1, modelColumn(NameColumn));
    QTest::keyClick(edit, Qt::Key_Return);
    doubleClickCell(view, 1, modelColumn(NameColumn));
    elsewhere->setFocus();
    QCOMPARE(list.applied, 0);

    doubleClickCell(view, 1, modelColumn(NameColumn));
    edit->setText("  Two \t");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(list.items[1].name, QString("Two"));
    QCOMPARE(view->model()->index(1, modelColumn(NameColumn)).data().toString(), QString("Two"));
  }

  // Drops and pastes pass the column's character rule as typing does, before the limit
  // cuts them; what the box already held (an 8-bit name) is kept.
  void droppedAndPastedTextKeepsOnlyAllowedCharacters() {
    make(3);
    list.items[0].name = "A";
    list.items[1].name = QString::fromLatin1("N\xe9");
    doubleClickCell(view, 0, modelColumn(NameColumn));
    QTest::keyClick(edit, Qt::Key_End);
    dropText(edit, QString::fromUtf8("Caf\u00e9\x01X"));
    QCOMPARE(edit->text(), QString("ACafX"));
    pasteText(edit, QString::fromUtf8("-\u00e99zq"));
    QCOMPARE(edit->text(), QString("ACafX-9z"));  // filtered first, then cut to the limit of 8
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(list.items[0].name, QString("ACafX-9z"));

    // The box's own menu pastes through the rule too; nothing left of the text, nothing changes.
    doubleClickCell(view, 2, modelColumn(NameColumn));
    const auto pasteFromMenu = [this](const QString& text) {
      QGuiApplication::clipboard()->setText(text);
      const QPoint at = edit->rect().center();
      QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, edit->mapToGlobal(at));
      QCoreApplication::sendEvent(edit, &menuEvent);
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(menu);
      for (QAction* a : menu->actions())
        if (a->text().startsWith("&Paste")) a->trigger();
      menu->close();
    };
    pasteFromMenu(QString::fromUtf8("\u00e9\t"));
    QCOMPARE(edit->text(), QString("Item 3"));
    QCOMPARE(edit->selectedText(), QString("Item 3"));
    pasteFromMenu(QString::fromUtf8("\u00e9\tYo"));
    QCOMPARE(edit->text(), QString("Yo"));
    edit->selectAll();
    QInputMethodEvent composed;
    composed.setCommitString(QString::fromUtf8("\u00e9!"));
    QCoreApplication::sendEvent(edit, &composed);
    QCOMPARE(edit->text(), QString("!"));

    doubleClickCell(view, 1, modelColumn(NameColumn));
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, "x");
    QCOMPARE(edit->text(), QString::fromLatin1("N\xe9x"));
  }

  void leavingScrollingOrOpeningAnotherEditorCommits() {
    make(kCapacity);
    doubleClickCell(view, 0, modelColumn(NameColumn));
    QTest::keyClicks(edit, "A");
    elsewhere->setFocus();
    QCOMPARE(list.items[0].name, QString("A"));
    QVERIFY(!edit->isVisible());

    doubleClickCell(view, 1, modelColumn(NameColumn));
    QTest::keyClicks(edit, "B");
    doubleClickCell(view, 2, modelColumn(NameColumn));
    QCOMPARE(list.items[1].name, QString("B"));
    QVERIFY(edit->isVisible());
    QCOMPARE(editor->editors()->row(), 2);

    QTest::keyClicks(edit, "C");
    view->verticalScrollBar()->setValue(5);
    QCOMPARE(list.items[2].name, QString("C"));
    QVERIFY(!edit->isVisible());
  }

  void dropDownShowsTheStoredChoiceAndStoresThePickedValue() {
    make(3);
    list.items[0].kind = 2;
    doubleClickCell(view, 0, modelColumn(KindColumn));
    QVERIFY(combo->isVisible());
    QCOMPARE(combo->currentText(), QString("Beta"));
    QVERIFY(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QCoreApplication::processEvents();
    QVERIFY(!combo->isVisible());
    QCOMPARE(list.items[0].kind, 5);
    QCOMPARE(view->model()->index(0, modelColumn(KindColumn)).data().toString(), QString("Gamma"));

    // A value no choice carries shows none and stays unless the user picks one.
    list.items[1].kind = 9;
    doubleClickCell(view, 1, modelColumn(KindColumn));
    QCOMPARE(combo->currentIndex(), -1);
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    QVERIFY(!combo->isVisible());
    QCOMPARE(list.applied, 1);  // only the pick above was written
    QCOMPARE(list.items[1].kind, 9);

    // Leaving the list without a new choice writes nothing, however it is left: Escape,
    // the focus going elsewhere, or picking the entry it opened on.
    doubleClickCell(view, 0, modelColumn(KindColumn));
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    doubleClickCell(view, 0, modelColumn(KindColumn));
    combo->hidePopup();
    QCoreApplication::processEvents();
    doubleClickCell(view, 0, modelColumn(KindColumn));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(list.applied, 1);
    QCOMPARE(list.items[0].kind, 5);
  }

  void actionColumnRunsOnDoubleClickAndNumberColumnHasNoEditor() {
    make(3);
    doubleClickCell(view, 2, modelColumn(CountColumn));
    doubleClickCell(view, 2, modelColumn(CountColumn));
    QCOMPARE(list.items[2].count, 2);
    QCOMPARE(view->model()->index(2, modelColumn(CountColumn)).data().toString(), QString("2"));
    doubleClickCell(view, 2, modelColumn(NumberColumn));
    QVERIFY(!edit->isVisible() && !combo->isVisible());
    doubleClickBelowLastRow(view);  // this list adds only by its button
    QCOMPARE(list.items.size(), 3u);
  }

  void blockMovesAreClampedAndKeepTheSelection() {
    make(12);
    select({4, 5});
    ctrlKey(Qt::Key_Up, Qt::ShiftModifier);  // ten asked, four possible
    QCOMPARE(list.items[0].name, QString("Item 5"));
    QCOMPARE(list.items[1].name, QString("Item 6"));
    QCOMPARE(list.items[2].name, QString("Item 1"));
    QCOMPARE(selectedRows(view), (std::vector<int>{0, 1}));
    QCoreApplication::processEvents();
    QVERIFY(!button("MoveUpBitBtn")->isEnabled());
    QVERIFY(button("MoveDownBitBtn")->isEnabled());

    ctrlKey(Qt::Key_Down);
    QCOMPARE(selectedRows(view), (std::vector<int>{1, 2}));
    QCOMPARE(view->currentIndex().row(), 2);
    ctrlKey(Qt::Key_Down, Qt::ShiftModifier);  // to the end, not past it
    QCOMPARE(selectedRows(view), (std::vector<int>{10, 11}));
    QCOMPARE(list.items[11].name, QString("Item 6"));
    ctrlKey(Qt::Key_Down);
    QCOMPARE(list.items[11].name, QString("Item 6"));

    // Gaps in the selection move along with it.
    select({3, 6});
    QTest::mouseClick(button("MoveUpBitBtn"), Qt::LeftButton);
    QCOMPARE(selectedRows(view), (std::vector<int>{2, 5}));
    QTest::mouseClick(button("MoveUpBitBtn"), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(selectedRows(view), (std::vector<int>{0, 3}));
    QTest::mouseClick(button("MoveDownBitBtn"), Qt::LeftButton, Qt::ShiftModifier);  // ten asked, eight possible
    QCOMPARE(selectedRows(view), (std::vector<int>{8, 11}));
  }

  void moveScrollsTheMovedRowHalfAPageDown() {
    make(kCapacity);
    select({kCapacity - 1});
    ctrlKey(Qt::Key_Up, Qt::ShiftModifier);
    const int row = kCapacity - 11;
    QCOMPARE(selectedRows(view), std::vector<int>{row});
    QCOMPARE(editor->topRow(),
             std::max(0, std::min(row - editor->visibleRows() / 2, kCapacity - editor->visibleRows())));
    QVERIFY(view->hasFocus());
  }

  void twoGridsShareOneEditorPair() {
    make(3);
    FakeList second;
    second.items = {{"Other"}};
    auto* shared = new OverlayEditors(host.get());  // created first, so destroyed first
    ListConfig config = second.config();
    config.viewName = "MemberListView";
    auto* a = new ListEditor(*doc, list.config(), host.get(), shared);
    auto* b = new ListEditor(*doc, config, host.get(), shared);
    host->layout()->addWidget(a->view());
    host->layout()->addWidget(b->view());
    QCoreApplication::processEvents();
    QVERIFY(a->openEditor(0, NameColumn));
    QTest::keyClicks(shared->edit(), "Z");
    QVERIFY(b->openEditor(0, NameColumn));  // commits the editor on the other grid
    QCOMPARE(list.items[0].name, QString("Z"));
    QCOMPARE(shared->edit()->parentWidget(), b->view()->viewport());
    tester.reset();
    host.reset();  // tears down with an editor open
  }
};

QTEST_MAIN(ListEditorTest)
#include "listeditor_uitest.moc"
