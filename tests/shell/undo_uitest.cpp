// Undo and redo in the real window: edits made through the tabs' controls come back
// with Ctrl+Z / Ctrl+Y and the buttons, one step per action, and the file commands
// answer to their standard keys.

// The model headers come first: a member named `slots` would clash with Qt's keyword macro.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>

#include "channels/ChannelRecord.h"
#include "channels/ui/ChannelsForm.h"
#include "codeplug/Encodings.h"
#include "codeplug/RecordList.h"
#include "membership/MemberList.h"
#include "settings/GeneralSettings.h"
#include "shell/WindowFixture.h"
#include "widgets/ListEditor.h"
#include "widgets/TabForm.h"

using namespace pwtest::ui;
using pw::ChannelField;
using pw::ListId;

namespace {
constexpr int kGeneralTab = 1, kZonesTab = 9, kChannelsTab = 11;
}

class UndoTest : public WindowFixture {
  Q_OBJECT

  // 30 channels, two zones, the Channels tab shown.
  void start() {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::Channels, 30, "Ch ").fill(ListId::Zones, 2, "Z ").members(ListId::Zones, 0, {1, 2});
    WindowFixture::start(&b, "[Misc]\nTab=11\n");
    QCOMPARE(form->findChild<QTabWidget*>("PageControl")->currentIndex(), kChannelsTab);
  }
  QTableView* channelList() const { return form->tabForm(kChannelsTab)->findChild<QTableView*>("ListView"); }
  void key(int k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(), Qt::Key(k), m);
    settle();
  }
  void showTab(int index) {
    control<QTabWidget>("PageControl")->setCurrentIndex(index);
    settle();
  }
  std::string name(int index) const { return pw::recordName(form->document(), ListId::Channels, index); }

 private slots:
  void cleanup() { form.reset(); }

  void listEditsAreUndoneAndRedoneByKeysAndButtons() {
    start();
    pw::CodePlugDocument& doc = form->document();
    auto* undo = control<QPushButton>("UndoBitBtn");
    auto* redo = control<QPushButton>("RedoBitBtn");
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    const auto loaded = doc.workingImage;

    // A rename through the overlay edit box.
    QTableView* list = channelList();
    doubleClickCell(list, 2, 2);
    auto* edit = form->tabForm(kChannelsTab)->findChild<QLineEdit*>("listViewEdit");
    QVERIFY(edit && edit->isVisible());
    edit->selectAll();
    QTest::keyClicks(edit, "Home");
    QTest::keyClick(edit, Qt::Key_Return);
    settle();
    QCOMPARE(name(2), std::string("Home"));
    QVERIFY(undo->isEnabled());
    QVERIFY(undo->toolTip().startsWith("Undo: change "));

    // Three channels deleted, the middle one refused and passed over: one step.
    dragOverRows(list, {4, 5, 6});
    pw::setChannelField(doc, 5, ChannelField::Mode, 2);
    doc.bytes(pw::kZones + 32, 2)[0] = 6;  // zone 1 holds channel 6
    doc.settleEdits("prepare");
    prompt.refusals = {pw::RefusalAnswer::GoOn};
    QTest::mouseClick(form->tabForm(kChannelsTab)->findChild<QPushButton*>("DeleteBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(pw::usedCount(doc, ListId::Channels), 28);
    QCOMPARE(undo->toolTip(), QString("Undo: delete 3 channels"));
    const auto afterDelete = doc.workingImage;

    list->setFocus();
    key(Qt::Key_Z);
    QCOMPARE(pw::usedCount(doc, ListId::Channels), 30);
    QCOMPARE(list->model()->rowCount(), 30);
    QVERIFY(redo->isEnabled());
    QCOMPARE(redo->toolTip(), QString("Redo: delete 3 channels"));
    key(Qt::Key_Y);
    QVERIFY(doc.workingImage == afterDelete);
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // nothing left to redo
    QVERIFY(doc.workingImage == afterDelete);

    // Back to the loaded state by the buttons: nothing is unsaved any more.
    while (undo->isEnabled()) QTest::mouseClick(undo, Qt::LeftButton);
    QVERIFY(doc.workingImage == loaded);
    QVERIFY(!doc.isModified());
    QCOMPARE(name(2), std::string("Ch 3"));
    QTest::mouseClick(redo, Qt::LeftButton);
    QCOMPARE(name(2), std::string("Home"));
  }

  void detailControlsAndTypingAreOneStepEach() {
    start();
    pw::CodePlugDocument& doc = form->document();
    dragOverRows(channelList(), {0, 1});
    auto* timeout = form->tabForm(kChannelsTab)->findChild<QComboBox*>("TxTimeoutComboBox");
    timeout->setCurrentIndex(0);
    settle();
    QCOMPARE(pw::channelField(doc, 1, ChannelField::TxTimeout), 0u);

    auto* rx = form->tabForm(kChannelsTab)->findChild<QLineEdit*>("RxFrequencyEdit");
    rx->setFocus();
    rx->clear();
    QTest::keyClicks(rx, "438.5");
    settle();
    QCOMPARE(pw::frequencyText(pw::channelField(doc, 0, ChannelField::RxFrequency)),
             std::string("438.50000"));
    channelList()->setFocus();
    key(Qt::Key_Z);  // all of the typing at once
    QCOMPARE(pw::channelField(doc, 1, ChannelField::TxTimeout), 0u);
    QCOMPARE(pw::frequencyText(pw::channelField(doc, 0, ChannelField::RxFrequency)),
             std::string("430.00000"));
    key(Qt::Key_Z);
    QCOMPARE(pw::channelField(doc, 1, ChannelField::TxTimeout), 4u);
    QVERIFY(!doc.isModified());
    // The edited channels stay selected, so the details show what the undo restored.
    QCOMPARE(channelList()->selectionModel()->selectedRows().size(), 2);
  }

  void settingsTabEditsAreOneStepEach() {
    start();
    pw::CodePlugDocument& doc = form->document();
    showTab(kGeneralTab);
    QWidget* general = form->tabForm(kGeneralTab);
    auto* backlight = general->findChild<QComboBox*>("BacklightTimeComboBox");
    auto* leds = general->findChild<QAbstractButton*>("DisableAllLEDsSpeedButton");
    auto* password = general->findChild<QLineEdit*>("PowerOnPasswordEdit");
    const std::uint32_t backlightBefore = pw::generalField(doc, pw::GeneralField::BacklightTime);

    backlight->setFocus();
    key(Qt::Key_Down, Qt::NoModifier);
    QVERIFY(pw::generalField(doc, pw::GeneralField::BacklightTime) != backlightBefore);
    QTest::mouseClick(leds, Qt::LeftButton);
    settle();
    password->setFocus();
    QTest::keyClicks(password, "12345678");
    settle();
    QCOMPARE(pw::powerOnPasswordText(doc), std::string("12345678"));

    leds->setFocus();
    key(Qt::Key_Z);  // the whole password at once, and the box shows it gone
    QCOMPARE(pw::powerOnPasswordText(doc), std::string());
    QCOMPARE(password->text(), QString());
    QVERIFY(leds->isChecked());
    key(Qt::Key_Z);
    QVERIFY(!leds->isChecked());
    QTest::mouseClick(control<QPushButton>("UndoBitBtn"), Qt::LeftButton);
    QCOMPARE(pw::generalField(doc, pw::GeneralField::BacklightTime), backlightBefore);
    QCOMPARE(backlight->currentIndex(), backlight->findData(backlightBefore));
    QVERIFY(!doc.isModified());

    leds->setFocus();
    key(Qt::Key_Y);
    key(Qt::Key_Y);
    QTest::mouseClick(control<QPushButton>("RedoBitBtn"), Qt::LeftButton);
    QCOMPARE(pw::powerOnPasswordText(doc), std::string("12345678"));
    QCOMPARE(password->text(), QString("12345678"));
    QVERIFY(leds->isChecked());
  }

  // Members added through the two-list editor; after undoing back to the loaded state
  // closing asks nothing.
  void memberEditsAreStepsAndUndoingAllLeavesNothingUnsaved() {
    start();
    pw::CodePlugDocument& doc = form->document();
    showTab(kZonesTab);
    QWidget* zones = form->tabForm(kZonesTab);
    clickCell(zones->findChild<QTableView*>("ListView"), 0, 1);
    settle();
    auto* members = zones->findChild<QTableView*>("MemberListView");
    QCOMPARE(members->model()->rowCount(), 2);
    dragOverRows(zones->findChild<QTableView*>("AvailableListView"), {0, 1, 2});
    settle();
    QTest::mouseClick(zones->findChild<QPushButton*>("AddMemberBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(pw::memberRows(doc, ListId::Zones, 0).size(), std::size_t(5));

    members->setFocus();
    key(Qt::Key_Z);
    QCOMPARE(pw::memberRows(doc, ListId::Zones, 0).size(), std::size_t(2));
    QCOMPARE(members->model()->rowCount(), 2);
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(members->model()->rowCount(), 5);
    QTest::mouseClick(control<QPushButton>("UndoBitBtn"), Qt::LeftButton);
    QCOMPARE(members->model()->rowCount(), 2);

    QVERIFY(form->close());
    QVERIFY(prompt.shown.empty());
  }

  void anImportThroughItsDialogIsOneStepAndItsNewZonesShow() {
    start();
    pw::CodePlugDocument& doc = form->document();
    showTab(kZonesTab);
    QCOMPARE(form->tabForm(kZonesTab)->findChild<QTableView*>("ListView")->model()->rowCount(), 2);
    showTab(kChannelsTab);
    const QString csv = path("more.csv");
    const std::string text = "name,rx_frequency,zones\nA,433.1,New\n";
    pwtest::writeFile(csv.toStdString(), std::vector<std::uint8_t>(text.begin(), text.end()));
    static_cast<TChannelsForm*>(form->tabForm(kChannelsTab))->setFileDialog([&](bool) { return csv; });
    whenModal([](QWidget* dialog) { dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); });
    QTest::mouseClick(form->tabForm(kChannelsTab)->findChild<QPushButton*>("ImportBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(pw::usedCount(doc, ListId::Channels), 31);
    QCOMPARE(control<QPushButton>("UndoBitBtn")->toolTip(), QString("Undo: import 1 channel"));
    showTab(kZonesTab);
    QCOMPARE(form->tabForm(kZonesTab)->findChild<QTableView*>("ListView")->model()->rowCount(), 3);
    QTest::mouseClick(control<QPushButton>("UndoBitBtn"), Qt::LeftButton);
    QCOMPARE(pw::usedCount(doc, ListId::Channels), 30);
    QCOMPARE(pw::usedCount(doc, ListId::Zones), 2);
  }

  // A name still open in its box when the next action comes is a step of its own.
  void aNameStillOpenIsItsOwnStepBeforeTheNextAction() {
    start();
    pw::CodePlugDocument& doc = form->document();
    const auto loaded = doc.workingImage;
    auto* undo = control<QPushButton>("UndoBitBtn");
    clickCell(channelList(), 1, 2);
    key(Qt::Key_Insert, Qt::NoModifier);  // its name opens for editing
    QTest::keyClicks(QApplication::focusWidget(), "Typed");
    key(Qt::Key_Insert, Qt::NoModifier);
    QCOMPARE(undo->toolTip(), QString("Undo: insert channel"));
    QTest::mouseClick(undo, Qt::LeftButton);
    QCOMPARE(name(1), std::string("Typed"));
    for (int i = 0; i < 2; ++i) QTest::mouseClick(undo, Qt::LeftButton);
    QVERIFY(doc.workingImage == loaded);
  }

  // The restored image shows where the user was: the same rows selected and focused,
  // the grid scrolled as it was.
  void undoKeepsTheSelectionAndTheScrollPosition() {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::Channels, 300, "Ch ");
    WindowFixture::start(&b, "[Misc]\nTab=11\n");
    pw::CodePlugDocument& doc = form->document();
    ListEditor* list = static_cast<TChannelsForm*>(form->tabForm(kChannelsTab))->listEditor();
    list->selectRows({200, 201}, 201);
    list->view()->verticalScrollBar()->setValue(190);
    pw::renameRecord(doc, ListId::Channels, 200, "Renamed");
    doc.settleEdits("rename");
    form->UndoBitBtnClick();
    QCOMPARE(name(200), std::string("Ch 201"));
    QCOMPARE(list->selectedRows(), (std::vector<int>{200, 201}));
    QCOMPARE(list->view()->currentIndex().row(), 201);
    QCOMPARE(list->view()->verticalScrollBar()->value(), 190);
  }

  void reloadClearsTheHistoryAndShortcutsRunTheCommands() {
    start();
    pw::CodePlugDocument& doc = form->document();
    pw::renameRecord(doc, ListId::Channels, 0, "Changed");  // settled by the next key
    channelList()->setFocus();
    key(Qt::Key_S);  // Ctrl+S saves
    QVERIFY(!doc.isModified());
    QCOMPARE(pwtest::readFile(path("plug.rdt").toStdString()), doc.workingImage);
    QVERIFY(control<QPushButton>("UndoBitBtn")->isEnabled());  // saving keeps the history

    key(Qt::Key_F5, Qt::NoModifier);  // Reload
    QVERIFY(!control<QPushButton>("UndoBitBtn")->isEnabled());
    QVERIFY(control<QPushButton>("SaveBitBtn")->toolTip().contains("Ctrl+S"));

    key(Qt::Key_O);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(dialogs, (QStringList{"open " + dir->path(), "save " + dir->path()}));
    pw::renameRecord(doc, ListId::Channels, 0, "Again");
    key(Qt::Key_Q);  // asks as closing does; the scripted Cancel keeps the window
    QCOMPARE(prompt.texts("question"), std::vector<std::string>{"Unsaved code plug.\n\nSave before exit ?"});
    QVERIFY(form->isVisible());
  }
};

QTEST_MAIN(UndoTest)
#include "undo_uitest.moc"
