#pragma once
#include "app/TabForm.h"

class TTextMessageForm : public TabForm {
  Q_OBJECT
public:
  explicit TTextMessageForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
