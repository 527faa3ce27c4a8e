// Times undo and redo in the real window of a step that changed all 1000 channels, with
// the Channels tab showing (its rebuild and the window's paint included), on a code
// plug whose every list the tab names is full.

#include <QAbstractButton>
#include <QCoreApplication>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "UiBench.h"
#include "channels/ui/ChannelsForm.h"
#include "shell/MainForm.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"
#include "widgets/ListEditor.h"

namespace {

void settle() { QCoreApplication::processEvents(); }

void runUndoTimings() {
  pwtest::CodePlugBuilder builder;
  builder.fillEveryList();
  QTemporaryDir dir;
  const QString settings = uibench::writeWindowFiles(dir.path(), builder.bytes(), 11);
  if (settings.isEmpty()) return;

  pwtest::ScriptedPrompt prompt;
  TMainFormHooks hooks;
  hooks.prompt = &prompt;
  hooks.settingsPath = settings;
  TMainForm window(hooks);
  window.show();
  settle();
  auto* channels = static_cast<TChannelsForm*>(window.tabForm(11));
  if (!window.document().hasImage() || !channels->isVisible()) {
    std::printf("undo: the window did not open the code plug on the Channels tab\n");
    return;
  }
  // One step over every channel, as the user makes it: select all, toggle VOX.
  ListEditor* list = channels->listEditor();
  list->view()->selectAll();
  settle();
  QTest::mouseClick(channels->findChild<QAbstractButton*>(QStringLiteral("VOXSpeedButton")), Qt::LeftButton);
  settle();
  settle();  // the step ends after the click's own posted work
  auto* undo = window.findChild<QPushButton*>(QStringLiteral("UndoBitBtn"));
  auto* redo = window.findChild<QPushButton*>(QStringLiteral("RedoBitBtn"));
  if (!undo->isEnabled()) {
    std::printf("undo: the toggle recorded no step\n");
    return;
  }
  std::printf("step \"%s\", history bytes %zu\n", window.document().history().undoLabel().c_str(),
              window.document().history().memoryUsed());
  // Until the window is idle again: the refresh, its deferred work and the paint of
  // what it changed (a forced repaint of the whole window would paint it twice).
  const auto clickAndShow = [&](QPushButton* button) {
    button->click();
    settle();
    settle();
  };
  uibench::report(
      "undo of a step over 1000 channels", [&] { clickAndShow(undo); },
      [&] {
        if (window.document().history().canRedo()) redo->click();
      });
  uibench::report(
      "redo of a step over 1000 channels", [&] { clickAndShow(redo); },
      [&] {
        if (window.document().history().canUndo()) undo->click();
      });
}

const uibench::Registration registration("Undo and redo in the window, Channels tab", &runUndoTimings);

}  // namespace
