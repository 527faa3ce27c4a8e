#pragma once
#include "widgets/TabForm.h"

class TScanListsForm : public TabForm {
  Q_OBJECT
public:
  explicit TScanListsForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
