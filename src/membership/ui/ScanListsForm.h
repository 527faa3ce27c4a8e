#pragma once
// The Scan Lists tab: the scan lists, and for one list its channel members, in the
// member editor, with the scan list's priority, transmit and timing drop-downs.

#include <vector>

#include "membership/ScanListSettings.h"
#include "widgets/TabForm.h"

class ListEditor;
class MemberEditor;
class QComboBox;
class QGridLayout;
class QLabel;

class TScanListsForm : public TabForm {
  Q_OBJECT
 public:
  explicit TScanListsForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
  MemberEditor* memberEditor() const { return editor_; }
  ListEditor* listEditor() const;

 private:
  struct Setting {
    pw::ScanListField field;
    QLabel* label;
    QComboBox* box;
    pw::ScanChoices shown{};  // what the box holds: refilled only when this changes
  };
  QGridLayout* addSettings(std::vector<pw::ScanListField> fields);
  void showSettings();
  void showChoices(Setting& setting, const pw::ScanChoices& choices, int current);
  void chosen(const Setting& setting, int index);

  MemberEditor* editor_ = nullptr;
  std::vector<Setting> settings_;
  bool filling_ = false;
};
