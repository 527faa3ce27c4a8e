#pragma once
// The Menus tab: which entries of the radio's menu are offered and how long the radio
// stays in menu mode, each written to the image as soon as it changes.

#include <vector>

#include "widgets/TabForm.h"

class QComboBox;
class QToolButton;

class TMenusForm : public TabForm {
  Q_OBJECT
 public:
  explicit TMenusForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  // Re-reads every control; nothing is written while it does.
  void refresh(bool rebuild, int topRow) override;

 private:
  void hangTimeChosen(int index);
  void toggled(std::size_t toggle, bool down);

  QComboBox* MenuHangTimeComboBox = nullptr;
  std::vector<QToolButton*> toggles_;  // in the order of the toggle table
  bool filling_ = false;
};
