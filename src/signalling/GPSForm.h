#pragma once
#include "widgets/TabForm.h"

class TGPSForm : public TabForm {
  Q_OBJECT
public:
  explicit TGPSForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
