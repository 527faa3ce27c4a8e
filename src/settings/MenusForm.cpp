#include "settings/MenusForm.h"

TMenusForm::TMenusForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("MenusForm");
}

void TMenusForm::refresh(bool, int) {}
