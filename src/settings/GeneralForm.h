#pragma once
#include "widgets/TabForm.h"

class TGeneralForm : public TabForm {
  Q_OBJECT
public:
  explicit TGeneralForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
