#pragma once
// The Basic tab: what the code plug says about the radio, read-only.

#include <vector>

#include "widgets/TabForm.h"

class QComboBox;
class QLineEdit;

class TBasicForm : public TabForm {
  Q_OBJECT
 public:
  explicit TBasicForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  // Reads every field whether or not a rebuild is asked for; never writes.
  void refresh(bool rebuild, int topRow) override;

 private:
  QComboBox* FrequencyRangeComboBox = nullptr;
  std::vector<QLineEdit*> fields_;  // in the order of the field table
};
