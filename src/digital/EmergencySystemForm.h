#pragma once
#include "widgets/TabForm.h"

class TEmergencySystemForm : public TabForm {
  Q_OBJECT
public:
  explicit TEmergencySystemForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
