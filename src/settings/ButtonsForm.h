#pragma once
#include "widgets/TabForm.h"

class TButtonsForm : public TabForm {
  Q_OBJECT
public:
  explicit TButtonsForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
