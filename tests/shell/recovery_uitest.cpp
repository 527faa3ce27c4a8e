// Unsaved edits outlive the editor: the window writes them to a recovery file while they
// are unsaved, offers them back when their file is opened again, and removes the file
// once they are saved or discarded. The crash is a real one in the first test: a second
// process runs the window, makes an edit and is killed with SIGKILL once its recovery file
// is written; elsewhere a window destroyed without being closed stands for it.

// The model headers come first: a member named `slots` would clash with Qt's keyword macro.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "codeplug/FileWriter.h"
#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "shell/LeftoverEditsDialog.h"
#include "shell/Recovery.h"
#include "shell/WindowFixture.h"
#include "widgets/TabForm.h"

using pw::Answer;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr const char* kEditorMode = "--edit-then-wait";
constexpr int kChannelsTab = 11;

Bytes readBytes(const QString& path) { return pwtest::readFile(path.toStdString()); }
QString timeText(const QDateTime& t) { return QLocale().toString(t, QLocale::ShortFormat); }

// A disk that fills up: once full, every write fails as a full disk's does.
class FillingDisk : public pw::FileWriter {
 public:
  std::atomic<bool> full = false;

 protected:
  long writeChunk(int fd, const std::uint8_t* data, std::size_t length) override {
    if (!full) return FileWriter::writeChunk(fd, data, length);
    errno = ENOSPC;
    return -1;
  }
};

// The editor as the program runs it, given FILE and EDITED: it opens FILE, toggles VOX on
// the first channel through the Channels tab, writes the image as edited to EDITED and
// goes on running until it is killed.
int runEditor(int argc, char** argv) {
  QApplication app(argc, argv);
  TMainFormHooks hooks;
  hooks.fileToOpen = QString::fromLocal8Bit(argv[2]);
  hooks.settingsPath = QString::fromLocal8Bit(argv[3]) + ".ini";
  TMainForm form(hooks);
  if (!pwtest::ui::showActive(&form)) return 2;
  form.findChild<QTabWidget*>("PageControl")->setCurrentIndex(kChannelsTab);
  QTest::mouseClick(form.tabForm(kChannelsTab)->findChild<QAbstractButton*>("VOXSpeedButton"),
                    Qt::LeftButton);
  for (int i = 0; i < 4; ++i) QCoreApplication::processEvents();
  if (!form.document().isModified()) return 3;
  pwtest::writeFile(argv[3], form.document().workingImage);
  return app.exec();
}

}  // namespace

class RecoveryTest : public pwtest::ui::WindowFixture {
  Q_OBJECT

  QString file;  // the code plug the window opens
  Bytes onDisk;  // its bytes

