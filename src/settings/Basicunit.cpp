#include "settings/Basicunit.h"

TBasicForm::TBasicForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("BasicForm");
}

void TBasicForm::refresh(bool, int) {}
