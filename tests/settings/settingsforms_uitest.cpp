// The Basic, General and Menus tabs driven through their named controls: what they
// show, which bits each control writes, and the password boxes' messages on Enter,
// Escape and leaving, also over the main window's tab switches and close.

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <set>

#include "settings/ui/BasicForm.h"
#include "settings/ui/GeneralForm.h"
#include "settings/GeneralSettings.h"
#include "settings/MenuSettings.h"
#include "settings/ui/MenusForm.h"
#include "shell/WindowFixture.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"
#include "support/ui/TabHarness.h"
#include "support/ui/UiTestHelpers.h"
#include "widgets/QtPrompt.h"

using namespace pwtest::ui;
using pw::GeneralField;
using Bytes = std::vector<std::uint8_t>;

namespace {

const QSize kDesign(1138, 520);

// Something changed, and only bits of field `f` of the block at image offset `block`.
bool changedOnlyWithin(const Bytes& before, const Bytes& after, std::size_t block, pw::BitField f) {
  Bytes mask(before.size(), 0);
  pw::set(pw::MutableByteSpan(mask).subspan(pw::kImageBase + block), f, pw::fieldMask(f));
  bool changed = false;
  for (std::size_t i = 0; i < before.size(); ++i) {
    const std::uint8_t diff = before[i] ^ after[i];
    if (diff & ~mask[i]) return false;
    changed = changed || diff;
  }
  return changed;
}

}  // namespace

// ===================================================================== Basic

class BasicFormTest : public QObject, TabHarness<TBasicForm> {
  Q_OBJECT
  QString text(const char* name) const { return control<QLineEdit>(name)->text(); }

 private slots:
  void cleanup() { closeTab(); }

  void showsEveryFieldReadOnlyAndWritesNothing() {
    pwtest::CodePlugBuilder b(1, "HT680");
    const std::uint8_t date[] = {0x20, 0x16, 0x06, 0x28, 0x13, 0x05, 0x09};
    for (int i = 0; i < 7; ++i) b.fileByte(0x2226 + i, date[i]).fileByte(0x172 + i, std::uint8_t('A' + i));
    for (int i = 0; i < 5; ++i) b.fileByte(0x16D + i, i == 0);
    for (int i = 0; i < 4; ++i) b.fileByte(0x159 + i, std::uint8_t(i % 2 ? i : 0));
    openForm(&b, kDesign);
    const Bytes loaded = doc->workingImage;
    auto* range = control<QComboBox>("FrequencyRangeComboBox");
    QVERIFY(!range->isEnabled());
    QCOMPARE(range->currentText(), QString("350MHz .. 400MHz"));
    QCOMPARE(range->count(), 4);
    QCOMPARE(text("ModelNameEdit"), QString("HT680 (Handheld B)"));
    QCOMPARE(text("SerialNumberEdit"), QString("The maker does not supply this "));
    QCOMPARE(text("HardwareVersionEdit"), QString("V01.03"));
    QCOMPARE(text("CPSSoftwareVersionEdit"), QString("V00.00"));
    QCOMPARE(text("UniqueDeviceIDEdit"), QString("GFEDCBA0000000000001"));
    QCOMPARE(text("LastProgrammedDateEdit"), QString("2016.06.28  13:05:09"));
    QVERIFY(control<QLineEdit>("ModelNameEdit")->isReadOnly());
    form->refresh(false, 0);
    QCOMPARE(doc->workingImage, loaded);

    openForm(nullptr, kDesign);
    QCOMPARE(control<QComboBox>("FrequencyRangeComboBox")->currentIndex(), -1);
    QCOMPARE(text("SerialNumberEdit"), QString());
  }
};

// ===================================================================== General

class GeneralFormTest : public QObject, TabHarness<TGeneralForm> {
  Q_OBJECT

