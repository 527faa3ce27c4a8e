#include "membership/ZonesForm.h"

TZonesForm::TZonesForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("ZonesForm");
}

void TZonesForm::refresh(bool, int) {}
