#include "contacts/Digitalcontactsunit.h"

TDigitalContactsForm::TDigitalContactsForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("DigitalContactsForm");
}

void TDigitalContactsForm::refresh(bool, int) {}
