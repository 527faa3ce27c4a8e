// The Digital Emergency System tab driven through its named widgets: the columns and
// drop-downs it configures, its commands and the remote settings below the list.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "codeplug/RecordList.h"
#include "digital/ui/EmergencySystemForm.h"
#include "digital/EmergencySystems.h"
#include "support/ui/TabHarness.h"

using namespace pwtest::ui;
using pw::EmergencyField;
using pw::ListId;
using pw::RemoteSetting;

namespace {
enum ModelColumn { No = 1, Name, AlarmType, AlarmMode, Revert, Impolite, Polite, HotMic };
}

class EmergencySystemFormTest : public QObject, TabHarness<TEmergencySystemForm> {
  Q_OBJECT

  QComboBox* combo = nullptr;
  QLabel* caption = nullptr;

  // Systems "Sys 1".."Sys n", digital channels "Ch 1".."Ch 3" and an analogue "Ana" as channel 4.
  void open(int systems, const std::function<void(pwtest::CodePlugBuilder&)>& more = {}) {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::EmergencySystems, systems, "Sys ").fill(ListId::Channels, 3, "Ch ").channel(3, "Ana", 1);
    if (more) more(b);
    openTab(systems >= 0 ? &b : nullptr, QSize(1138, 520));
    if (QTest::currentTestFailed()) return;
    combo = control<QComboBox>("listViewComboBox");
    caption = control<QLabel>("TitleLabel");
  }
  std::uint32_t field(int s, EmergencyField f) const { return pw::emergencySystemField(*doc, s, f); }
  QPushButton* button(const char* name) const { return control<QPushButton>(name); }
  // Opens the drop-down of a cell and picks the entry `steps` below the current one
  // (none: closes the list without a pick).
  void pick(int row, int column, int steps) {
    doubleClickCell(view, row, column);
    QVERIFY(combo->isVisible() && combo->view()->isVisible());
    for (int i = 0; i < steps; ++i) QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), steps > 0 ? Qt::Key_Return : Qt::Key_Escape);
    settle();
    QVERIFY(!combo->isVisible());
  }
  QStringList entries() const { return entriesOf(combo); }

 private slots:
  void cleanup() { closeTab(); }

  void withoutImageShowsPlaceholdersThatAreNeverWritten() {
    open(-1);
    QCOMPARE(caption->text(), QString("Emergency Systems .. up to 32. "));
    QCOMPARE(rowCount(), 0);
    QCOMPARE(control<QComboBox>("RemoteMonitorDurationComboBox")->currentText(), QString("10 secs"));
    QCOMPARE(control<QComboBox>("RemoteSyncWakeupComboBox")->currentText(), QString("150 ms"));
    QCOMPARE(control<QComboBox>("TxWakeupMessageLimitComboBox")->currentText(), QString("3"));
    auto* emergencyDecode = control<QToolButton>("EmergencyRemoteMonitorDecodeSpeedButton");
    QVERIFY(!control<QToolButton>("RadioDisableDecodeSpeedButton")->isChecked());
    QVERIFY(!control<QToolButton>("RemoteMonitorDecodeSpeedButton")->isChecked());
    QVERIFY(emergencyDecode->isChecked());
    QTest::mouseClick(emergencyDecode, Qt::LeftButton);
    QVERIFY(emergencyDecode->isChecked());
  }

  void listShowsEveryColumnAndSelectsTheFirstRow() {
    open(3, [](pwtest::CodePlugBuilder& b) {
      pw::MutableByteSpan r = b.record(ListId::EmergencySystems, 1);
      r[32] = 0x22;  // Silent, Emergency Alarm with Voice to Follow
      r[33] = 7;
      r[34] = 20;
      r[35] = 120;
      r[36] = 2;
    });
    const QStringList row1 = {"2",    "Sys 2", "Silent",   "Emergency Alarm with Voice to Follow",
                              "Ch 2", "7",     "infinite", "120 secs"};
    for (int c = No; c <= HotMic; ++c) QCOMPARE(cell(1, c), row1[c - No]);
    QCOMPARE(cell(0, Revert), QString("None"));
    QCOMPARE(cell(0, Polite), QString("5"));
    QCOMPARE(selectedRows(view), std::vector<int>{0});
    QCOMPARE(caption->text(), QString("Emergency Systems .. used 3 of 32. 1 selected. "));
  }

  void dropDownsOfferTheirEntriesAndWriteOnlyAPick() {
    open(2, [](pwtest::CodePlugBuilder& b) {
      b.record(ListId::EmergencySystems, 0)[34] = 20;
      pw::setU16le(b.record(ListId::EmergencySystems, 1), 36, 2000);
    });
    // A stored value no entry carries opens with none; the first Down picks "0".
    doubleClickCell(view, 0, Polite);
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(entries().last(), QString("Infinite"));
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    settle();
    QCOMPARE(field(0, EmergencyField::PoliteRetries), 20u);

    // Outside 1..1000 the revert channel shows "None" and keeps its value until a pick.
    doubleClickCell(view, 1, Revert);
    QCOMPARE(entries(), (QStringList{"None", "Ch 1", "Ch 2", "Ch 3"}));
    QCOMPARE(combo->currentText(), QString("None"));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    settle();
    QCOMPARE(field(1, EmergencyField::RevertChannel), 2000u);
    pick(1, Revert, 2);
    QCOMPARE(field(1, EmergencyField::RevertChannel), 2u);
    QCOMPARE(cell(1, Revert), QString("Ch 2"));

    pick(0, AlarmType, 2);  // Regular -> Silent with Voice
    QCOMPARE(field(0, EmergencyField::AlarmType), 3u);
    QCOMPARE(field(0, EmergencyField::AlarmMode), 0u);
    doubleClickCell(view, 0, AlarmMode);
    QCOMPARE(entries().size(), 3);
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    pick(0, HotMic, 1);
    QCOMPARE(cell(0, HotMic), QString("20 secs"));

    doubleClickCell(view, 0, Name);
    auto* edit = control<QLineEdit>("listViewEdit");
    QCOMPARE(edit->maxLength(), 16);
    QTest::keyClicks(edit, "Fire");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(cell(0, Name), QString("Fire"));

    // The cell shows the chosen entry until the next rebuild, also when its row moves.
    pick(0, Polite, 16);
    QCOMPARE(field(0, EmergencyField::PoliteRetries), 15u);
    QCOMPARE(cell(0, Polite), QString("Infinite"));
    select({0});
    QTest::mouseClick(button("MoveDownBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(cell(1, Polite), QString("Infinite"));
    QCOMPARE(cell(0, Polite), QString("5"));
    form->refresh(true, 0);
    QCOMPARE(cell(1, Polite), QString("infinite"));
  }

  void addDeleteAndMoveFollowTheListAndItsChannels() {
    open(3, [](pwtest::CodePlugBuilder& b) {
      b.record(ListId::Channels, 0)[10] = 2;  // digital: refuses
      b.record(ListId::Channels, 3)[10] = 3;  // analogue
    });
    QTest::mouseClick(button("AddBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(cell(3, Name), QString("System 4"));
    QCOMPARE(selectedRows(view), std::vector<int>{3});

    select({1, 2});
    prompt.refusals = {pw::RefusalAnswer::GoOn};
    QTest::mouseClick(button("DeleteBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(prompt.texts("refuse"),
             std::vector<std::string>{
                 "Cannot delete emergency system \"Sys 2\".\n\nIt's used in channel \"Ch 1\" setting"});
    QCOMPARE(rowCount(), 3);
    QCOMPARE(cell(2, Name), QString("System 4"));
    QCOMPARE(int(pw::recordBytes(*doc, ListId::Channels, 3)[10]), 0);  // its system is gone

    select({2});
    QTest::mouseClick(button("MoveUpBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(cell(1, Name), QString("System 4"));
    QCOMPARE(int(pw::recordBytes(*doc, ListId::Channels, 0)[10]), 3);  // still on "Sys 2"
    QCOMPARE(selectedRows(view), std::vector<int>{1});
  }

  void remoteSettingsStoreTheirCodesAndLeaveTheRestOfTheHeader() {
    open(1, [](pwtest::CodePlugBuilder& b) {
      for (int i = 0; i < 16; ++i) b.u8(pw::kEmergencySection + i, std::uint8_t(0xF0 | i));
    });
    std::vector<std::uint8_t> expected = doc->workingImage;
    auto* wakeup = control<QComboBox>("RemoteSyncWakeupComboBox");
    auto* limit = control<QComboBox>("TxWakeupMessageLimitComboBox");
    auto* disable = control<QToolButton>("RadioDisableDecodeSpeedButton");
    auto* monitor = control<QToolButton>("RemoteMonitorDecodeSpeedButton");
    QCOMPARE(wakeup->currentIndex(), -1);  // 0xF2 is no entry's code
    QVERIFY(!disable->isChecked() && !monitor->isChecked());

    // Only the user's pick writes: setting the entry from code stores nothing.
    wakeup->setCurrentIndex(4);
    QCOMPARE(doc->workingImage, expected);
    QTest::keyClick(wakeup, Qt::Key_Down);
    QCOMPARE(wakeup->currentText(), QString("250 ms"));
    limit->setCurrentIndex(1);
    QTest::keyClick(limit, Qt::Key_Down);
    QTest::mouseClick(disable, Qt::LeftButton);
    QTest::mouseClick(monitor, Qt::LeftButton);
    QTest::mouseClick(monitor, Qt::LeftButton);
    QTest::mouseClick(monitor, Qt::LeftButton);

    const std::size_t header = pw::fileOffset(pw::kEmergencySection);
    expected[header] = 0xF3;
    expected[header + 2] = 10;
    expected[header + 3] = 3;
    QCOMPARE(doc->workingImage, expected);
    form->refresh(true, 0);
    QCOMPARE(limit->currentText(), QString("3"));
    QCOMPARE(control<QComboBox>("RemoteMonitorDurationComboBox")->currentIndex(), -1);
    QVERIFY(disable->isChecked() && monitor->isChecked());
    QVERIFY(!control<QToolButton>("EmergencyRemoteMonitorDecodeSpeedButton")->isChecked());
  }
};

QTEST_MAIN(EmergencySystemFormTest)
#include "emergencysystemform_uitest.moc"
