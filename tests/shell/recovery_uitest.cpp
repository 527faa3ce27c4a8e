// Unsaved edits outlive the editor: the window writes them to a recovery file while they
// are unsaved, offers them back when their file is opened again, and removes the file
// once they are saved or discarded. The crash is a real one: a second process runs the
// window, makes an edit and is killed with SIGKILL once its recovery file is written.

// The model headers come first: a member named `slots` would clash with Qt's keyword macro.
#include "shell/WindowFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <cstring>

#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "shell/Recovery.h"
#include "widgets/TabForm.h"

using pw::Answer;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr const char* kEditorMode = "--edit-then-wait";
constexpr int kChannelsTab = 11;

Bytes readBytes(const QString& path) { return pwtest::readFile(path.toStdString()); }

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

  // A recovery file of `file` holding `image`, written `age` seconds after the file.
  void placeRecovery(const Bytes& image, int age) {
    QVERIFY(QDir().mkpath(RecoveryService::folder()));
    const QString at = RecoveryService::imagePath(file);
    pwtest::writeFile(at.toStdString(), image);
    QFile f(at);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QFileInfo(file).lastModified().addSecs(age), QFileDevice::FileModificationTime));
  }
  bool gone() const {
    return !QFile::exists(RecoveryService::imagePath(file)) &&
           !QFile::exists(RecoveryService::pathFilePath(file));
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
    QFile named(RecoveryService::pathFilePath(file));
    QVERIFY(named.open(QIODevice::ReadOnly));
    QCOMPARE(named.readAll(), QFile::encodeName(file) + "\n");
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

  // Declined, not a code plug, or older than the file: removed, and the file opens as it is.
  void recoveryNotTakenIsRemoved_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("age");
    QTest::addColumn<QString>("shown");
    QTest::newRow("declined") << int(pw::kRdtFileSize) << 60 << "question";
    QTest::newRow("not a code plug") << 1000 << 60 << "error";
    QTest::newRow("older than the file") << int(pw::kRdtFileSize) << -60 << "";
  }
  void recoveryNotTakenIsRemoved() {
    QFETCH(int, size);
    QFETCH(int, age);
    QFETCH(QString, shown);
    Bytes image = onDisk;
    image.resize(std::size_t(size));
    image[pw::kImageBase + pw::kGeneralSettings] ^= 0x01;
    placeRecovery(image, age);
    form = window(file);
    QCOMPARE(form->document().workingImage, onDisk);
    QVERIFY(!form->document().isModified());
    QCOMPARE(prompt.shown.size(), std::size_t(shown.isEmpty() ? 0 : 1));
    if (shown == "error") {
      const std::string text = prompt.texts("error").at(0);
      QVERIFY2(text.find("that cannot be restored (Code plug file size error).\n\nThey have been removed.") !=
                   std::string::npos,
               text.c_str());
    }
    if (!shown.isEmpty()) QCOMPARE(QString::fromStdString(prompt.shown.front().kind), shown);
    form->recovery().waitForWrites();
    QVERIFY(gone());
  }

  // Once a recovery file was written, whatever ends the unsaved changes removes it.
  void recoveryGoesWhenTheChangesAreSavedOrDiscarded_data() {
    QTest::addColumn<QString>("action");
    for (const char* a : {"save", "reload", "open another file", "close and save", "close and discard"})
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
    form->recovery().waitForWrites();
    QVERIFY(gone());
  }
};

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], kEditorMode) == 0) return runEditor(argc, argv);
  QApplication app(argc, argv);
  return pwtest::ui::runTest<RecoveryTest>(argc, argv);
}

#include "recovery_uitest.moc"
