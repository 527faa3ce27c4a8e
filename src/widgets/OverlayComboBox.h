#pragma once
// The drop-down list the overlay editors open over a cell.

#include <QComboBox>

// A drop-down list that says when its list closes.
class OverlayComboBox : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;
  void hidePopup() override;
 signals:
  void popupHidden();
};
