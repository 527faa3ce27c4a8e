#pragma once
// The General tab: the radio-wide settings, each written to the image as soon as it
// changes. The power-on and radio program password boxes check their length on Enter,
// Escape and when the focus leaves them.

#include <memory>
#include <vector>

#include "widgets/TabForm.h"

class QGridLayout;
class QLineEdit;
namespace general_form {
struct ControlDef;
}

class TGeneralForm : public TabForm {
  Q_OBJECT
 public:
  explicit TGeneralForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  ~TGeneralForm() override;
  // Re-reads every control from the block; nothing is written while it does.
  void refresh(bool rebuild, int topRow) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Choice;
  struct Toggle;
  struct Box;

  void build();
  void addControl(const general_form::ControlDef& def, QWidget* parent, QGridLayout* grid, int row);
  bool ignoring() const;
  void showToggles();
  void boxEdited(Box& box, const QString& text);
  // Enter or Escape (key) or leaving; false when the box should keep the focus.
  bool checkPassword(Box& box, bool leaving);
  void leaveChecked(Box& box);

  std::vector<std::unique_ptr<Choice>> choices_;
  std::vector<std::unique_ptr<Toggle>> toggles_;
  std::vector<std::unique_ptr<Box>> boxes_;
  bool filling_ = false;
  bool checking_ = false;  // a password message is up: its own focus changes are no leaving
};
