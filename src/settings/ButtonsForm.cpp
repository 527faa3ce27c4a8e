#include "settings/ButtonsForm.h"

TButtonsForm::TButtonsForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("ButtonsForm");
}

void TButtonsForm::refresh(bool, int) {}
