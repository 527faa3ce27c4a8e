// The Digital Text Msg tab driven through its named widgets.

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <memory>

#include "app/ListEditor.h"
#include "codeplug/RecordList.h"
#include "digital/TextMessages.h"
#include "digital/Textmessageunit.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"
#include "support/ui/TabHarness.h"
#include "support/ui/UiTestHelpers.h"

using namespace pwtest::ui;
using pw::ListId;

class TextMessageFormTest : public QObject, TabHarness<TTextMessageForm> {
  Q_OBJECT

  QLineEdit* edit = nullptr;
  QLabel* caption = nullptr;
  QPushButton* add = nullptr;
  QPushButton* del = nullptr;

  void open(pwtest::CodePlugBuilder* builder) {
    openTab(builder, QSize(700, 400));
    if (QTest::currentTestFailed()) return;
    edit = named<QLineEdit>(form.get(), "listViewEdit");
    caption = named<QLabel>(form.get(), "CountLabel");
    add = named<QPushButton>(form.get(), "AddBitBtn");
    del = named<QPushButton>(form.get(), "DeleteBitBtn");
    QVERIFY(edit && caption && add && del);
    QVERIFY(named<QLabel>(form.get(), "TitleLabel"));
    QVERIFY(named<QComboBox>(form.get(), "listViewComboBox"));
  }
  void openWithMessages(int count) {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::TextMessages, count, "Msg ");
    open(&b);
  }
  QString cell(int row) const { return view->model()->index(row, 2).data().toString(); }
  std::string stored(int record) const { return pw::messageText(*doc, record); }

 private slots:
  void cleanup() { closeTab(); }

  void withoutImageShowsCapacityAndDoesNothing() {
    open(nullptr);
    QCOMPARE(caption->text(), QString("Text Messages .. up to 50. "));
    QCOMPARE(view->model()->rowCount(), 0);
    QVERIFY(!add->isEnabled());
    QVERIFY(!del->isEnabled());
    doubleClickBelowLastRow(view);
    QVERIFY(!edit->isVisible());
    QCOMPARE(named<QLabel>(form.get(), "TitleLabel")->text(),
             QString("Preset Text Messages available to send from the radio "));
  }

  void gridShowsNumbersAndTexts() {
    openWithMessages(3);
    QCOMPARE(view->model()->columnCount(), 3);
    QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(), QString("No."));
    QCOMPARE(view->model()->headerData(2, Qt::Horizontal).toString(), QString("Message"));
    QCOMPARE(view->model()->index(2, 1).data().toString(), QString("3"));
    QCOMPARE(cell(2), QString("Msg 3"));
    QCOMPARE(caption->text(), QString("Text Messages .. used 3 of 50. "));
    clickCell(view, 1, 2);
    settle();
    QCOMPARE(caption->text(), QString("Text Messages .. used 3 of 50. 1 selected. "));
    QVERIFY(del->isEnabled());
  }

  void addAppendsHelloAsFocusedUnselectedRow() {
    openWithMessages(3);
    clickCell(view, 0, 2);
    QTest::mouseClick(add, Qt::LeftButton);
    settle();
    QCOMPARE(view->model()->rowCount(), 4);
    QCOMPARE(cell(3), QString("Hello"));
    QCOMPARE(stored(3), std::string("Hello"));
    QCOMPARE(view->currentIndex().row(), 3);
    QVERIFY(selectedRows(view).empty());
    QCOMPARE(caption->text(), QString("Text Messages .. used 4 of 50. "));
  }

  void doubleClickBelowLastRowAddsAndEdits() {
    openWithMessages(2);
    doubleClickBelowLastRow(view);
    QVERIFY(edit->isVisible());
    QCOMPARE(edit->text(), QString("Hello"));
    QTest::keyClicks(edit, "See you");
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(!edit->isVisible());
    QCOMPARE(stored(2), std::string("See you"));
    QCOMPARE(cell(2), QString("See you"));
  }

  void editingAnyCellEditsTheMessage() {
    openWithMessages(4);
    doubleClickCell(view, 3, 1);  // the "No." cell
    QVERIFY(edit->isVisible());
    QCOMPARE(edit->parentWidget(), view->viewport());
    QCOMPARE(edit->geometry(), view->visualRect(view->model()->index(3, 2)));
    QCOMPARE(edit->maxLength(), 144);
    QCOMPARE(edit->text(), QString("Msg 4"));
    QCOMPARE(edit->selectedText(), QString("Msg 4"));
    // Characters outside 32..127 are discarded as they are typed.
    QTest::keyClicks(edit, QString::fromUtf8("Ça va?\t"));
    QCOMPARE(edit->text(), QString("a va?"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(stored(3), std::string("a va?"));
  }

  void escapeKeepsAndEmptiedTextBecomesMessageNumber() {
    openWithMessages(4);
    const auto before = doc->workingImage;
    doubleClickCell(view, 3, 2);
    QTest::keyClicks(edit, "changed");
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(!edit->isVisible());
    QCOMPARE(doc->workingImage, before);
    QCOMPARE(cell(3), QString("Msg 4"));

    doubleClickCell(view, 3, 2);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "   ");
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(stored(3), std::string("Message 4"));
    QCOMPARE(cell(3), QString("Message 4"));
  }

  void scrollingTheGridCommitsTheEdit() {
    openWithMessages(50);
    doubleClickCell(view, 0, 2);
    QTest::keyClicks(edit, "Scrolled");
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + 3);
    QVERIFY(!edit->isVisible());
    QCOMPARE(stored(0), std::string("Scrolled"));
  }

  void fullListCannotGrow() {
    openWithMessages(50);
    QVERIFY(!add->isEnabled());
    view->scrollToBottom();
    doubleClickBelowLastRow(view);
    QCOMPARE(view->model()->rowCount(), 50);
    QVERIFY(!edit->isVisible());
  }

  void deleteRefusedForOneTouchGoesOnAfterOk() {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::TextMessages, 5, "Msg ").oneTouch(1, 1, 1, 3, 0).oneTouch(2, 1, 1, 5, 0);
    open(&b);
    clickCell(view, 1, 2);
    clickCell(view, 2, 2, Qt::ControlModifier);
    clickCell(view, 3, 2, Qt::ControlModifier);
    QCOMPARE(selectedRows(view), (std::vector<int>{1, 2, 3}));
    // Message 2 goes first, so the refused message is number 2 by the time it is reached.
    prompt.refusals = {pw::RefusalAnswer::GoOn};
    settle();
    QVERIFY(del->isEnabled());
    QTest::mouseClick(del, Qt::LeftButton);
    settle();
    QCOMPARE(prompt.texts("refuse"),
             std::vector<std::string>{
                 "Cannot delete text message \"2\".\n\nIt's used in one-touch-access \"2\" button setting"});
    QCOMPARE(view->model()->rowCount(), 3);
    QCOMPARE(cell(0), QString("Msg 1"));
    QCOMPARE(cell(1), QString("Msg 3"));
    QCOMPARE(cell(2), QString("Msg 5"));
    // Entry 3 still sends "Msg 5", now message 3.
    QCOMPARE(int(doc->image()[pw::kOneTouchAccess + 2 * 4 + 1]), 3);
    // The row at the last selected index (or the last row) is selected and focused.
    QCOMPARE(selectedRows(view), std::vector<int>{2});
    QCOMPARE(view->currentIndex().row(), 2);
    QCOMPARE(caption->text(), QString("Text Messages .. used 3 of 50. 1 selected. "));
  }

  void deleteKeyDeletesAndTheLastMessageBecomesHello() {
    openWithMessages(1);
    clickCell(view, 0, 2);
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(cell(0), QString("Hello"));
    QVERIFY(prompt.shown.empty());
  }
};

QTEST_MAIN(TextMessageFormTest)
#include "textmessageform_uitest.moc"
