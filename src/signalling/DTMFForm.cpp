#include "signalling/DTMFForm.h"

TDTMFForm::TDTMFForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("DTMFForm");
}

void TDTMFForm::refresh(bool, int) {}
