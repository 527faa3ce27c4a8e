#include "membership/ui/GroupsForm.h"

#include "membership/ui/MemberEditor.h"

TGroupsForm::TGroupsForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName(QStringLiteral("GroupsForm"));
  setWindowTitle(QStringLiteral("  Digital Rx Groups  "));
  editor_ = new MemberEditor(doc,
                             {.owner = pw::ListId::RxGroupLists,
                              .title = "Groups",
                              .availableCaption = "Available Contacts ",
                              .membersTitle = "Contact Members",
                              .membersEnd = ". ",
                              .numberCaption = "No.",
                              .detailCaption = "ID",
                              .fullAddEnablesRemove = true},
                             this);
  addRecordGrid({pw::PlugSection::RxGroupLists, editor_->records()});
  for (ListEditor* side : {editor_->available(), editor_->members()}) addKeptGrid(side);
  editor_->layOutTab(
      this,
      QStringLiteral("List of contacts / talk groups that you can set each digital channel to monitor "));
  refresh(true, 0);
}

ListEditor* TGroupsForm::listEditor() const { return editor_->records(); }

void TGroupsForm::refresh(bool rebuild, int topRow) { editor_->refresh(rebuild, topRow); }
