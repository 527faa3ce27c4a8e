#include "digital/Textmessageunit.h"

TTextMessageForm::TTextMessageForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("TextMessageForm");
}

void TTextMessageForm::refresh(bool, int) {}
