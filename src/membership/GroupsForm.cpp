#include "membership/GroupsForm.h"

TGroupsForm::TGroupsForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("GroupsForm");
}

void TGroupsForm::refresh(bool, int) {}
