#pragma once
// The Digital Voice Encryption tab: the basic and enhanced privacy key tables, two
// fixed grids of the shared list editor with one overlay edit box between them.

#include "digital/PrivacyKeys.h"
#include "widgets/TabForm.h"

class ListEditor;
class OverlayEditors;
class QLabel;

class TVoiceEncryptionForm : public TabForm {
  Q_OBJECT
 public:
  explicit TVoiceEncryptionForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
  ListEditor* listEditor(pw::KeyKind kind) const { return kind == pw::KeyKind::Basic ? basic_ : enhanced_; }

 private:
  ListEditor* makeKeyList(pw::KeyKind kind, OverlayEditors* editors);

  ListEditor* basic_ = nullptr;
  ListEditor* enhanced_ = nullptr;
};
