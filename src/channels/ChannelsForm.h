#pragma once
// The Channels tab: the channels in use in the shared list editor and, beside them,
// every setting of the selected channels, written to each selected channel.

#include <vector>

#include "channels/ChannelRecord.h"
#include "widgets/TabForm.h"

class ChannelDetails;
class ListEditor;
class SearchEdit;

class TChannelsForm : public TabForm {
  Q_OBJECT
 public:
  explicit TChannelsForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;

  ListEditor* listEditor() const { return list_; }
  // Selects exactly the rows whose "Chan" or "Name" cell contains `text` (lower case)
  // and scrolls to the first; an empty text clears the selection.
  void search(const QString& text);

 private:
  QString cellText(int row, int column) const;
  void showSelection();
  void sortBy(pw::ChannelSort key);

  ListEditor* list_ = nullptr;
  ChannelDetails* details_ = nullptr;
  SearchEdit* searchEdit_ = nullptr;
};
