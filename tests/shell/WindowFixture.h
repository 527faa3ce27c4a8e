#pragma once
// What the tests of the whole window share: a folder of their own (also the state folder,
// so no test touches the user's), a scripted prompt, file dialogs answered from a list,
// one 1920 x 1080 desktop, and the window made from those hooks.

// The model headers come first: a member named `slots` would clash with Qt's keyword macro.
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "shell/MainForm.h"
#include "support/ui/UiTestHelpers.h"

namespace pwtest::ui {

class WindowFixture : public QObject {
 protected:
  std::unique_ptr<QTemporaryDir> dir;
  ScriptedPrompt prompt;
  std::unique_ptr<TMainForm> form;
  QStringList dialogs;        // "open <folder>" / "save <folder>" for every file dialog shown
  QStringList dialogAnswers;  // the names the dialogs return, in order (none left: Cancel)
  QStringList wizardAnswers;  // the same for the wizard's file dialogs
  bool platformScreens = false;  // place the window on the screens the platform reports instead

  // A new folder and prompt, no window: call first in every test (or from init()).
  void fresh() {
    form.reset();
    dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_STATE_HOME", dir->filePath("state").toUtf8());
    prompt = ScriptedPrompt();
    dialogs.clear();
    dialogAnswers.clear();
    wizardAnswers.clear();
  }
  QString path(const QString& name) const { return dir->filePath(name); }
  QString iniPath() const { return path("plugwright.ini"); }
  void writeIni(const QByteArray& text) {
    QFile f(iniPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
  }
  QString writePlug(const QString& name, const CodePlugBuilder& b = CodePlugBuilder()) {
    writeFile(path(name).toStdString(), b.bytes());
    return path(name);
  }
  // A window over the settings file as it is now (opening `fileToOpen` when given).
  std::unique_ptr<TMainForm> window(const QString& fileToOpen = {}) {
    TMainFormHooks hooks;
    hooks.fileToOpen = fileToOpen;
    hooks.prompt = &prompt;
    hooks.settingsPath = iniPath();
    if (!platformScreens) hooks.screens = [] { return pw::ScreenMetrics{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 1920}; };
    hooks.chooseFile = [this](bool save, const QString& folder) {
      dialogs << QString(save ? "save " : "open ") + folder;
      return dialogAnswers.isEmpty() ? QString() : dialogAnswers.takeFirst();
    };
    hooks.chooseWizardFile = [this](bool save, const QString& title, const QString&) {
      dialogs << QString(save ? "save " : "open ") + title;
      return wizardAnswers.isEmpty() ? QString() : wizardAnswers.takeFirst();
    };
    return std::make_unique<TMainForm>(hooks);
  }
  // A fresh start with `b` as the last file (none: no code plug) and `ini` added to the
  // settings file; the window is shown and active as `form`.
  void start(const CodePlugBuilder* b, const QByteArray& ini = {}) {
    fresh();
    writeIni((b ? "[CodePlug]\nFile=" + writePlug("plug.rdt", *b).toUtf8() + "\n" : QByteArray()) + ini);
    form = window();
    QVERIFY(showActive(form.get()));
  }
  template <typename W>
  W* control(const char* name) const {
    W* w = form->findChild<W*>(name);
    if (!w) qFatal("no control %s", name);
    return w;
  }
  void click(const char* button) const { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }
  static void settle() {
    for (int i = 0; i < 4; ++i) QCoreApplication::processEvents();
  }
};

}  // namespace pwtest::ui
