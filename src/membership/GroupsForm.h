#pragma once
#include "widgets/TabForm.h"

class TGroupsForm : public TabForm {
  Q_OBJECT
public:
  explicit TGroupsForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
