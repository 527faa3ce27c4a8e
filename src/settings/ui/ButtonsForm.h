#pragma once
// The Buttons tab: the side buttons' functions and long press duration in drop-downs,
// the one-touch access entries and the number-key contacts in two fixed grids.

#include <array>

#include "widgets/TabForm.h"

class ListEditor;
class OverlayEditors;
class QComboBox;
class QLabel;

class TButtonsForm : public TabForm {
  Q_OBJECT
 public:
  explicit TButtonsForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  // Re-reads every control and both grids from the image.
  void refresh(bool rebuild, int topRow) override;
  ListEditor* oneTouchList() const { return oneTouch_; }
  ListEditor* numberKeyList() const { return numberKeys_; }

 private:
  ListEditor* makeOneTouchList();
  ListEditor* makeNumberKeyList();
  QComboBox* makeSettingBox(int which, const char* name, const char* hint);

  OverlayEditors* editors_ = nullptr;
  std::array<QComboBox*, 5> settingBoxes_{};  // by pw::ButtonSetting
  ListEditor* oneTouch_ = nullptr;
  ListEditor* numberKeys_ = nullptr;
  QLabel* TitleLabel = nullptr;
};
