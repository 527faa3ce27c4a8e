// The main window driven through its named controls: start-up from the settings
// file, the file commands with their questions, closing, and the settings at exit.

// The model headers come first: a member named `slots` would clash with Qt's keyword macro.
#include "shell/WindowFixture.h"
#include "codeplug/DfuseSuffix.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>

#include "shell/PageTabRows.h"
#include "contacts/ui/DigitalContactsForm.h"

using pw::Answer;

namespace {

const char* const kDiscard = "Unsaved code plug.\n\nDiscard it ?";
const char* const kReload = "Unsaved code plug.\n\nReload from file ?";
const char* const kSaveBeforeExit = "Unsaved code plug.\n\nSave before exit ?";

std::vector<std::uint8_t> readBytes(const QString& path) { return pwtest::readFile(path.toStdString()); }

}  // namespace

class MainFormTest : public pwtest::ui::WindowFixture {
  Q_OBJECT

  // A window with `file` loaded from the settings file, then changed in memory.
  void startModified(const QString& file) {
    writeIni("[CodePlug]\nFile=" + file.toUtf8() + "\n");
    form = window();
    form->document().bytes(pw::kGeneralSettings, 1)[0] ^= 0x01;
  }
  QString label() const { return control<QLabel>("FilenameLabel")->text(); }

private slots:
  void init() { fresh(); }
  void cleanup() { form.reset(); }

  void startsWithDesignStateWithoutSettingsFile() {
    form = window();
    QCOMPARE(form->geometry(), QRect(169, 99, 1138, 585));
    QCOMPARE(form->minimumSize(), QSize(700, 584));
    QVERIFY(form->windowTitle().startsWith("Plugwright .. June 2016 v"));
    auto* pages = control<QTabWidget>("PageControl");
    QCOMPARE(pages->currentIndex(), 10);
    QCOMPARE(pages->count(), 14);
    QCOMPARE(pages->tabText(13), QString("  GPS  "));
    for (int i = 0; i < pages->count(); ++i) QVERIFY(pages->widget(i)->isAncestorOf(form->tabForm(i)));
    QVERIFY(!control<QPushButton>("NewBitBtn")->isEnabled());
    QVERIFY(!control<QPushButton>("WizardBitBtn")->isEnabled());
    for (const char* name : {"ReloadBitBtn", "SaveBitBtn", "SaveAsBitBtn"})
      QVERIFY2(!control<QPushButton>(name)->isEnabled(), name);
    QVERIFY(control<QPushButton>("OpenBitBtn")->isEnabled());
    QCOMPARE(label(), QString());
    QVERIFY(prompt.shown.empty());
    form.reset();
    // At exit: exactly the listed keys, no "File" without a file.
    QSettings s(iniPath(), QSettings::IniFormat);
    QCOMPARE(s.allKeys(), (QStringList{"MainForm/Height", "MainForm/Left", "MainForm/Top", "MainForm/Width",
                                       "Misc/ShowContactNoRxTone", "Misc/Tab"}));
    QCOMPARE(s.value("MainForm/Left").toInt(), 169);
    QCOMPARE(s.value("MainForm/Top").toInt(), 99);
    QCOMPARE(s.value("Misc/Tab").toInt(), 10);
    QCOMPARE(s.value("Misc/ShowContactNoRxTone").toString(), QString("false"));
  }

  void appliesTabAndShowNoRxTone_data() {
    QTest::addColumn<QByteArray>("tab");
    QTest::addColumn<int>("page");
    QTest::addColumn<QByteArray>("noRxTone");
    QTest::addColumn<bool>("shown");
    QTest::newRow("14 is out of range") << QByteArray("14") << 10 << QByteArray("true") << true;
    QTest::newRow("-1 is out of range") << QByteArray("-1") << 10 << QByteArray("false") << false;
    QTest::newRow("0 opens Basic") << QByteArray("0") << 0 << QByteArray("1") << true;
    QTest::newRow("13 opens GPS") << QByteArray("13") << 13 << QByteArray("0") << false;
    QTest::newRow("words keep the defaults") << QByteArray("five") << 10 << QByteArray("no") << false;
  }
  void appliesTabAndShowNoRxTone() {
    QFETCH(QByteArray, tab);
    QFETCH(int, page);
    QFETCH(QByteArray, noRxTone);
    QFETCH(bool, shown);
    writeIni("[Misc]\nTab=" + tab + "\nShowContactNoRxTone=" + noRxTone + "\n");
    form = window();
    QCOMPARE(control<QTabWidget>("PageControl")->currentIndex(), page);
    QCOMPARE(static_cast<TDigitalContactsForm*>(form->tabForm(7))->showNoRxTone(), shown);
  }

