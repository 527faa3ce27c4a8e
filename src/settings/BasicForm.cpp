#include "settings/BasicForm.h"

TBasicForm::TBasicForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("BasicForm");
}

void TBasicForm::refresh(bool, int) {}