  QLineEdit* edit(const char* name) const { return control<QLineEdit>(name); }
  QComboBox* combo(const char* name) const { return control<QComboBox>(name); }
  QToolButton* toggle(const char* name) const { return control<QToolButton>(name); }
  std::uint32_t field(GeneralField f) const { return pw::generalField(*doc, f); }
  Bytes block(pw::GeneralBytes f) const {
    return pwtest::copyOf(doc->bytes(pw::kGeneralSettings + pw::bytesOf(f).byte, pw::bytesOf(f).length));
  }
  void openLoaded(const pwtest::CodePlugBuilder& b) { openForm(&b, kDesign); }
  void openLoaded() { openLoaded(pwtest::CodePlugBuilder()); }
  // Types into a box as a user does: focus, select all, type.
  void type(QLineEdit* box, const QString& text) {
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  // Moves the focus to another control of the tab and lets the deferred check run.
  void leaveTo(QWidget* other) {
    other->setFocus(Qt::MouseFocusReason);
    settle();
  }
  QStringList errors() const {
    QStringList out;
    for (const auto& t : prompt.texts("error")) out << QString::fromStdString(t);
    return out;
  }

 private slots:
  void cleanup() { closeTab(); }

  void withoutCodePlugShowsPlaceholdersAndWritesNothing() {
    openForm(nullptr, kDesign);
    QCOMPARE(edit("RadioNameEdit")->text(), QString("Name your radio"));
    QCOMPARE(edit("RadioIDEdit")->text(), QString("12345678"));
    QCOMPARE(edit("IntroScreenTextLine1Edit")->text(), QString("--------------------"));
    QCOMPARE(edit("IntroScreenTextLine2Edit")->text(), QString("--------------------"));
    QCOMPARE(edit("RadioProgramPasswordEdit")->text().size(), 8);
    QCOMPARE(edit("PowerOnPasswordEdit")->text(), QString());
    QCOMPARE(edit("PCProgrammingPasswordEdit")->text(), QString());
    for (QComboBox* c : form->findChildren<QComboBox*>()) QCOMPARE(c->currentIndex(), -1);
    for (QToolButton* t : form->findChildren<QToolButton*>()) QVERIFY(!t->isChecked());
    // Nothing to store into: the controls fall back and no message is shown.
    QTest::mouseClick(toggle("DisableAllLEDsSpeedButton"), Qt::LeftButton);
    QVERIFY(!toggle("DisableAllLEDsSpeedButton")->isChecked());
    combo("BacklightTimeComboBox")->setCurrentIndex(2);
    QCOMPARE(combo("BacklightTimeComboBox")->currentIndex(), -1);
    type(edit("RadioIDEdit"), "99999999");
    type(edit("PowerOnPasswordEdit"), "1");
    QTest::keyClick(edit("PowerOnPasswordEdit"), Qt::Key_Return);
    QVERIFY(prompt.shown.empty());
  }

  void fillShowsTheBlockAndWritesNothingOutOfRangeValuesShowNoChoice() {
    pwtest::CodePlugBuilder b;
    const std::size_t g = pw::kGeneralSettings;
    b.u8(g + 0x40, 0x04).u8(g + 0x41, 0x80 | 0x01).u8(g + 0x42, 0x10);
    b.u8(g + 0x58, 0x12).u8(g + 0x59, 0xA4).u8(g + 0x5A, 0x56).u8(g + 0x5B, 0x78);  // power-on password
    b.u8(g + 0x44, 0x4E).u8(g + 0x45, 0x61).u8(g + 0x46, 0xBC);                     // 12345678
    b.u8(g + 0x48, 144).u8(g + 0x49, 7).u8(g + 0x4B, 10).u8(g + 0x4F, 0).u8(g + 0x55, 0xFF).u8(g + 0x56, 4);
    b.u8(g + 0x70, 'R')
        .u8(g + 0x72, 'x')
        .u8(g + 0x74, 0xE9)
        .u8(g + 0x00, 'H')
        .u8(g + 0x02, 0xFF)
        .u8(g + 0x04, 'i');
    openLoaded(b);
    QVERIFY(!doc->isModified());
    // Stored texts show as stored, characters the box would not take included.
    QCOMPARE(edit("RadioNameEdit")->text(), QString::fromLatin1("Rx\xE9"));
    QCOMPARE(edit("PowerOnPasswordEdit")->text(), QString("12?45678"));
    QCOMPARE(edit("IntroScreenTextLine1Edit")->text(), QString("H"));
    QCOMPARE(edit("RadioIDEdit")->text(), QString("12345678"));
    QCOMPARE(combo("TxPreambleDurationComboBox")->currentText(), QString("8640 ms"));
    QCOMPARE(combo("VOXSensitivityComboBox")->currentText(), QString("10"));
    QCOMPARE(combo("CallAlertToneDurationComboBox")->currentText(), QString("Continuous"));
    QCOMPARE(combo("TalkPermitToneComboBox")->currentText(), QString("Analogue"));
    QCOMPARE(combo("BacklightTimeComboBox")->currentText(), QString("15 secs"));
    QCOMPARE(combo("GroupCallHangTimeComboBox")->currentIndex(), -1);  // 7: between two steps
    QCOMPARE(combo("KeyPadLockTimeComboBox")->currentIndex(), -1);     // 4
    QVERIFY(toggle("DisableAllLEDsSpeedButton")->isChecked());
    QVERIFY(toggle("BatterySaverSavePreambleSpeedButton")->isChecked());
    QVERIFY(!toggle("BatterySaverSaveModeRxSpeedButton")->isChecked());
    QVERIFY(toggle("MonitorTypeDisableAllTonesSpeedButton")->isChecked());
    QVERIFY(toggle("MonitorTypeChannelFreeIndicationToneSpeedButton")->isChecked());
    QVERIFY(toggle("IntroScreenTypePictureSpeedButton")->isChecked());
    QVERIFY(!toggle("IntroScreenTypeTextSpeedButton")->isChecked());
    form->refresh(false, 0);
    QVERIFY(!doc->isModified());

    // Out-of-range values stay until the user picks an entry; a wheel over an unfocused
    // list changes nothing (the guard every tab's drop-downs share, proven here once).
    QVERIFY(edit("RadioNameEdit")->hasFocus());
    wheelOver(combo("KeyPadLockTimeComboBox"));
    QCOMPARE(combo("KeyPadLockTimeComboBox")->currentIndex(), -1);
    wheelOver(combo("VOXSensitivityComboBox"));
    QCOMPARE(combo("VOXSensitivityComboBox")->currentText(), QString("10"));
    QVERIFY(!doc->isModified());
    combo("KeyPadLockTimeComboBox")->setCurrentIndex(0);
    QCOMPARE(field(GeneralField::KeypadLockTime), 255u);
  }

  void everyListAndToggleWritesOnlyItsOwnBits() {
    using enum GeneralField;
    openLoaded();
    const std::pair<const char*, GeneralField> lists[] = {
        {"MonitorTypeComboBox", MonitorType},
        {"VOXSensitivityComboBox", VoxSensitivity},
        {"TxPreambleDurationComboBox", TxPreambleDuration},
        {"RxLowBatteryIntervalComboBox", RxLowBatteryInterval},
        {"BacklightTimeComboBox", BacklightTime},
        {"KeyPadLockTimeComboBox", KeypadLockTime},
        {"TalkPermitToneComboBox", TalkPermitTone},
        {"CallAlertToneDurationComboBox", CallAlertToneDuration},
        {"ScanDigitalHangTimeComboBox", ScanDigitalHangTime},
        {"ScanAnalogueHangTimeComboBox", ScanAnalogueHangTime},
        {"LoneWorkerResponseTimeComboBox", LoneWorkerResponseTime},
        {"LoneWorkerReminderTimeComboBox", LoneWorkerReminderTime},
        {"GroupCallHangTimeComboBox", GroupCallHangTime},
        {"PrivateCallHangTimeComboBox", PrivateCallHangTime},
    };
    QCOMPARE(form->findChildren<QComboBox*>().size(), qsizetype(std::size(lists)));
    for (const auto& [name, f] : lists) {
      const Bytes before = doc->workingImage;
      combo(name)->setCurrentIndex(combo(name)->count() - 1);
      QVERIFY2(changedOnlyWithin(before, doc->workingImage, pw::kGeneralSettings, pw::bitsOf(f)), name);
      QCOMPARE(field(f), pw::generalChoices(f).back().code);
    }

    const std::pair<const char*, GeneralField> toggles[] = {
        {"DisableAllLEDsSpeedButton", LedSetting},
        {"BatterySaverSavePreambleSpeedButton", SavePreamble},
        {"BatterySaverSaveModeRxSpeedButton", SaveModeRx},
        {"MonitorTypeDisableAllTonesSpeedButton", AllTones},
        {"MonitorTypeChannelFreeIndicationToneSpeedButton", ChannelFreeTone},
        {"IntroScreenTypePictureSpeedButton", IntroScreenPicture},
    };
    for (const auto& [name, f] : toggles) {
      const Bytes before = doc->workingImage;
      const bool wasDown = toggle(name)->isChecked();
      QTest::mouseClick(toggle(name), Qt::LeftButton);
      QVERIFY2(changedOnlyWithin(before, doc->workingImage, pw::kGeneralSettings, pw::bitsOf(f)), name);
      QCOMPARE(toggle(name)->isChecked(), !wasDown);
    }
    // Polarity: what was stored shows again after a refill.
    QCOMPARE(field(GeneralField::LedSetting), 1u);
    QCOMPARE(field(GeneralField::AllTones), 0u);
    QCOMPARE(field(GeneralField::ChannelFreeTone), 1u);
    form->refresh(false, 0);
    QVERIFY(toggle("DisableAllLEDsSpeedButton")->isChecked());
    QVERIFY(toggle("MonitorTypeDisableAllTonesSpeedButton")->isChecked());
    // The boot-up type pair: pressing the button that is down leaves it down.
    QTest::mouseClick(toggle("IntroScreenTypePictureSpeedButton"), Qt::LeftButton);
    QVERIFY(toggle("IntroScreenTypePictureSpeedButton")->isChecked());
    QVERIFY(!toggle("IntroScreenTypeTextSpeedButton")->isChecked());
    QTest::mouseClick(toggle("IntroScreenTypeTextSpeedButton"), Qt::LeftButton);
    QCOMPARE(field(GeneralField::IntroScreenPicture), 0u);
    QVERIFY(!toggle("IntroScreenTypePictureSpeedButton")->isChecked());
  }

  void textBoxesStoreAsTypedAndRefuseOtherCharacters() {
    openLoaded();
    type(edit("RadioNameEdit"), " My r");
    QKeyEvent accented(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\u00e9"));
    QCoreApplication::sendEvent(edit("RadioNameEdit"), &accented);
    QTest::keyClicks(edit("RadioNameEdit"), "dio");
    QCOMPARE(edit("RadioNameEdit")->text(), QString(" My rdio"));
    QCOMPARE(pw::generalText(*doc, pw::GeneralBytes::RadioName), std::string("My rdio"));
    QCOMPARE(edit("IntroScreenTextLine2Edit")->maxLength(), 10);
    type(edit("IntroScreenTextLine2Edit"), "Hello there");
    QCOMPARE(pw::generalText(*doc, pw::GeneralBytes::BootLine2), std::string("Hello ther"));

    // A drop of text the box does not take changes nothing.
    const Bytes before = doc->workingImage;
    dropText(edit("RadioIDEdit"), "abc");
    dropText(edit("PCProgrammingPasswordEdit"), "x y");
    QCOMPARE(edit("RadioIDEdit")->text(), QString("0"));
    QCOMPARE(edit("PCProgrammingPasswordEdit")->text(), QString());
    QCOMPARE(doc->workingImage, before);

    type(edit("PCProgrammingPasswordEdit"), "123");
    QCOMPARE(block(pw::GeneralBytes::PcProgrammingPassword),
             (Bytes{'1', '2', '3', 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    QTest::keyClick(edit("PCProgrammingPasswordEdit"), Qt::Key_Return);
    leaveTo(edit("RadioNameEdit"));
    QVERIFY(prompt.shown.empty());
  }

  // A refused key never reaches the box: a selected text stays, and Enter or leaving a box
  // as it was filled writes nothing, though its bytes hold more than it shows.
  void refusedKeysAndUnchangedBoxesWriteNothing() {
    pwtest::CodePlugBuilder b;
    const std::size_t g = pw::kGeneralSettings;
    b.u8(g + 0x41, 0x20);  // power-on password off, over leftover digits 12 34 56 78
    for (std::uint8_t i = 0; i < 4; ++i)
      b.u8(g + 0x58 + i, std::uint8_t(0x12 + 0x22 * i)).u8(g + 0x5C + i, std::uint8_t(0x87 - 0x22 * i));
    const std::uint8_t pc[] = {'a', 0x05, 0x00, 'z', 0xFF, 0xFF, 0xFF, 0xFF};  // shows "a?"
    for (std::uint8_t i = 0; i < 8; ++i) b.u8(g + 0x60 + i, pc[i]);
    b.u8(g + 0x70, 'M').u8(g + 0x72, 'e').u8(g, 'H').u8(g + 2, 'i');
    openLoaded(b);
    const Bytes loaded = doc->workingImage;
    const std::pair<const char*, QString> refused[] = {
        {"PCProgrammingPasswordEdit", "x"}, {"RadioProgramPasswordEdit", "x"}, {"PowerOnPasswordEdit", "x"},
        {"RadioNameEdit", QString::fromUtf8("\u03a9")}, {"IntroScreenTextLine1Edit", QString::fromUtf8("\u00e9")}};
    for (const auto& [name, key] : refused) {
      QLineEdit* box = edit(name);
      const QString shown = box->text();
      box->setFocus(Qt::TabFocusReason);
      for (bool selected : {true, false}) {
        selected ? box->selectAll() : box->deselect();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
        QCoreApplication::sendEvent(box, &press);
        QCOMPARE(box->text(), shown);
        QCOMPARE(box->hasSelectedText(), selected && !shown.isEmpty());
        QVERIFY(!box->isModified());
        QTest::keyClick(box, Qt::Key_Return);
      }
      leaveTo(edit(box == edit("RadioNameEdit") ? "RadioIDEdit" : "RadioNameEdit"));
      QVERIFY2(doc->workingImage == loaded, name);
    }
    QVERIFY(prompt.shown.empty());
  }

  void radioIdAboveTheBoundShowsTheMessageAndKeepsTheId() {
    openLoaded();
    type(edit("RadioIDEdit"), "1677721");
    QCOMPARE(field(GeneralField::RadioId), 1677721u);
    QTest::keyClick(edit("RadioIDEdit"), Qt::Key_6);
    QCOMPARE(errors(), QStringList{"Invalid Radio ID number (General tab)"});
    QCOMPARE(field(GeneralField::RadioId), 1677721u);
    QTest::keyClick(edit("RadioIDEdit"), Qt::Key_Backspace);
    QTest::keyClick(edit("RadioIDEdit"), Qt::Key_5);
    QCOMPARE(field(GeneralField::RadioId), 16777215u);
    for (int i = 0; i < 8; ++i)
      QTest::keyClick(edit("RadioIDEdit"), Qt::Key_Backspace);  // empty at last: nothing happens
    QCOMPARE(field(GeneralField::RadioId), 1u);
    QCOMPARE(errors().size(), 1);
  }

  void passwordsOnEnterAndEscape() {
    openLoaded();
    QLineEdit* powerOn = edit("PowerOnPasswordEdit");
    type(powerOn, "1234567");
    QTest::keyClick(powerOn, Qt::Key_Return);
    QCOMPARE(errors(), QStringList{"Power-On-Password must be 8 characters in length, or empty"});
    QCOMPARE(field(GeneralField::PowerOnPasswordOff), 1u);
    QCOMPARE(block(pw::GeneralBytes::PowerOnPassword), Bytes(4, 0));
    QVERIFY(powerOn->hasFocus());
    QTest::keyClick(powerOn, Qt::Key_8);
    QCOMPARE(block(pw::GeneralBytes::PowerOnPassword), (Bytes{0x12, 0x34, 0x56, 0x78}));
    QCOMPARE(field(GeneralField::PowerOnPasswordOff), 0u);
    QTest::keyClick(powerOn, Qt::Key_Escape);
    QCOMPARE(errors().size(), 1);

    QLineEdit* radio = edit("RadioProgramPasswordEdit");
    type(radio, "12");
    QTest::keyClick(radio, Qt::Key_Escape);
    QCOMPARE(errors().last(), QString("Radio-Program password must be 8 characters in length, or empty"));
    QCOMPARE(block(pw::GeneralBytes::RadioProgramPassword), Bytes(4, 0xFF));
    // Clearing the box stores "none" silently.
    type(radio, "87654321");
    QCOMPARE(block(pw::GeneralBytes::RadioProgramPassword), (Bytes{0x87, 0x65, 0x43, 0x21}));
    radio->selectAll();
    QTest::keyClick(radio, Qt::Key_Backspace);
    QTest::keyClick(radio, Qt::Key_Enter);
    QCOMPARE(block(pw::GeneralBytes::RadioProgramPassword), Bytes(4, 0xFF));
    QCOMPARE(errors().size(), 2);
  }

  void leavingAnInvalidPasswordSaysSoOncePerFocusChangeAndTakesTheFocusBack() {
    openLoaded();
    QLineEdit* powerOn = edit("PowerOnPasswordEdit");
    QLineEdit* radio = edit("RadioProgramPasswordEdit");
    type(powerOn, "123");
    leaveTo(edit("RadioNameEdit"));
    QCOMPARE(errors(), QStringList{"Power-On password must be 8 characters in length, or empty"});
    QVERIFY(powerOn->hasFocus());
    QTest::keyClick(powerOn, Qt::Key_Tab);
    settle();
    QCOMPARE(errors().size(), 2);
    QVERIFY(powerOn->hasFocus());

    // Two invalid boxes never hand the focus back and forth: taking it back is no leaving.
    radio->setText("9");
    leaveTo(radio);
    settle();
    QCOMPARE(errors().size(), 3);
    QVERIFY(powerOn->hasFocus());
    powerOn->clear();
    leaveTo(radio);
    QCOMPARE(errors().size(), 3);
    type(radio, "5");
    QTest::keyClick(radio, Qt::Key_Tab);
    settle();
    QCOMPARE(errors().last(), QString("Radio-Program password must be 8 characters in length, or empty"));
    QCOMPARE(errors().size(), 4);
  }

  void aRealMessageBoxTakingTheFocusIsNoLeaving() {
    QtPrompt boxes(nullptr);
    int shown = 0;
    struct BoxPrompt : pwtest::ScriptedPrompt {
      QtPrompt* real;
      int* count;
      void error(const std::string& text) override {
        ++*count;
        QTimer::singleShot(100, [] {
          if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        real->error(text);
      }
    } boxPrompt;
    boxPrompt.real = &boxes;
    boxPrompt.count = &shown;
    openLoaded();
    doc->setPrompt(&boxPrompt);
    QLineEdit* powerOn = edit("PowerOnPasswordEdit");
    type(powerOn, "1");
    QTest::keyClick(powerOn, Qt::Key_Return);
    settle();
    QCOMPARE(shown, 1);
    QVERIFY(showActive(form.get()));  // as the desktop does when the box closes
    QVERIFY(powerOn->hasFocus());
    leaveTo(edit("RadioNameEdit"));
    QTRY_COMPARE(shown, 2);
    QTest::qWait(300);
    QCOMPARE(shown, 2);
    QVERIFY(showActive(form.get()));
    QVERIFY(powerOn->hasFocus());
    QCOMPARE(shown, 2);
    doc->setPrompt(&prompt);
  }
};

// ===================================================================== Menus

class MenusFormTest : public QObject, TabHarness<TMenusForm> {
  Q_OBJECT
  QToolButton* toggle(const char* name) const { return control<QToolButton>(name); }
  QComboBox* hangTime() const { return control<QComboBox>("MenuHangTimeComboBox"); }

 private slots:
  void cleanup() { closeTab(); }

  void zeroBlockShowsAllUpButProgramRadioAndGpsAndEachToggleWritesItsBit() {
    pwtest::CodePlugBuilder b;
    for (int i = 0; i < 5; ++i) b.u8(pw::kMenuSettings + i, 0);
    b.u8(pw::kMenuSettings + 3, 0x40);  // the radio's own bit
    openForm(&b, kDesign);
    const auto buttons = form->findChildren<QToolButton*>();
    QCOMPARE(buttons.size(), pw::kMenuFieldCount - 1);
    for (QToolButton* t : buttons) {
      const bool inverted = t->objectName() == "UtilitiesProgramRadioSpeedButton" ||
                            t->objectName() == "UtilitiesGPSSpeedButton";
      QVERIFY2(t->isChecked() == inverted, qPrintable(t->objectName()));
    }
    QCOMPARE(hangTime()->currentText(), QString("Hang "));
    QVERIFY(!doc->isModified());

    QTest::mouseClick(toggle("UtilitiesGPSSpeedButton"), Qt::LeftButton);
    QCOMPARE(doc->bytes(pw::kMenuSettings, 5)[4], std::uint8_t(0x08));
    // Every toggle flips one bit of the enable bytes, each its own.
    std::set<std::size_t> flipped;
    for (QToolButton* t : buttons) {
      const Bytes before = doc->workingImage;
      QTest::mouseClick(t, Qt::LeftButton);
      const std::size_t first = pw::kImageBase + pw::kMenuSettings + 1, end = first + 4;
      int changed = 0;
      for (std::size_t i = 0; i < before.size(); ++i) {
        const int diff = before[i] ^ doc->workingImage[i];
        if (!diff) continue;
        QVERIFY2(i >= first && i < end, qPrintable(t->objectName()));
        for (int bit = 0; bit < 8; ++bit)
          if ((diff >> bit) & 1) {
            flipped.insert(8 * i + bit);
            ++changed;
          }
      }
      QCOMPARE(changed, 1);
    }
    QCOMPARE(flipped.size(), std::size_t(buttons.size()));
    QCOMPARE(doc->bytes(pw::kMenuSettings + 3, 1)[0] & 0x40, 0x40);
  }

  void hangTimeOutOfRangeStaysUntilChosen() {
    pwtest::CodePlugBuilder b;
    b.u8(pw::kMenuSettings, 31);
    openForm(&b, kDesign);
    QCOMPARE(hangTime()->currentIndex(), -1);
    QVERIFY(!doc->isModified());
    hangTime()->setCurrentIndex(30);
    QCOMPARE(doc->bytes(pw::kMenuSettings, 1)[0], std::uint8_t(30));

    openForm(nullptr, kDesign);
    QCOMPARE(hangTime()->currentIndex(), -1);
    QTest::mouseClick(toggle("ScanScanSpeedButton"), Qt::LeftButton);
    QVERIFY(!toggle("ScanScanSpeedButton")->isChecked());
    hangTime()->setCurrentIndex(3);
    QCOMPARE(hangTime()->currentIndex(), -1);
  }
};

// ===================================================================== in the main window

class GeneralTabInWindowTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void switchingTabsAndClosingWithAnInvalidPassword() {
    const pwtest::CodePlugBuilder b;
    platformScreens = true;
    start(&b, "[Misc]\nTab=1\n");
    auto* pages = control<QTabWidget>("PageControl");
    auto* powerOn = control<QLineEdit>("PowerOnPasswordEdit");
    QCOMPARE(pages->currentIndex(), 1);
    powerOn->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(powerOn, "123");
    QTest::keyClick(powerOn, Qt::Key_Escape);  // swallowed: the window stays
    QVERIFY(form->isVisible());
    QCOMPARE(prompt.texts("error").size(), 1u);

    pages->setCurrentIndex(2);
    QCoreApplication::processEvents();
    QCOMPARE(pages->currentIndex(), 2);
    QCOMPARE(prompt.texts("error").size(), 2u);
    QCOMPARE(prompt.texts("error").back(),
             std::string("Power-On password must be 8 characters in length, or empty"));

    pages->setCurrentIndex(1);
    QCOMPARE(powerOn->text(), QString());  // refilled from the image: no password
    QTest::keyClicks(powerOn, "4");
    powerOn->setFocus(Qt::MouseFocusReason);
    QVERIFY(form->close());
    QCoreApplication::processEvents();
    QCOMPARE(prompt.texts("error").size(), 2u);
    form.reset();
    QCoreApplication::processEvents();
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return pwtest::ui::runTests<BasicFormTest, GeneralFormTest, MenusFormTest, GeneralTabInWindowTest>(argc, argv);
}

#include "settingsforms_uitest.moc"
