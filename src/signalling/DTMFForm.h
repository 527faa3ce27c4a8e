#pragma once
#include "widgets/TabForm.h"

class TDTMFForm : public TabForm {
  Q_OBJECT
public:
  explicit TDTMFForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
