#pragma once
#include "widgets/TabForm.h"

class TMenusForm : public TabForm {
  Q_OBJECT
public:
  explicit TMenusForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
