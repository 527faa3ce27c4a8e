// The Digital Voice Encryption tab driven through its named widgets: two fixed key
// grids sharing one hex edit box.

#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "codeplug/Layout.h"
#include "digital/PrivacyKeys.h"
#include "digital/ui/VoiceEncryptionForm.h"
#include "support/ui/TabHarness.h"

using namespace pwtest::ui;
using pw::KeyKind;

class VoiceEncryptionFormTest : public QObject, TabHarness<TVoiceEncryptionForm> {
  Q_OBJECT

  QTableView* basic = nullptr;  // the harness's `view`
  QTableView* enhanced = nullptr;
  QLineEdit* edit = nullptr;

  void open(const pwtest::CodePlugBuilder* builder) {
    openTab(builder, QSize(1138, 520), {}, "BasicListView");
    if (QTest::currentTestFailed()) return;
    basic = view;
    enhanced = control<QTableView>("EnhancedListView");
    edit = control<QLineEdit>("listViewEdit");
  }
  void openWithKeys() {
    pwtest::CodePlugBuilder b;
    for (int i = 0; i < 2; ++i) b.u8(pw::kBasicPrivacyKeys + 2 + i, 0xFF);  // key 2 unset
    b.u16(pw::kBasicPrivacyKeys, 0x1234);
    for (int i = 0; i < 16; ++i) b.u8(pw::kEnhancedPrivacyKeys + 16 + i, std::uint8_t(i));
    open(&b);
  }
  static QString cellOf(QTableView* grid, int row, int column) {
    return grid->model()->index(row, column).data().toString();
  }
  void type(QTableView* grid, int row, const QString& text, Qt::Key end = Qt::Key_Return) {
    doubleClickCell(grid, row, 2);
    QVERIFY(edit->isVisible());
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, end);
  }
  std::string key(KeyKind kind, int index) const { return pw::keyText(*doc, kind, index); }

 private slots:
  void cleanup() { closeTab(); }

  void withoutImageBothGridsAreEmpty() {
    open(nullptr);
    QCOMPARE(basic->model()->rowCount(), 0);
    QCOMPARE(enhanced->model()->rowCount(), 0);
    QVERIFY(!control<QLabel>("BasicCountLabel")->isVisible());
  }

  void gridsShowEveryKeyWithTheLastByteFirst() {
    openWithKeys();
    QCOMPARE(basic->model()->rowCount(), 16);
    QCOMPARE(enhanced->model()->rowCount(), 8);
    QCOMPARE(cellOf(basic, 15, 1), QString("16"));
    QCOMPARE(cellOf(basic, 0, 2), QString("1234"));
    QCOMPARE(cellOf(basic, 1, 2), QString("ffff"));
    QCOMPARE(cellOf(enhanced, 1, 2), QString("0f0e0d0c0b0a09080706050403020100"));
    QCOMPARE(cellOf(enhanced, 7, 1), QString("8"));
    for (QTableView* grid : {basic, enhanced}) {
      dragOverRows(grid, {2, 3, 4});  // no range selection with the held button
      QCOMPARE(selectedRows(grid), std::vector<int>{2});
      clickCell(grid, 5, 1, Qt::ControlModifier);  // but several rows can be selected
      QCOMPARE(selectedRows(grid), (std::vector<int>{2, 5}));
    }
  }

  void hexBoxKeepsHexDigitsAndCommitsPadded() {
    openWithKeys();
    doubleClickCell(basic, 3, 1);  // the "No." cell opens nothing
    QVERIFY(!edit->isVisible());
    doubleClickCell(basic, 3, 2);
    QCOMPARE(edit->maxLength(), 4);
    QTest::keyClicks(edit, "aG-1 ");
    QCOMPARE(edit->text(), QString("a1"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(key(KeyKind::Basic, 3), std::string("00a1"));
    QCOMPARE(cellOf(basic, 3, 2), QString("00a1"));

    type(enhanced, 2, "ABCDEF0123456789ABCDEF0123456789");
    QCOMPARE(edit->maxLength(), 32);
    QCOMPARE(cellOf(enhanced, 2, 2), QString("abcdef0123456789abcdef0123456789"));
    QCOMPARE(int(doc->image()[pw::kEnhancedPrivacyKeys + 2 * 16 + 15]), 0xAB);
  }

  void clearingUnsetsTheKey() {
    openWithKeys();
    doubleClickCell(basic, 0, 2);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(cellOf(basic, 0, 2), QString("ffff"));
    QCOMPARE(int(pw::u16le(doc->image(), pw::kBasicPrivacyKeys)), 0xFFFF);
  }
};

QTEST_MAIN(VoiceEncryptionFormTest)
#include "voiceencryptionform_uitest.moc"
