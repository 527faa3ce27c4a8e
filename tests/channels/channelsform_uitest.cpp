// The Channels tab driven through its named widgets: what a selection of channels
// shows, what each control writes to every selected channel, and the list commands.

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "widgets/SearchEdit.h"
#include "channels/ChannelChoices.h"
#include "channels/ChannelRecord.h"
#include "channels/ui/ChannelsForm.h"
#include "channels/ui/ChannelImportDialog.h"
#include "codeplug/Encodings.h"
#include "exchange/ChannelCsv.h"
#include "membership/MemberList.h"
#include "support/ui/TabHarness.h"

using namespace pwtest::ui;
using pw::ChannelField;
using pw::ListId;

class ChannelsFormTest : public QObject, TabHarness<TChannelsForm> {
  Q_OBJECT

  QLabel* title = nullptr;

  // Loads the builder's code plug (none: no code plug), lets `prepare` change the
  // document through the model, then shows the tab as the main window does.
  void open(pwtest::CodePlugBuilder* builder,
            const std::function<void(pw::CodePlugDocument&)>& prepare = {}) {
    openTab(builder, QSize(1138, 520), [&](pw::CodePlugDocument& d, TChannelsForm&) {
      if (prepare) prepare(d);
    });
    if (QTest::currentTestFailed()) return;
    title = control<QLabel>("TitleLabel");
  }
  void openWithChannels(int count, const std::function<void(pw::CodePlugDocument&)>& prepare = {}) {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::Channels, count, "Ch ");
    open(&b, prepare);
  }

  QToolButton* button(const char* name) const { return control<QToolButton>(name); }
  QComboBox* combo(const char* name) const { return control<QComboBox>(name); }
  QLineEdit* edit(const char* name) const { return control<QLineEdit>(name); }
  QPushButton* command(const char* name) const { return control<QPushButton>(name); }
  std::uint32_t field(int slot, ChannelField f) const { return pw::channelField(*doc, slot, f); }
  std::string frequency(int slot, ChannelField f) const { return pw::frequencyText(field(slot, f)); }
  QString nameCell(int row) const { return cell(row, 2); }

  // What the import dialog showed before `answer` closed it.
  struct Shown {
    QString summary, report;
    bool updateOffered = false;
  };
  // Clicks Import; once the dialog is up, reads it, lets `act` work it and answers OK or Cancel.
  Shown importWith(bool ok, const std::function<void(ChannelImportDialog*)>& act = {}) {
    Shown shown;
    whenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<ChannelImportDialog*>(modal);
      if (!dialog) return modal->close(), void();
      shown.updateOffered = dialog->findChild<QCheckBox*>("UpdateCheckBox")->isVisibleTo(dialog);
      if (act) act(dialog);
      shown.summary = dialog->findChild<QLabel*>("SummaryLabel")->text();
      shown.report = dialog->findChild<QPlainTextEdit*>("ReportText")->toPlainText();
      dialog->findChild<QDialogButtonBox*>()->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    QTest::mouseClick(command("ImportBitBtn"), Qt::LeftButton);
    settle();
    return shown;
  }

 private slots:
  void cleanup() { closeTab(); }

  void withoutCodePlugEverythingIsOff() {
    open(nullptr);
    QCOMPARE(title->text(), QString("Channels .. up to 1000 "));
    QCOMPARE(rowCount(), 0);
    for (auto* b : form->findChildren<QAbstractButton*>())
      QVERIFY2(!b->isEnabled() && !b->isChecked(), qPrintable(b->objectName()));
    for (auto* c : form->findChildren<QComboBox*>())
      if (c->objectName() != "listViewComboBox") QCOMPARE(c->currentIndex(), -1);
    QVERIFY(edit("RxFrequencyEdit")->text().isEmpty());
    QVERIFY(!edit("RxFrequencyEdit")->isEnabled());
  }

  void listAndFixedTexts() {
    openWithChannels(3);
    QVERIFY(view->horizontalHeader()->isHidden());
    QVERIFY(!view->showGrid());
    QCOMPARE(cell(2, 1), QString("3"));
    QCOMPARE(nameCell(2), QString("Ch 3"));
    // A rebuild selects the first row.
    QCOMPARE(selectedRows(view), std::vector<int>{0});
    QCOMPARE(title->text(), QString("Channels .. used 3 of 1000. 1 selected. "));
    QVERIFY(command("ImportBitBtn")->isEnabled());
    QVERIFY(command("ExportBitBtn")->isEnabled());
    QCOMPARE(menuEntries(true),
             QStringList({"Copy", "Insert", "Sort by Name", "Sort by Rx Frequency", "Cancel"}));
    // The drop-downs are filled from the choice lists.
    QCOMPARE(combo("TxTimeoutComboBox")->count(), 38);
    QCOMPARE(combo("CTCSS_DCS_DecodeComboBox")->count(), 259);
  }

  void mixedSelectionShowsOnlyWhatIsShared() {
    pwtest::CodePlugBuilder b;
    b.channel(0, "Analogue", 1).channel(1, "Digital", 2).channel(2, "Other", 2);
    b.contact(0, "Base", 100).contact(1, "Mobile", 200).channelContact(0, 2).channelContact(1, 2);
    b.named(ListId::ScanLists, 0, "Scan A");
    open(&b, [](pw::CodePlugDocument& d) {
      pw::setChannelFrequency(d, 1, ChannelField::RxFrequency, "438.5");
      pw::setChannelField(d, 0, ChannelField::DisplayPttId, 0);  // on for the analogue one only
      pw::setChannelPrivacy(d, 0, 103);                          // Basic 4: type 1, index 3
      pw::setChannelPrivacy(d, 1, 203);                          // Enhanced 4: type 2, index 3
    });
    select({0, 1});
    QCOMPARE(title->text(), QString("Channels .. used 3 of 1000. 2 selected. "));
    for (const char* mode : {"ModeAutoSpeedButton", "ModeAnalogueSpeedButton", "ModeDigitalSpeedButton"})
      QVERIFY2(!button(mode)->isChecked(), mode);
    QVERIFY(button("SquelchNormalSpeedButton")->isChecked());  // shared
    QVERIFY(!button("SquelchTightSpeedButton")->isChecked());
    QVERIFY(edit("RxFrequencyEdit")->text().isEmpty());  // differs
    QCOMPARE(edit("TxFrequencyEdit")->text(), QString("430.00000"));
    QVERIFY(button("DisplayPTTIDSpeedButton")->isChecked());  // down unless all are off
    QCOMPARE(combo("ContactNameComboBox")->currentText(), QString("Mobile"));
    QCOMPARE(combo("ContactNameComboBox")->count(), 3);
    QCOMPARE(combo("ScanListComboBox")->itemText(1), QString("Scan A"));
    QCOMPARE(combo("VoiceEncryptionComboBox")->currentIndex(), -1);  // types and keys differ
    QVERIFY(button("Bandwidth_25kHz_SpeedButton")->isEnabled());
    QVERIFY(!button("Bandwidth_20kHz_SpeedButton")->isEnabled());
    QVERIFY(!button("ModeAutoSpeedButton")->isEnabled());

    // Differing types with every key index 0 share "None "; a refresh re-reads the contacts.
    pw::setChannelPrivacy(*doc, 0, 100);
    pw::setChannelPrivacy(*doc, 1, 200);
    pw::renameRecord(*doc, ListId::Contacts, 1, "Car");
    form->refresh(false, 0);
    QCOMPARE(combo("VoiceEncryptionComboBox")->currentText(), QString("None "));
    QCOMPARE(combo("ContactNameComboBox")->currentText(), QString("Car"));
    QCOMPARE(selectedRows(view), (std::vector<int>{0, 1}));

    // "Digital" on the mixed selection makes both digital at 12.5 kHz.
    pw::setChannelField(*doc, 0, ChannelField::Bandwidth, 2);
    QTest::mouseClick(button("ModeDigitalSpeedButton"), Qt::LeftButton);
    QCOMPARE(field(0, ChannelField::Mode), 2u);
    QCOMPARE(field(1, ChannelField::Mode), 2u);
    QCOMPARE(field(0, ChannelField::Bandwidth), 0u);
    QVERIFY(button("ModeDigitalSpeedButton")->isChecked());
    QVERIFY(button("Bandwidth_12_5kHz_SpeedButton")->isChecked());
    QVERIFY(button("Bandwidth_12_5kHz_SpeedButton")->isEnabled());
    QVERIFY(!button("Bandwidth_25kHz_SpeedButton")->isEnabled());
    QCOMPARE(field(2, ChannelField::Mode), 2u);  // not selected: untouched
    // Clicking the button that is down leaves it down.
    QTest::mouseClick(button("ModeDigitalSpeedButton"), Qt::LeftButton);
    QVERIFY(button("ModeDigitalSpeedButton")->isChecked());
  }

  void wideBandwidthOnlyForAnalogue() {
    pwtest::CodePlugBuilder b;
    b.channel(0, "Digital", 2).channel(1, "Analogue", 1);
    open(&b);
    select({0});
    QVERIFY(!button("Bandwidth_25kHz_SpeedButton")->isEnabled());
    select({1});
    QVERIFY(button("Bandwidth_25kHz_SpeedButton")->isEnabled());
    QTest::mouseClick(button("Bandwidth_25kHz_SpeedButton"), Qt::LeftButton);
    QCOMPARE(field(1, ChannelField::Bandwidth), 2u);
    QVERIFY(!button("Bandwidth_12_5kHz_SpeedButton")->isChecked());
    // "Analogue" keeps 12.5 and 25 kHz on offer.
    QTest::mouseClick(button("ModeAnalogueSpeedButton"), Qt::LeftButton);
    QVERIFY(button("Bandwidth_25kHz_SpeedButton")->isEnabled());
    QVERIFY(button("Bandwidth_12_5kHz_SpeedButton")->isEnabled());
  }

  void toggleWritesEverySelectedChannel() {
    openWithChannels(4, [](pw::CodePlugDocument& d) {
      pw::setChannelField(d, 0, ChannelField::Vox, 1);
      pw::setChannelField(d, 2, ChannelField::Vox, 1);
    });
    select({0, 1, 2});
    QVERIFY(!button("VOXSpeedButton")->isChecked());
    QTest::mouseClick(button("VOXSpeedButton"), Qt::LeftButton);
    QVERIFY(button("VOXSpeedButton")->isChecked());
    for (int s : {0, 1, 2}) QCOMPARE(field(s, ChannelField::Vox), 1u);
    QCOMPARE(field(3, ChannelField::Vox), 0u);
    // Inverted storage: "Tx GPS Info" down stores 0.
    QTest::mouseClick(button("TxGPSInfoSpeedButton"), Qt::LeftButton);
    for (int s : {0, 1, 2}) QCOMPARE(field(s, ChannelField::TxGpsInfo), 0u);
    QTest::mouseClick(button("Decode3SpeedButton"), Qt::LeftButton);
    QCOMPARE(field(1, ChannelField::DtmfDecode3), 1u);
  }

  void dropDownsWriteTheirCodes() {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::Channels, 3, "Ch ").contact(0, "Base", 100).contact(1, "Mobile", 200);
    open(&b);
    select({0, 2});
    combo("ContactNameComboBox")->setCurrentIndex(2);
    combo("VoiceEncryptionComboBox")->setCurrentIndex(18);  // "Enhanced 2 "
    combo("TxTimeoutComboBox")->setCurrentIndex(0);         // "Infinite "
    combo("CTCSS_DCS_EncodeComboBox")->setCurrentIndex(2);  // 69.3 Hz
    for (int s : {0, 2}) {
      QCOMPARE(field(s, ChannelField::Contact), 2u);
      QCOMPARE(field(s, ChannelField::PrivacyType), 2u);
      QCOMPARE(field(s, ChannelField::PrivacyIndex), 1u);
      QCOMPARE(field(s, ChannelField::TxTimeout), 0u);
      QCOMPARE(field(s, ChannelField::TxTone), 0x0693u);
    }
    QCOMPARE(field(1, ChannelField::Contact), 0u);
    QCOMPARE(field(1, ChannelField::TxTimeout), 4u);
    // Repeater slot is coded 1 and 2.
    QTest::mouseClick(button("RepeaterSlot2SpeedButton"), Qt::LeftButton);
    QCOMPARE(field(0, ChannelField::RepeaterSlot), 2u);
  }

  void typedFrequencyIsStoredAtEveryKeystroke() {
    openWithChannels(3);
    select({0, 1});
    QLineEdit* rx = edit("RxFrequencyEdit");
    QCOMPARE(rx->maxLength(), 9);
    rx->setFocus();
    rx->clear();
    const char* expected[] = {"400.00000", "400.00000", "438.00000", "438.50000"};
    const char* typed = "4385";
    for (int i = 0; i < 4; ++i) {
      QTest::keyClick(rx, typed[i]);
      QCOMPARE(frequency(0, ChannelField::RxFrequency), std::string(expected[i]));
      QCOMPARE(frequency(1, ChannelField::RxFrequency), std::string(expected[i]));
    }
    QTest::keyClicks(rx, "x-");  // discarded
    QCOMPARE(rx->text(), QString("4385"));
    QCOMPARE(frequency(2, ChannelField::RxFrequency), std::string("430.00000"));
    QTest::keyClick(rx, Qt::Key_Escape);
    QCOMPARE(rx->text(), QString("4385"));
    QTest::keyClick(rx, Qt::Key_Return);
    QCOMPARE(rx->text(), QString("438.50000"));

    // A refused key leaves a selected frequency; Enter over a box that already shows the
    // stored frequency writes nothing, though its word holds a nibble that text cannot give.
    pw::CodePlugDocument& d = *doc;
    d.image()[pw::kChannels + 16 + 2] = 0xA5;  // channel 1 receives at 43:.50000
    select({0});
    const auto before = d.workingImage;
    rx->selectAll();
    QTest::keyClick(rx, Qt::Key_X);
    QCOMPARE(rx->selectedText(), QString("43:.50000"));
    QTest::keyClick(rx, Qt::Key_Return);
    QVERIFY(d.workingImage == before);

    // Enter in an empty box (frequencies differ) writes the first channel's to all.
    pw::setChannelFrequency(*doc, 2, ChannelField::RxFrequency, "445");
    select({1, 2});
    QVERIFY(rx->text().isEmpty());
    QTest::keyClick(rx, Qt::Key_Enter);
    QCOMPARE(rx->text(), QString("438.50000"));
    QCOMPARE(frequency(2, ChannelField::RxFrequency), std::string("438.50000"));
  }

  // Text that is dropped or pasted obeys the same rules as typed text, and scrolling
  // over a drop-down that is not being edited leaves every channel as it was.
  void droppedPastedAndWheeledInputChangesOnlyWhatItMay() {
    openWithChannels(4);
    select({0, 1, 2, 3});
    QLineEdit* rx = edit("RxFrequencyEdit");
    rx->setFocus();
    rx->clear();
    dropText(rx, "4x3y8");
    QCOMPARE(rx->text(), QString("438"));
    QCOMPARE(frequency(3, ChannelField::RxFrequency), std::string("438.00000"));
    pasteText(rx, ",5 MHz");
    QCOMPARE(rx->text(), QString("438,5"));
    QCOMPARE(frequency(0, ChannelField::RxFrequency), std::string("438.50000"));

    QLineEdit* editor = edit("listViewEdit");
    doubleClickCell(view, 1, 1);
    dropText(editor, QString::fromUtf8("Caf\u00e9\x01X"));
    QCOMPARE(editor->text(), QString("Ch 2CafX"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(pw::recordName(*doc, ListId::Channels, 1), std::string("Ch 2CafX"));

    const auto before = doc->workingImage;
    QComboBox* timeout = combo("TxTimeoutComboBox");
    view->setFocus();
    for (int notches : {-1, 1, 1}) {
      wheelOver(timeout, notches);
      QVERIFY(doc->workingImage == before);
    }
  }

  void renameAddAndMove() {
    openWithChannels(12);
    QLineEdit* editor = edit("listViewEdit");
    doubleClickCell(view, 4, 1);  // the "Chan" cell opens the name editor
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->maxLength(), 16);
    QCOMPARE(editor->text(), QString("Ch 5"));
    QTest::keyClicks(editor, "Home");
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(nameCell(4), QString("Home"));
    QCOMPARE(pw::recordName(*doc, ListId::Channels, 4), std::string("Home"));

    doubleClickBelowLastRow(view);
    QCOMPARE(rowCount(), 12);  // no add below the last row

    QTest::mouseClick(command("AddBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(rowCount(), 13);
    QCOMPARE(nameCell(12), QString("Channel 13"));
    QCOMPARE(selectedRows(view), std::vector<int>{12});
    QCOMPARE(title->text(), QString("Channels .. used 13 of 1000. 1 selected. "));

    // Ctrl+Shift+Up moves by ten; each moved row shows its new number.
    QTest::keyClick(view, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    QCOMPARE(selectedRows(view), std::vector<int>{2});
    QCOMPARE(nameCell(2), QString("Channel 13"));
    QCOMPARE(cell(2, 1), QString("3"));
    QVERIFY(button("ModeDigitalSpeedButton")->isChecked());
  }

  void searchSelectsNumbersAndNames() {
    openWithChannels(120, [](pw::CodePlugDocument& d) { pw::renameChannel(d, 49, "Route 12b"); });
    auto* box = control<SearchEdit>("SearchEdit");
    QTest::keyClicks(box, " 12");
    QCOMPARE(selectedRows(view), std::vector<int>{0});  // not yet: waits for 500 ms of quiet
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(box->text(), QString(" 12"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(selectedRows(view), (std::vector<int>{11, 49, 111, 119}));
    QCOMPARE(title->text(), QString("Channels .. used 120 of 1000. 4 selected. "));
    QVERIFY(view->hasFocus());

    box->setFocus();
    QTest::keyClicks(box, "z");  // " 12z" matches nothing: after the quiet time nothing is selected
    QTRY_VERIFY_WITH_TIMEOUT(selectedRows(view).empty(), 2000);
  }

  void importShowsThePlanFirstAndExportWritesTheFile() {
    openWithChannels(3);
    const QString dir = QString::fromStdString(pwtest::testTempDir());
    QString chosen;
    form->setFileDialog([&](bool) { return chosen; });

    // Export: ".csv" is added (the target is settled as Save As settles it).
    chosen = dir + "/tab-export";
    QFile::remove(chosen + ".csv");
    QTest::mouseClick(command("ExportBitBtn"), Qt::LeftButton);
    const std::vector<std::uint8_t> written = pwtest::readFile((chosen + ".csv").toStdString());
    QVERIFY(std::string(written.begin(), written.end()).starts_with("number,name,mode,"));

    // Import: the plan is shown first; Cancel writes nothing, OK adds and selects the new rows.
    chosen = dir + "/tab-import.csv";
    const std::string analogue =
        "Location,Name,Frequency,Duplex,Offset,Tone\r\n0,North,439.1,-,7.6,\r\n1,Air,118.0,,,\r\n2,South,433.5,,,\r\n";
    pwtest::writeFile(chosen.toStdString(), std::vector<std::uint8_t>(analogue.begin(), analogue.end()));
    const std::vector<std::uint8_t> before = doc->workingImage;
    Shown shown = importWith(false);
    QCOMPARE(shown.summary, QString("2 channels will be added and 0 updated."));
    QVERIFY2(shown.report.contains("line 3: receive frequency 118.00000 MHz is outside"), qPrintable(shown.report));
    QVERIFY(!shown.updateOffered);
    QVERIFY(doc->workingImage == before);
    importWith(true);
    QCOMPARE(rowCount(), 5);
    QCOMPARE(selectedRows(view), (std::vector<int>{3, 4}));
    QCOMPARE(nameCell(4), QString("South"));
    QVERIFY(doc->settleEdits("edit"));
    QCOMPARE(doc->history().undoLabel(), std::string("import 2 channels"));
    QVERIFY(doc->undo() && doc->workingImage == before);

    // The own layout offers to update the channels it numbers.
    const std::string own = "number,name,rx_frequency\r\n1,First,\r\n";
    pwtest::writeFile(chosen.toStdString(), std::vector<std::uint8_t>(own.begin(), own.end()));
    QString firstSummary;
    shown = importWith(true, [&](ChannelImportDialog* d) {
      firstSummary = d->findChild<QLabel*>("SummaryLabel")->text();
      d->findChild<QCheckBox*>("UpdateCheckBox")->click();
    });
    QVERIFY(shown.updateOffered);
    QCOMPARE(firstSummary, QString("1 channel will be added and 0 updated."));
    QCOMPARE(shown.summary, QString("0 channels will be added and 1 updated."));
    QCOMPARE(pw::recordName(*doc, ListId::Channels, 0), std::string("First"));
    QCOMPARE(pw::usedCount(*doc, ListId::Channels), 3);

    chosen = dir + "/none.csv";
    QTest::mouseClick(command("ImportBitBtn"), Qt::LeftButton);
    QCOMPARE(prompt.texts("error"), std::vector<std::string>{"Could not open the file"});
  }

  void copyPasteAndInsertByKeysAndMenu() {
    pwtest::CodePlugBuilder b;
    b.fill(ListId::Channels, 4, "Ch ").named(ListId::Zones, 0, "Home").members(ListId::Zones, 0, {2, 3});
    open(&b);
    QClipboard* clipboard = QGuiApplication::clipboard();

    // Ctrl+C: the selected channels in the export's words, and as cells for a spreadsheet.
    const std::vector<int> rows{1, 3};
    select(rows);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    const std::string copied = clipboard->text().toStdString();
    QCOMPARE(copied, pw::exchange::writeChannelText(*doc, rows));
    QVERIFY(clipboard->mimeData()->html().startsWith("<table><tr><td>number</td><td>name</td>"));
    // Ctrl+V after row 0: selected at rows 1 and 2, the zone still holding its channels, one step.
    select({0});
    doc->settleEdits("edit");
    const std::vector<std::uint8_t> before = doc->workingImage;
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    settle();
    QCOMPARE(selectedRows(view), (std::vector<int>{1, 2}));
    QCOMPARE(nameCell(2), QString("Ch 4"));
    QCOMPARE(nameCell(3), QString("Ch 2"));
    QCOMPARE(title->text(), QString("Channels .. used 6 of 1000. 2 selected. "));
    QCOMPARE(pw::memberRows(*doc, ListId::Zones, 0).size(), std::size_t(3));
    QCOMPARE(pw::memberRows(*doc, ListId::Zones, 0)[2].number, 2);
    QVERIFY(prompt.shown.empty());
    QVERIFY(doc->settleEdits("edit"));
    QVERIFY(doc->undo() && doc->workingImage == before);
    form->refresh(true, 0);

    // Text that is no channel list: one box, nothing changed.
    clipboard->setText(QStringLiteral("hello"));
    runMenuEntry("Paste");
    QCOMPARE(prompt.shown.size(), std::size_t(1));
    QCOMPARE(prompt.shown[0].title, std::string("Paste"));
    QVERIFY(prompt.shown[0].text.starts_with("Nothing was pasted"));
    QVERIFY(doc->workingImage == before);

    // Insert before the selected row, its name open for editing; with none selected, at the end.
    select({2});
    QTest::keyClick(view, Qt::Key_Insert);
    QCOMPARE(nameCell(2), QString("Channel 5"));
    QCOMPARE(selectedRows(view), std::vector<int>{2});
    QVERIFY(edit("listViewEdit")->isVisible());
    QTest::keyClicks(edit("listViewEdit"), "New");
    QTest::keyClick(edit("listViewEdit"), Qt::Key_Return);
    QCOMPARE(nameCell(2), QString("New"));
    QCOMPARE(nameCell(3), QString("Ch 3"));
    view->clearSelection();
    runMenuEntry("Insert");
    QCOMPARE(rowCount(), 6);
    QCOMPARE(nameCell(5), QString("Channel 6"));
  }
};

QTEST_MAIN(ChannelsFormTest)
#include "channelsform_uitest.moc"