  // A recovery file of `file` holding `image`, written after the file.
  void placeRecovery(const Bytes& image) {
    QVERIFY(QDir().mkpath(RecoveryService::folder()));
    const QString at = RecoveryService::imagePath(file);
    pwtest::writeFile(at.toStdString(), image);
    QFile f(at);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QFileInfo(file).lastModified().addSecs(60), QFileDevice::FileModificationTime));
  }
  static bool gone(const QString& plug) {
    return !QFile::exists(RecoveryService::imagePath(plug)) &&
           !QFile::exists(RecoveryService::metaPath(plug));
  }
  bool gone() const { return gone(file); }
  // An edit in `w`, and the time for its recovery file to be written.
  static void edit(TMainForm& w, std::size_t at = pw::kGeneralSettings) {
    w.document().bytes(at, 1)[0] ^= 0x01;
    w.recovery().changed();
    QTest::qWait(300);
    w.recovery().waitForWrites();
  }
  // An edit in `w`, kept in a recovery file; its image.
  static Bytes editAndKeep(TMainForm& w) {
    w.document().bytes(pw::kGeneralSettings, 1)[0] ^= 0x01;
    w.recovery().changed();
    const QString image = RecoveryService::imagePath(QString::fromStdString(w.document().fileName));
    if (!QTest::qWaitFor([&] { return readBytes(image) == w.document().workingImage; }, 5000))
      qWarning("no recovery file written");
    return w.document().workingImage;
  }
  static void clickIn(QWidget* w, const char* button) {
    QTest::mouseClick(w->findChild<QAbstractButton*>(button), Qt::LeftButton);
  }

 private slots:
  void init() {
    fresh();
    qputenv(RecoveryService::kIntervalVariable, "100");
    file = writePlug("plug.rdt", pwtest::CodePlugBuilder().fill(pw::ListId::Channels, 3, "Ch "));
    onDisk = readBytes(file);
  }

  void cleanup() { form.reset(); }

  void editsOfAKilledEditorComeBackAsAnUnsavedEdit() {
    const QString edited = path("edited.rdt");
    QProcess editor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    editor.setProcessEnvironment(env);
    editor.setProcessChannelMode(QProcess::ForwardedChannels);
    editor.start(QCoreApplication::applicationFilePath(), {kEditorMode, file, edited});
    QVERIFY(editor.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(
        QFile::exists(RecoveryService::imagePath(file)) || editor.state() == QProcess::NotRunning, 20000);
    QCOMPARE(editor.state(), QProcess::Running);
    editor.kill();
    QVERIFY(editor.waitForFinished());
    QCOMPARE(editor.exitStatus(), QProcess::CrashExit);
    const Bytes image = readBytes(edited);
    QVERIFY(image != onDisk);
    QCOMPARE(readBytes(RecoveryService::imagePath(file)), image);
    QFile named(RecoveryService::metaPath(file));
    QVERIFY(named.open(QIODevice::ReadOnly));
    QCOMPARE(named.readLine(), QFile::encodeName(QFileInfo(file).canonicalFilePath()) + "\n");
    QCOMPARE(QFileInfo(RecoveryService::folder()).permissions() & 0x0777, QFile::Permissions(0x0700));

    const QString when =
        QLocale().toString(QFileInfo(RecoveryService::imagePath(file)).lastModified(), QLocale::ShortFormat);
    prompt.questions = {Answer::Yes};
    form = window(file);
    pw::CodePlugDocument& doc = form->document();
    QCOMPARE(prompt.texts("question"),
             std::vector<std::string>{
                 (file + " has unsaved changes from " + when + ".\n\nRestore them ?").toStdString()});
    QCOMPARE(doc.workingImage, image);
    QVERIFY(doc.isModified());
    QVERIFY(form->findChild<QPushButton*>("SaveBitBtn")->isEnabled());
    click("UndoBitBtn");
    QCOMPARE(doc.workingImage, onDisk);
    click("RedoBitBtn");
    QCOMPARE(doc.workingImage, image);
    click("SaveBitBtn");
    QCOMPARE(readBytes(file), doc.workingImage);  // with the suffix CRC of the saved bytes
    form->recovery().waitForWrites();
    QVERIFY(gone());
  }

  // Declined or not a code plug: removed, and the file opens as it is.
  void recoveryNotTakenIsRemoved_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("shown");
    QTest::newRow("declined") << int(pw::kRdtFileSize) << "question";
    QTest::newRow("not a code plug") << 1000 << "error";
  }
  void recoveryNotTakenIsRemoved() {
    QFETCH(int, size);
    QFETCH(QString, shown);
    Bytes image = onDisk;
    image.resize(std::size_t(size));
    image[pw::kImageBase + pw::kGeneralSettings] ^= 0x01;
    placeRecovery(image);
    form = window(file);
    QCOMPARE(form->document().workingImage, onDisk);
    QVERIFY(!form->document().isModified());
    QCOMPARE(prompt.shown.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(prompt.shown.front().kind), shown);
    if (shown == "error") {
      const std::string text = prompt.texts("error").at(0);
      QVERIFY2(text.find("that cannot be restored (Code plug file size error).\n\nThey have been removed.") !=
                   std::string::npos,
               text.c_str());
    }
    form->recovery().waitForWrites();
    QVERIFY(gone());
  }

  // A file changed since the edits were made keeps them, offered with that said; a file only
  // touched is still the one they were made on.
  void editsOnAChangedFileAreOfferedWithThatSaid_data() {
    QTest::addColumn<bool>("otherBytes");
    QTest::addColumn<int>("age");  // of the file's new time, from now, in seconds
    QTest::newRow("touched") << false << 120;
    QTest::newRow("written since") << true << 120;
    QTest::newRow("another plug moved over it with an old time") << true << -86400;
  }
  void editsOnAChangedFileAreOfferedWithThatSaid() {
    QFETCH(bool, otherBytes);
    QFETCH(int, age);
    form = window(file);
    const Bytes edited = editAndKeep(*form);
    form.reset();
    if (otherBytes) writePlug("plug.rdt", pwtest::CodePlugBuilder().fill(pw::ListId::Channels, 5, "New "));
    QFile plug(file);
    QVERIFY(plug.open(QIODevice::ReadWrite));
    QVERIFY(plug.setFileTime(QDateTime::currentDateTime().addSecs(age), QFileDevice::FileModificationTime));
    plug.close();
    const QFileInfo now(file);
    QString expected = file + " has unsaved changes from " +
                       timeText(QFileInfo(RecoveryService::imagePath(file)).lastModified());
    if (otherBytes)
      expected += ", made before the file was changed on " +
                  timeText(std::max(now.lastModified(), now.metadataChangeTime()));
    prompt.questions = {Answer::Yes};
    form = window(file);
    QCOMPARE(prompt.texts("question"),
             std::vector<std::string>{(expected + ".\n\nRestore them ?").toStdString()});
    QCOMPARE(form->document().workingImage, edited);
  }

  // Once a recovery file was written, whatever ends the unsaved changes removes it.
  void recoveryGoesWhenTheChangesAreSavedOrDiscarded_data() {
    QTest::addColumn<QString>("action");
    for (const char* a : {"save", "reload", "open another file", "close and save", "close and discard",
                          "edited back to the file"})
      QTest::newRow(a) << a;
  }
  void recoveryGoesWhenTheChangesAreSavedOrDiscarded() {
    QFETCH(QString, action);
    form = window(file);
    form->document().bytes(pw::kGeneralSettings, 1)[0] ^= 0x01;
    form->recovery().changed();
    QTRY_VERIFY(QFile::exists(RecoveryService::imagePath(file)));
    prompt.questions = {action == "close and discard" ? Answer::No : Answer::Yes};
    if (action == "save") click("SaveBitBtn");
    if (action == "reload") click("ReloadBitBtn");
    if (action == "open another file") {
      dialogAnswers = {writePlug("other.rdt", pwtest::CodePlugBuilder())};
      click("OpenBitBtn");
      QCOMPARE(form->document().fileName, path("other.rdt").toStdString());
    }
    if (action.startsWith("close")) QVERIFY(form->close());
    if (action == "edited back to the file") edit(*form);  // as an undo does
    form->recovery().waitForWrites();
    QVERIFY(gone());
  }

  // A second window on the file leaves the first one's edits alone, whatever it does.
  void aSecondWindowLeavesTheFirstOnesEditsAlone() {
    form = window(file);
    const Bytes edited = editAndKeep(*form);
    auto second = window(file);
    QCOMPARE(prompt.texts("question"), std::vector<std::string>{});
    QCOMPARE(prompt.texts("inform"),
             std::vector<std::string>{(file + " is already open with unsaved changes in another window.\n\n"
                                              "This window shows the file as saved, without those changes. "
                                              "Whichever window saves last replaces what the other saved.")
                                          .toStdString()});
    QCOMPARE(second->document().workingImage, onDisk);
    // Its own edits cannot be kept beside them: said once.
    edit(*second);
    edit(*second);
    QTRY_COMPARE(prompt.texts("inform").size(), std::size_t(2));
    settle();
    QCOMPARE(prompt.texts("inform").back(), ("Unsaved changes cannot be kept for recovery: " + file +
                                             ": it is open with unsaved changes in another window")
                                                .toStdString());
    prompt.questions = {Answer::Yes};
    clickIn(second.get(), "ReloadBitBtn");
    dialogAnswers = {writePlug("other.rdt")};
    clickIn(second.get(), "OpenBitBtn");
    QCOMPARE(second->document().fileName, path("other.rdt").toStdString());
    QVERIFY(second->close());
    second.reset();
    QVERIFY(window(file)->close());
    form->recovery().waitForWrites();
    QVERIFY(readBytes(RecoveryService::imagePath(file)) == edited);
  }

  // Save writes through a link: edits made through it belong to the file it names.
  void editsThroughALinkAreOfferedUnderTheFilesOwnName() {
    const QString link = path("link.rdt");
    QVERIFY(QFile::link(file, link));
    form = window(link);
    const Bytes edited = editAndKeep(*form);
    form.reset();
    prompt.questions = {Answer::Yes};
    form = window(file);
    QCOMPARE(prompt.texts("question").size(), std::size_t(1));
    QCOMPARE(form->document().workingImage, edited);
  }

  void aStateFolderThatCannotBeMadeIsSaidOnce() {
    QVERIFY(QDir().mkpath(QFileInfo(RecoveryService::folder()).path()));
    pwtest::writeFile(RecoveryService::folder().toStdString(), {1});  // a file where the folder should be
    form = window(file);
    edit(*form);
    edit(*form);
    QTRY_COMPARE(prompt.texts("inform").size(), std::size_t(1));
    settle();
    QCOMPARE(prompt.texts("inform"),
             std::vector<std::string>{("Unsaved changes cannot be kept for recovery: " +
                                       RecoveryService::folder() + ": Not a directory")
                                          .toStdString()});
  }

  // The disk fills after the first write: the first image is never offered as the last.
  void aFullDiskIsSaidOnceAndTheOlderImageOfferedAsOlder() {
    FillingDisk disk;
    form = window(file);
    form->recovery().setFileWriter(&disk);
    const Bytes first = editAndKeep(*form);
    disk.full = true;
    edit(*form, pw::kGeneralSettings + 1);
    edit(*form, pw::kGeneralSettings + 1);
    QTRY_COMPARE(prompt.texts("inform").size(), std::size_t(1));
    settle();
    QCOMPARE(prompt.texts("inform"),
             std::vector<std::string>{("Unsaved changes cannot be kept for recovery: " +
                                       RecoveryService::metaPath(file) + ": No space left on device")
                                          .toStdString()});
    form.reset();
    const QString when =
        timeText(QFileInfo(RecoveryService::folder() + "/" +
                           QFileInfo(RecoveryService::imagePath(file)).completeBaseName() + ".older.rdt")
                     .lastModified());
    prompt.questions = {Answer::Yes};
    form = window(file);
    QCOMPARE(prompt.texts("question"),
             std::vector<std::string>{(file + " has unsaved changes from " + when +
                                       ". Changes made after those could not be kept.\n\nRestore them ?")
                                          .toStdString()});
    QCOMPARE(form->document().workingImage, first);
  }

  // A writer killed mid-write leaves a temporary file: the next start removes it, unless a
  // running window still writes that file.
  void killedWritersTemporaryFilesGoAtStart() {
    form = window(file);
    editAndKeep(*form);
    const QString other = writePlug("other.rdt");
    const QStringList dead = {RecoveryService::imagePath(other) + ".Ab12Cd",
                              RecoveryService::metaPath(other) + ".x9Y8z7"};
    const QString live = RecoveryService::imagePath(file) + ".Qw34Er";
    for (const QString& name : dead + QStringList{live}) pwtest::writeFile(name.toStdString(), Bytes(262144));
    auto second = window({});
    second->recovery().waitForWrites();
    for (const QString& name : dead) QVERIFY2(!QFile::exists(name), qPrintable(name));
    QVERIFY(QFile::exists(live));
  }

  // Edits of files deleted since: listed once, each saved under a name of the user's or discarded.
  void editsOfDeletedFilesAreSavedOrDiscarded() {
    const QString a = writePlug("a.rdt"), b = writePlug("b.rdt");
    Bytes expected;
    for (const QString& plug : {a, b}) {
      form = window(plug);
      editAndKeep(*form);
      expected = form->document().imageAsSaved();
      form.reset();
      QVERIFY(QFile::remove(plug));
    }
    form = window();
    settle();
    QPointer<LeftoverEditsDialog> dialog = form->findChild<LeftoverEditsDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    auto* list = dialog->findChild<QTreeWidget*>("LeftoverListView");
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(0), a);
    QCOMPARE(list->topLevelItem(1)->text(0), b);
    prompt.questions = {Answer::Yes};
    clickIn(dialog, "DiscardLeftoverBitBtn");
    QCOMPARE(prompt.texts("question"),
             std::vector<std::string>{("Discard the unsaved changes of " + a + " ?").toStdString()});
    dialogAnswers = {path("kept")};
    clickIn(dialog, "SaveLeftoverBitBtn");
    QCOMPARE(readBytes(path("kept.rdt")), expected);
    form->recovery().waitForWrites();
    QVERIFY(gone(a) && gone(b));
    QTRY_VERIFY(!dialog);
  }
};

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], kEditorMode) == 0) return runEditor(argc, argv);
  QApplication app(argc, argv);
  return pwtest::ui::runTest<RecoveryTest>(argc, argv);
}

#include "recovery_uitest.moc"
