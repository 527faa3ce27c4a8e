#pragma once
// The Digital Rx Groups tab: the rx group lists, and for one list its contact members,
// in the member editor.

#include "widgets/TabForm.h"

class ListEditor;
class MemberEditor;

class TGroupsForm : public TabForm {
  Q_OBJECT
 public:
  explicit TGroupsForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
  MemberEditor* memberEditor() const { return editor_; }
  ListEditor* listEditor() const;

 private:
  MemberEditor* editor_ = nullptr;
};
