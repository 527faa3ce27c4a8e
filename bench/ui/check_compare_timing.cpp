// Times, in the real window on the timings' full code plug (every list at capacity, its
// contacts on one ID): bringing the findings up to date, their rows painted in
// the shown panel, as after every edit step; and opening the compare window against a
// file in which every channel differs (loading it, comparing, showing the tree).

#include <QCoreApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>

#include "UiBench.h"
#include "codeplug/DfuseSuffix.h"
#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "shell/CompareDialog.h"
#include "shell/FindingsView.h"
#include "shell/MainForm.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

namespace {

void settle() {
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}

void runCheckCompareTimings() {
  QTemporaryDir dir;
  const std::vector<std::uint8_t>& plug = pwtest::fullPlugFile();
  const QString settings = uibench::writeWindowFiles(dir.path(), plug, 11);
  if (settings.isEmpty()) return;
  // Every channel calls the next channel's contact.
  std::vector<std::uint8_t> changed = plug;
  for (int c = 0; c < pw::kChannelCount; ++c)
    pw::setU16le(changed, pw::fileOffset(pw::kChannels) + std::size_t(c) * pw::kChannelSize + 6,
                 std::uint16_t((c + 1) % pw::kContactCount + 1));
  pw::setSuffixCrc(changed);
  const QString other = dir.filePath("other.rdt");
  pwtest::writeFile(other.toStdString(), changed);

  pwtest::ScriptedPrompt prompt;
  TMainFormHooks hooks;
  hooks.prompt = &prompt;
  hooks.settingsPath = settings;
  hooks.chooseFile = [&](bool, const QString&) { return other; };
  TMainForm window(hooks);
  window.show();
  settle();
  auto* findings = window.findChild<FindingsView*>();
  window.findChild<QPushButton*>(QStringLiteral("CheckBitBtn"))->click();
  settle();
  if (!window.document().hasImage() || !findings->isVisible()) {
    std::printf("check: the window did not open the code plug with its findings shown\n");
    return;
  }
  std::printf("findings on the full plug: %zu\n", findings->findings().size());
  uibench::report(
      "findings up to date, rows painted",
      [&] {
        findings->recheck();
        findings->viewport()->repaint();
      },
      [] {});

  auto* compare = window.findChild<QPushButton*>(QStringLiteral("CompareBitBtn"));
  uibench::report(
      "compare window, every channel different",
      [&] {
        compare->click();
        settle();
      },
      [&] {
        if (auto* dialog = window.findChild<CompareDialog*>()) dialog->close();
        settle();
      });
  if (auto* dialog = window.findChild<CompareDialog*>())
    std::printf("compare window: %d sections\n", dialog->tree()->model()->rowCount());
}

const uibench::Registration registration("Check and compare in the window, full code plug",
                                         &runCheckCompareTimings);

}  // namespace
