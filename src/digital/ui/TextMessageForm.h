#pragma once
// The Digital Text Msg tab: the preset text messages in the shared list editor.

#include <vector>

#include "widgets/TabForm.h"

class ListEditor;
class QLabel;

class TTextMessageForm : public TabForm {
  Q_OBJECT
 public:
  explicit TTextMessageForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;
  ListEditor* listEditor() const { return list_; }

 private:
  int recordOfRow(int row) const;

  // Record index shown in each row, taken at every rebuild. Edits never empty a
  // message, so it stays valid until the next add or delete rebuilds it.
  std::vector<int> rows_;
  ListEditor* list_ = nullptr;
  QLabel* TitleLabel = nullptr;
};
