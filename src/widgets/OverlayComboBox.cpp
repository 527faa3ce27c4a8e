#include "widgets/OverlayComboBox.h"

void OverlayComboBox::hidePopup() {
  QComboBox::hidePopup();
  emit popupHidden();
}
