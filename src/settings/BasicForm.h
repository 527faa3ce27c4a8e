#pragma once
#include "widgets/TabForm.h"

class TBasicForm : public TabForm {
  Q_OBJECT
public:
  explicit TBasicForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
