#include "settings/GeneralForm.h"

TGeneralForm::TGeneralForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("GeneralForm");
}

void TGeneralForm::refresh(bool, int) {}
