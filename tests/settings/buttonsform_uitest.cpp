// The Buttons tab through its named controls: the side-button drop-downs, the
// one-touch grid (a mode left as it was writes nothing; message and encode choices
// store their own numbers) and the number-key grid.

#include <QComboBox>
#include <QTest>

#include "settings/Buttons.h"
#include "settings/ui/ButtonsForm.h"
#include "signalling/Dtmf.h"
#include "support/ui/TabHarness.h"

using namespace pwtest::ui;

class ButtonsFormTest : public QObject, TabHarness<TButtonsForm> {
  Q_OBJECT

  enum { ModeColumn = 2, ContactColumn, CallTypeColumn, MessageColumn };
  QTableView* keys = nullptr;

  static std::size_t entry(int k) { return pw::kOneTouchAccess + std::size_t(k) * pw::kOneTouchSize; }
  QByteArray entryBytes(int k) const {
    return QByteArray(reinterpret_cast<const char*>(doc->image().data() + entry(k)), pw::kOneTouchSize);
  }

  void openSample() {
    pwtest::CodePlugBuilder b;
    b.fill(pw::ListId::Contacts, 60, "C").oneTouch(0, 1, 0, 1, 57).oneTouch(1, 2, 0, 1, 0).numberKey(0, 2);
    b.u8(pw::kSideButtons, 21).u8(pw::kSideButtons + 15, 3);
    openTab(&b, QSize(1000, 550), [](pw::CodePlugDocument& doc, TButtonsForm&) {
      pw::setEncodeDigits(doc, 0, "123");
      pw::setEncodeDigits(doc, 2, "*9");
    }, "OneTouchListView");
    keys = control<QTableView>("NumberKeyListView");
  }

 private slots:
  void cleanup() { closeTab(); }

  void sideButtonsSelectByCodeAndWriteOnlyWhatTheUserPicks() {
    openSample();
    auto* upper = control<QComboBox>("UpperSideShortPressComboBox");
    QCOMPARE(upper->count(), 22);
    QCOMPARE(upper->currentText(), QString("Tight/Normal Squelch"));
    QCOMPARE(upper->toolTip(), QString("Upper side button function"));
    auto* duration = control<QComboBox>("LongPressDurationComboBox");
    QCOMPARE(duration->currentIndex(), -1);  // 3 is not offered
    form->refresh(false, 0);
    QCOMPARE(pw::u8(doc->image(), pw::kSideButtons + 15), 3u);
    duration->setFocus();
    QTest::keyClick(duration, Qt::Key_End);
    QCOMPARE(duration->currentText(), QString("3750 ms"));
    QCOMPARE(pw::u8(doc->image(), pw::kSideButtons + 15), 15u);
  }

  void choosingAnotherModeResetsTheEntry() {
    openSample();
    QCOMPARE(cell(0, ContactColumn), QString("C57"));
    openChoices(view, 0, ModeColumn);
    QCOMPARE(openChoice(), QString("Digital"));
    dismissChoices();

    choose(view, 0, ModeColumn, "Analogue");
    QCOMPARE(entryBytes(0), QByteArray::fromHex("28010000"));
    QCOMPARE(cell(0, CallTypeColumn) + "|" + cell(0, MessageColumn), QString("DTMF-1|123"));
    QCOMPARE(openChoices(view, 0, ContactColumn), QStringList());  // only Digital calls a contact
    choose(view, 0, ModeColumn, "Digital");
    QCOMPARE(entryBytes(0), QByteArray::fromHex("10010100"));
    QCOMPARE(cell(0, ContactColumn) + "|" + cell(0, CallTypeColumn), QString("C1|Call"));
    QCOMPARE(openChoices(view, 0, MessageColumn), QStringList());   // a call sends no message
    QCOMPARE(openChoices(view, 5, CallTypeColumn), QStringList());  // mode None
  }

  void encodeChoicesSkipEmptyStringsAndStoreTheirOwnNumbers() {
    openSample();
    QCOMPARE(openChoices(view, 1, MessageColumn), (QStringList{"123", "*9"}));
    dismissChoices();
    choose(view, 1, MessageColumn, "*9");
    QCOMPARE(pw::u8(doc->image(), entry(1) + 1), 3u);
    QCOMPARE(cell(1, MessageColumn), QString("*9"));
    choose(view, 1, CallTypeColumn, "DTMF-4");
    QCOMPARE(pw::u8(doc->image(), entry(1)), 0x2Bu);
  }

  void numberKeysChooseAContactOrNone() {
    openSample();
    QCOMPARE(keys->model()->rowCount(), 10);
    QCOMPARE(keys->model()->index(0, 1).data().toString(), QString("Key 0"));
    QCOMPARE(keys->model()->index(0, 2).data().toString(), QString("C2"));
    const QStringList choices = openChoices(keys, 9, 1);  // any cell of the row opens the contact
    QCOMPARE(choices.size(), 61);
    QCOMPARE(openChoice(), QString("None"));
    dismissChoices();
    choose(keys, 0, 1, "None");
    QCOMPARE(pw::u16le(doc->image(), pw::kNumberKeyContacts), 0u);
    choose(keys, 4, 2, "C60");
    QCOMPARE(pw::u16le(doc->image(), pw::kNumberKeyContacts + 8), 60u);
  }
};

QTEST_MAIN(ButtonsFormTest)
#include "buttonsform_uitest.moc"
