#include "digital/EmergencySystemForm.h"

TEmergencySystemForm::TEmergencySystemForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("EmergencySystemForm");
}

void TEmergencySystemForm::refresh(bool, int) {}
