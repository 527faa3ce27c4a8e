#pragma once
// The GPS tab: the 16 GPS systems in one grid, each setting chosen in place.

#include "widgets/TabForm.h"

class ListEditor;
class QLabel;

class TGPSForm : public TabForm {
  Q_OBJECT
 public:
  explicit TGPSForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  // Refills the grid from the image whether or not rebuild is set: names of channels
  // and contacts may have changed on other tabs.
  void refresh(bool rebuild, int topRow) override;
  ListEditor* listEditor() const { return list_; }

 private:
  ListEditor* list_ = nullptr;
  QLabel* TitleLabel = nullptr;
};
