#include "membership/ScanListsForm.h"

TScanListsForm::TScanListsForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("ScanListsForm");
}

void TScanListsForm::refresh(bool, int) {}
