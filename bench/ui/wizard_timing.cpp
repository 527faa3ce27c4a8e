// Times the wizard's area page on a 12,000-entry repeater list: ticking a country (or
// unticking it) recounts the repeaters in the area and shows the count.

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>

#include "UiBench.h"
#include "support/CodePlugBuilder.h"
#include "support/RepeaterLists.h"
#include "support/ScriptedPrompt.h"
#include "wizard/ui/CodePlugWizard.h"

namespace {

void runWizardTimings() {
  QTemporaryDir dir;
  const std::string list = pwtest::repeaterListJson(12000);
  const QString file = dir.filePath(QStringLiteral("rptrs.json"));
  pwtest::writeFile(file.toStdString(), {list.begin(), list.end()});
  pwtest::PromptedDocument prompted;
  if (pwtest::CodePlugBuilder().loadInto(prompted.doc) != 0) return;
  CodePlugWizard wizard(prompted.doc, prompted.prompt);
  wizard.resize(1138, 585);
  wizard.show();
  wizard.findChild<QLineEdit*>(QStringLiteral("RepeaterFileEdit"))->setText(file);
  wizard.next();
  QCoreApplication::processEvents();
  auto* countries = wizard.findChild<QListWidget*>(QStringLiteral("CountryList"));
  auto* count = wizard.findChild<QLabel*>(QStringLiteral("AreaCountLabel"));
  if (wizard.currentId() != CodePlugWizard::AreaPage || countries->count() == 0) {
    std::printf("wizard: the area page did not open\n");
    return;
  }
  int row = 0;
  uibench::report(
      "wizard: tick a country, recount 12,000 repeaters",
      [&] {
        QListWidgetItem* item = countries->item(row);
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        count->repaint();
      },
      [&] { row = (row + 1) % countries->count(); });
}

const uibench::Registration registration("Wizard area page, 12,000 repeaters", &runWizardTimings);

}  // namespace
