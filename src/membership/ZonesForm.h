#pragma once
#include "widgets/TabForm.h"

class TZonesForm : public TabForm {
  Q_OBJECT
public:
  explicit TZonesForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
