#pragma once
// The Zones tab: the zones, and for one zone its channel members, in the member editor.

#include "widgets/TabForm.h"

class ListEditor;
class MemberEditor;

class TZonesForm : public TabForm {
  Q_OBJECT
 public:
  explicit TZonesForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
  MemberEditor* memberEditor() const { return editor_; }
  ListEditor* listEditor() const;

 private:
  MemberEditor* editor_ = nullptr;
};
