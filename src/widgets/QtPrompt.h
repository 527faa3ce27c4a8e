#pragma once
// The model's questions and messages as modal message boxes over the main window.

#include "codeplug/Prompt.h"

class QWidget;

class QtPrompt final : public pw::Prompt {
public:
  explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
  pw::RefusalAnswer refuse(const std::string& text) override;
  void error(const std::string& text) override;
  bool warnYesNo(const std::string& text) override;
  pw::Answer question(const std::string& text, bool withCancel) override;
  void inform(const std::string& title, const std::string& text) override;

private:
  QWidget* parent_;
};