  void restoresGeometryThroughThePlacementRule() {
    // Close to the work area's corner and size: snaps onto it exactly.
    writeIni("[MainForm]\nTop=3\nLeft=5\nWidth=1915\nHeight=1036\n");
    QCOMPARE(window()->geometry(), QRect(0, 0, 1920, 1040));
  }

  void loadsTheLastFileSilentlyAndRemembersIt() {
    const QString file = writePlug("last.rdt");
    writeIni("[CodePlug]\nFile=" + file.toUtf8() + "\n[Misc]\nTab=3\n");
    form = window();
    QVERIFY(form->document().hasImage());
    QCOMPARE(label(), " " + file);
    QCOMPARE(form->dialogFolder(), dir->path());
    for (const char* name : {"ReloadBitBtn", "SaveBitBtn", "SaveAsBitBtn"})
      QVERIFY2(control<QPushButton>(name)->isEnabled(), name);
    control<QTabWidget>("PageControl")->setCurrentIndex(12);
    static_cast<TDigitalContactsForm*>(form->tabForm(7))->setShowNoRxTone(true);
    form.reset();
    QSettings s(iniPath(), QSettings::IniFormat);
    QCOMPARE(s.value("CodePlug/File").toString(), file);
    QCOMPARE(s.value("Misc/Tab").toInt(), 12);
    QCOMPARE(s.value("Misc/ShowContactNoRxTone").toString(), QString("true"));
  }

  void missingLastFileStartsEmptyWithoutMessage() {
    writeIni("[CodePlug]\nFile=" + path("gone/missing.rdt").toUtf8() + "\n");
    form = window();
    QVERIFY(!form->document().hasImage());
    QVERIFY(form->document().fileName.empty());
    QCOMPARE(label(), QString());
    QCOMPARE(form->dialogFolder(), QCoreApplication::applicationDirPath());
    QVERIFY(prompt.shown.empty());
    form.reset();
    QVERIFY(!QSettings(iniPath(), QSettings::IniFormat).contains("CodePlug/File"));
  }

