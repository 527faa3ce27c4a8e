#pragma once
// The Channels tab: the channels in use in the shared list editor and, beside them,
// every setting of the selected channels, written to each selected channel.

#include <QString>
#include <functional>
#include <vector>

#include "channels/ChannelRecord.h"
#include "widgets/TabForm.h"

class ChannelDetails;
class ListEditor;
class QPushButton;
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

  // Shows the open (save false) or save dialog of Import and Export: the chosen name, or
  // an empty text. Tests replace it to run both without modal dialogs.
  using FileDialog = std::function<QString(bool save)>;
  void setFileDialog(FileDialog dialog) { fileDialog_ = std::move(dialog); }

 private:
  QString cellText(int row, int column) const;
  void showSelection();
  void sortBy(pw::ChannelSort key);
  QString chooseFile(bool save);
  void ImportBitBtnClick();
  void ExportBitBtnClick();

  FileDialog fileDialog_;
  QPushButton* ImportBitBtn = nullptr;
  QPushButton* ExportBitBtn = nullptr;

  ListEditor* list_ = nullptr;
  ChannelDetails* details_ = nullptr;
  SearchEdit* searchEdit_ = nullptr;
};
