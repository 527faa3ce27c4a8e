#pragma once
#include "app/TabForm.h"

class TDigitalContactsForm : public TabForm {
  Q_OBJECT
public:
  explicit TDigitalContactsForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
  // The Show "No" option: whether an unset receive tone shows "No" or nothing.
  bool showNoRxTone() const { return showNoRxTone_; }
  void setShowNoRxTone(bool on) { showNoRxTone_ = on; }

private:
  bool showNoRxTone_ = false;
};
