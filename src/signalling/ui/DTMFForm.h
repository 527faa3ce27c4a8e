#pragma once
// The DTMF tab: the systems, encode strings and decode entries on three pages, each a
// fixed-size grid edited in place. No DTMF data lives here: every cell is read from
// the image.

#include "widgets/TabForm.h"

class ListEditor;
class OverlayEditors;
class QTabWidget;

class TDTMFForm : public TabForm {
  Q_OBJECT
 public:
  explicit TDTMFForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  // Refills the three grids whether or not rebuild is set (channel names and the
  // encode strings present may have changed).
  void refresh(bool rebuild, int topRow) override;
  ListEditor* systemList() const { return system_; }
  ListEditor* encodeList() const { return encode_; }
  ListEditor* decodeList() const { return decode_; }

 private:
  ListEditor* makeSystemList(QWidget* page);
  ListEditor* makeEncodeList(QWidget* page);
  ListEditor* makeDecodeList(QWidget* page);

  OverlayEditors* editors_ = nullptr;  // one edit box and one drop-down for the three grids
  QTabWidget* PageControl = nullptr;
  ListEditor* system_ = nullptr;
  ListEditor* encode_ = nullptr;
  ListEditor* decode_ = nullptr;
};
