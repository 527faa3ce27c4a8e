#pragma once
#include "app/TabForm.h"

class TChannelsForm : public TabForm {
  Q_OBJECT
public:
  explicit TChannelsForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
