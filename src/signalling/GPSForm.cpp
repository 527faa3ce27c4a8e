#include "signalling/GPSForm.h"

TGPSForm::TGPSForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("GPSForm");
}

void TGPSForm::refresh(bool, int) {}
