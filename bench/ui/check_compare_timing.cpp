// Times, in the real window on a full code plug (every list at capacity, every member slot
// used, every contact on one ID): bringing the findings up to date, their rows painted in
// the shown panel, as after every edit step; and opening the compare window against a
// file in which every channel differs (loading it, comparing, showing the tree).

#include <QCoreApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>

#include "UiBench.h"
#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "shell/CompareDialog.h"
#include "shell/FindingsView.h"
#include "shell/MainForm.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

namespace {

using pw::ListId;

void settle() {
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}

void fillMembers(pwtest::CodePlugBuilder& b) {
  std::vector<int> channels(pw::kZoneMemberCount), contacts(pw::kRxGroupMemberCount);
  for (int i = 0; i < pw::kZoneCount; ++i) {
    for (int k = 0; k < pw::kZoneMemberCount; ++k) channels[k] = (i * 4 + k) % pw::kChannelCount + 1;
    for (int k = 0; k < pw::kRxGroupMemberCount; ++k) contacts[k] = (i * 4 + k) % pw::kContactCount + 1;
    b.members(ListId::Zones, i, channels).members(ListId::ScanLists, i, channels);
    b.members(ListId::RxGroupLists, i, contacts);
  }
}

void runCheckCompareTimings() {
  QTemporaryDir dir;
  pwtest::CodePlugBuilder builder;
  builder.fillEveryList();
  fillMembers(builder);
  const QString settings = uibench::writeWindowFiles(dir.path(), builder.bytes(), 11);
  if (settings.isEmpty()) return;
  for (int c = 0; c < pw::kChannelCount; ++c) builder.channelContact(c, 1 + c);
  const QString other = dir.filePath("other.rdt");
  pwtest::writeFile(other.toStdString(), builder.bytes());

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
