#include "digital/VoiceEncryptionForm.h"

TVoiceEncryptionForm::TVoiceEncryptionForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("VoiceEncryptionForm");
}

void TVoiceEncryptionForm::refresh(bool, int) {}
