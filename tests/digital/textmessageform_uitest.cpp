// The Digital Text Msg tab driven through its named widgets: what it configures
// differently from the shared list editor (adding, the edited column, delete texts).

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "codeplug/RecordList.h"
#include "digital/TextMessages.h"
#include "digital/ui/TextMessageForm.h"
#include "support/ui/TabHarness.h"

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
    edit = control<QLineEdit>("listViewEdit");
    caption = control<QLabel>("CountLabel");
    add = control<QPushButton>("AddBitBtn");
    del = control<QPushButton>("DeleteBitBtn");
  }
  void openWithMessages(int count) {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::TextMessages, count, "Msg ");
    open(&b);
  }
  QString text(int row) const { return cell(row, 2); }
  std::string stored(int record) const { return pw::messageText(*doc, record); }

 private slots:
  void cleanup() { closeTab(); }

  void withoutImageShowsCapacityAndDoesNothing() {
    open(nullptr);
    QCOMPARE(caption->text(), QString("Text Messages .. up to 50. "));
    QCOMPARE(rowCount(), 0);
    doubleClickBelowLastRow(view);
    QVERIFY(!edit->isVisible());
  }

  void gridShowsNumbersAndTextsAndAddFocusesHello() {
    openWithMessages(3);
    QCOMPARE(cell(2, 1), QString("3"));
    QCOMPARE(text(2), QString("Msg 3"));
    QCOMPARE(caption->text(), QString("Text Messages .. used 3 of 50. "));

    // The new message is focused but, unlike on other tabs, not selected.
    clickCell(view, 0, 2);
    QTest::mouseClick(add, Qt::LeftButton);
    settle();
    QCOMPARE(text(3), QString("Hello"));
    QCOMPARE(stored(3), std::string("Hello"));
    QCOMPARE(view->currentIndex().row(), 3);
    QVERIFY(selectedRows(view).empty());
    QCOMPARE(caption->text(), QString("Text Messages .. used 4 of 50. "));
  }

  void doubleClickBelowLastRowAddsAndEditsUntilFull() {
    openWithMessages(2);
    doubleClickBelowLastRow(view);
    QVERIFY(edit->isVisible());
    QCOMPARE(edit->text(), QString("Hello"));
    QTest::keyClicks(edit, "See you");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(stored(2), std::string("See you"));
    QCOMPARE(text(2), QString("See you"));

    openWithMessages(50);
    view->scrollToBottom();
    doubleClickBelowLastRow(view);
    QCOMPARE(rowCount(), 50);
    QVERIFY(!edit->isVisible());
  }

  void anyCellEditsTheMessage() {
    openWithMessages(4);
    doubleClickCell(view, 3, 1);  // the "No." cell
    QVERIFY(edit->isVisible());
    QCOMPARE(edit->geometry(), view->visualRect(view->model()->index(3, 2)));
    QCOMPARE(edit->maxLength(), 144);
    QCOMPARE(edit->selectedText(), QString("Msg 4"));
    // Characters outside 32..127 are discarded as they are typed.
    QTest::keyClicks(edit, QString::fromUtf8("Ça va?\t"));
    QCOMPARE(edit->text(), QString("a va?"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(stored(3), std::string("a va?"));

    doubleClickCell(view, 3, 2);
    QTest::keyClicks(edit, "   ");
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(text(3), QString("Message 4"));
  }

  void deleteRefusedForOneTouchGoesOnAfterOk() {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::TextMessages, 5, "Msg ").oneTouch(1, 1, 1, 3, 0).oneTouch(2, 1, 1, 5, 0);
    open(&b);
    clickCell(view, 1, 2);
    clickCell(view, 2, 2, Qt::ControlModifier);
    clickCell(view, 3, 2, Qt::ControlModifier);
    settle();
    prompt.refusals = {pw::RefusalAnswer::GoOn};
    QTest::mouseClick(del, Qt::LeftButton);
    settle();
    // Message 2 goes first, so the refused message is number 2 by the time it is reached.
    QCOMPARE(prompt.texts("refuse"),
             std::vector<std::string>{
                 "Cannot delete text message \"2\".\n\nIt's used in one-touch-access \"2\" button setting"});
    QCOMPARE(rowCount(), 3);
    QCOMPARE(text(0), QString("Msg 1"));
    QCOMPARE(text(1), QString("Msg 3"));
    QCOMPARE(text(2), QString("Msg 5"));
    // Entry 3 still sends "Msg 5", now message 3.
    QCOMPARE(int(doc->image()[pw::kOneTouchAccess + 2 * 4 + 1]), 3);
    QCOMPARE(caption->text(), QString("Text Messages .. used 3 of 50. 1 selected. "));
  }
};

QTEST_MAIN(TextMessageFormTest)
#include "textmessageform_uitest.moc"
