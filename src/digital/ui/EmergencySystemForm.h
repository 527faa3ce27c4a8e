#pragma once
// The Digital Emergency System tab: the emergency systems in the shared list editor
// with a drop-down per field, and the radio-wide remote settings below the list.

#include <vector>

#include "digital/EmergencySystems.h"
#include "widgets/TabForm.h"

class ListEditor;
class QAbstractButton;
class QComboBox;
class QGridLayout;

class TEmergencySystemForm : public TabForm {
  Q_OBJECT
 public:
  explicit TEmergencySystemForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
  ListEditor* listEditor() const { return list_; }

 private:
  struct SettingBox {
    pw::RemoteSetting field;
    QComboBox* box;
    int placeholder;  // the entry shown while no code plug is loaded
  };
  struct SettingToggle {
    pw::RemoteSetting field;
    QAbstractButton* button;
    bool placeholder;
  };
  QGridLayout* makeRemoteSettings();
  void showRemoteSettings();

  ListEditor* list_ = nullptr;
  std::vector<SettingBox> boxes_;
  std::vector<SettingToggle> toggles_;
};
