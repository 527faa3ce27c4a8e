#pragma once
#include "widgets/TabForm.h"

class TVoiceEncryptionForm : public TabForm {
  Q_OBJECT
public:
  explicit TVoiceEncryptionForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
};