  // `plugwright FILE`: the named file instead of the last one, its name made absolute.
  void fileNamedOnTheCommandLineOpensInsteadOfTheLastFile() {
    const QString last = writePlug("last.rdt");
    const QString named = writePlug("named.rdt", pwtest::CodePlugBuilder().channel(0, "Named"));
    writeIni("[CodePlug]\nFile=" + last.toUtf8() + "\n");
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir->path()));
    form = window("named.rdt");
    QDir::setCurrent(cwd);
    QCOMPARE(form->document().fileName, named.toStdString());
    QCOMPARE(form->document().workingImage, readBytes(named));
    QCOMPARE(label(), " " + named);
    QVERIFY(control<QPushButton>("SaveBitBtn")->isEnabled());
    QVERIFY(prompt.shown.empty());
    form.reset();
    QCOMPARE(QSettings(iniPath(), QSettings::IniFormat).value("CodePlug/File").toString(), named);
  }

  // Unlike the last file, a named file that fails says why; the last file stays remembered.
  void failedFileFromTheCommandLineIsReportedAndTheLastFileKept() {
    const QString last = writePlug("last.rdt");
    QFile bad(path("bad.rdt"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(100, 'x'));
    bad.close();
    writeIni("[CodePlug]\nFile=" + last.toUtf8() + "\n");
    form = window(bad.fileName());
    QCOMPARE(prompt.texts("error"), std::vector<std::string>{"Code plug file size error"});
    QVERIFY(!form->document().hasImage());
    QVERIFY(form->document().fileName.empty());
    QCOMPARE(label(), QString());
    QVERIFY(!control<QPushButton>("SaveBitBtn")->isEnabled());
    form.reset();
    QCOMPARE(QSettings(iniPath(), QSettings::IniFormat).value("CodePlug/File").toString(), last);
  }

  void openAsksBeforeDiscardingThenLoadsTheChosenFile() {
    pwtest::CodePlugBuilder other;
    other.named(pw::ListId::Zones, 0, "Other");
    const QString second = writePlug("b.rdt", other);
    startModified(writePlug("a.rdt"));
    click("OpenBitBtn");  // the scripted answer is No: no dialog
    QVERIFY(dialogs.isEmpty());
    QVERIFY(form->document().isModified());
    prompt.questions = {Answer::Yes};
    dialogAnswers = {second};
    click("OpenBitBtn");
    QCOMPARE(prompt.texts("question"), (std::vector<std::string>{kDiscard, kDiscard}));
    QCOMPARE(dialogs, QStringList{"open " + dir->path()});
    QCOMPARE(form->document().fileName, second.toStdString());
    QCOMPARE(form->document().workingImage, readBytes(second));
    QCOMPARE(label(), " " + second);
  }

  void failedOpenAndReloadChangeNothing() {
    const QString file = writePlug("a.rdt");
    startModified(file);
    const auto before = form->document().workingImage;
    // Open: a file of the wrong size.
    QFile bad(path("bad.rdt"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(100, 'x'));
    bad.close();
    prompt.questions = {Answer::Yes, Answer::Yes};
    dialogAnswers = {bad.fileName()};
    click("OpenBitBtn");
    // Reload: the file on disk has been cut short meanwhile.
    QVERIFY(QFile::resize(file, 262708));
    click("ReloadBitBtn");
    QCOMPARE(prompt.texts("question"), (std::vector<std::string>{kDiscard, kReload}));
    QCOMPARE(prompt.texts("error"),
             (std::vector<std::string>{"Code plug file size error", "Code plug file size error"}));
    QCOMPARE(form->document().workingImage, before);
    QCOMPARE(form->document().fileName, file.toStdString());
    QCOMPARE(label(), " " + file);
  }

  void reloadDiscardsChangesWhenAnsweredYes() {
    const QString file = writePlug("a.rdt");
    startModified(file);
    click("ReloadBitBtn");  // the scripted answer is No
    QVERIFY(form->document().isModified());
    prompt.questions = {Answer::Yes};
    click("ReloadBitBtn");
    QVERIFY(!form->document().isModified());
    QCOMPARE(form->document().workingImage, readBytes(file));
  }

  void saveAsAppendsTheExtensionUnlessTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("plain") << "plug" << "plug.rdt";
    QTest::newRow("upper case kept") << "PLUG.RDT" << "PLUG.RDT";
    QTest::newRow("inner .rdt") << "a.rdt.old" << "a.rdt.old.rdt";
    QTest::newRow("double .rdt") << "a.rdt.rdt" << "a.rdt.rdt";
  }
  void saveAsAppendsTheExtensionUnlessTyped() {
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    startModified(writePlug("start.rdt"));
    dialogAnswers = {path(typed)};
    click("SaveAsBitBtn");
    QCOMPARE(dialogs, QStringList{"save " + dir->path()});
    QCOMPARE(form->document().fileName, path(saved).toStdString());
    QCOMPARE(readBytes(path(saved)), form->document().workingImage);
    QVERIFY(!form->document().isModified());
    QCOMPARE(label(), " " + path(saved));
  }

  void saveAsCancelledOrRefusedKeepsTheName() {
    const QString file = writePlug("start.rdt");
    startModified(file);
    click("SaveAsBitBtn");  // dialog cancelled
    dialogAnswers = {path("missing-folder/x.rdt")};
    click("SaveAsBitBtn");
    QCOMPARE(prompt.texts("error"), (std::vector<std::string>{"Could not create the code plug file"}));
    QCOMPARE(form->document().fileName, file.toStdString());
    QVERIFY(form->document().isModified());
  }

  // The question names the file that will really be written, whether or not ".rdt" was typed.
  void saveAsAsksBeforeReplacingTheFinalName_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("without extension") << "exists";
    QTest::newRow("with extension") << "exists.rdt";
  }
  void saveAsAsksBeforeReplacingTheFinalName() {
    QFETCH(QString, typed);
    const QString existing = writePlug("exists.rdt", pwtest::CodePlugBuilder().channel(0, "Keep"));
    const auto before = readBytes(existing);
    startModified(writePlug("start.rdt"));
    const std::string question = existing.toStdString() + " already exists.\n\nReplace it ?";

    dialogAnswers = {path(typed)};
    click("SaveAsBitBtn");  // the scripted answer is No
    QCOMPARE(prompt.texts("question"), std::vector<std::string>{question});
    QCOMPARE(readBytes(existing), before);
    QCOMPARE(form->document().fileName, path("start.rdt").toStdString());
    QVERIFY(form->document().isModified());

    prompt.questions = {Answer::Yes};
    dialogAnswers = {path(typed)};
    click("SaveAsBitBtn");
    QCOMPARE(prompt.texts("question").size(), std::size_t(2));
    QCOMPARE(readBytes(existing), form->document().workingImage);
    QCOMPARE(form->document().fileName, existing.toStdString());
  }

  void closeAsksAboutUnsavedChanges_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("passwords");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    QTest::newRow("Cancel stays") << int(Answer::Cancel) << false << false << false;
    QTest::newRow("No closes unsaved") << int(Answer::No) << false << true << false;
    QTest::newRow("Yes saves and closes") << int(Answer::Yes) << false << true << true;
    QTest::newRow("Yes, password warning No, stays") << int(Answer::Yes) << true << false << false;
  }
  void closeAsksAboutUnsavedChanges() {
    QFETCH(int, answer);
    QFETCH(bool, passwords);
    QFETCH(bool, closes);
    QFETCH(bool, written);
    pwtest::CodePlugBuilder b;
    if (passwords) b.u8(pw::kRadioProgramPassword, 0x12);
    const QString file = writePlug("a.rdt", b);
    const auto onDisk = readBytes(file);
    startModified(file);
    form->show();
    prompt.questions = {Answer(answer)};
    QCOMPARE(form->close(), closes);
    QCOMPARE(form->isVisible(), !closes);
    QCOMPARE(prompt.texts("question"), (std::vector<std::string>{kSaveBeforeExit}));
    QCOMPARE(prompt.texts("warning").size(), std::size_t(passwords ? 1 : 0));
    QCOMPARE(readBytes(file), written ? form->document().workingImage : onDisk);
  }

  void escapeClosesOnlyWhenTheWindowItselfHasTheFocus() {
    form = window();
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    auto* open = control<QPushButton>("OpenBitBtn");
    open->setFocus();
    QTest::keyClick(open, Qt::Key_Escape);
    QVERIFY(form->isVisible());
    form->setFocus();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    QVERIFY(!form->isVisible());
  }

  void everyTabCaptionIsWhollyVisibleAndSelectsItsPage() {
    form = window();
    form->show();
    auto* pages = control<QTabWidget>("PageControl");
    auto* rows = control<PageTabRows>("PageTabRows");
    for (int width : {1138, 700}) {
      form->resize(width, 585);
      QCoreApplication::processEvents();
      QRegion taken;
      for (int i = 0; i < pages->count(); ++i) {
        const QRect r = rows->tabRect(i);
        QVERIFY2(r.left() >= 0 && r.right() < rows->width() && r.bottom() < rows->height(), qPrintable(pages->tabText(i)));
        QVERIFY(r.width() > rows->fontMetrics().horizontalAdvance(pages->tabText(i)));
        QVERIFY(!taken.intersects(r));
        taken += r;
      }
    }
    QTest::mouseClick(rows, Qt::LeftButton, {}, rows->tabRect(7).center());
    QCOMPARE(pages->currentIndex(), 7);
    QTest::mouseClick(rows, Qt::LeftButton, {}, rows->tabRect(0).center());
    QCOMPARE(pages->currentIndex(), 0);
  }

  // Save writes what the document saves (the suffix CRC either way: document_test).
  void saveWritesTheCurrentFileAndCloseThenAsksNothing() {
    const QString file = writePlug("a.rdt");
    startModified(file);
    click("SaveBitBtn");
    const auto saved = readBytes(file);
    QCOMPARE(saved, form->document().workingImage);
    QVERIFY(pw::suffixCrcMatches(saved));
    QVERIFY(!form->document().isModified());
    QVERIFY(form->close());
    QVERIFY(dialogs.isEmpty());
    writeIni("");
    QVERIFY(window()->close());  // nothing loaded
    QVERIFY(prompt.shown.empty());
  }
};

QTEST_MAIN(MainFormTest)
#include "mainform_uitest.moc"
