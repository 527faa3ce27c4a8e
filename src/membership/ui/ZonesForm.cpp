#include "membership/ui/ZonesForm.h"

#include "membership/ui/MemberEditor.h"

TZonesForm::TZonesForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName(QStringLiteral("ZonesForm"));
  setWindowTitle(QStringLiteral("  Zones  "));
  editor_ = new MemberEditor(doc,
                             {.owner = pw::ListId::Zones,
                              .title = "Zones",
                              .availableCaption = "Available Channels ",
                              .membersTitle = "Channel Members",
                              .numberCaption = "Chan",
                              .detailCaption = "Mode"},
                             this);
  addRecordGrid({pw::PlugSection::Zones, editor_->records()});
  for (ListEditor* side : {editor_->available(), editor_->members()}) addKeptGrid(side);
  editor_->layOutTab(this,
                     QStringLiteral("Set what the central rotary knob selects on the top of your radio  "));
  refresh(true, 0);
}

ListEditor* TZonesForm::listEditor() const { return editor_->records(); }

void TZonesForm::refresh(bool rebuild, int topRow) { editor_->refresh(rebuild, topRow); }
