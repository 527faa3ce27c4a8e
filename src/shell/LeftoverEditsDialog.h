#pragma once
// Unsaved edits kept of code plug files that cannot be found any more (deleted or moved
// after a crash): each is saved under a name the user chooses, or discarded. Those left
// are listed again the next time.

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "codeplug/Prompt.h"
#include "shell/Recovery.h"

class QPushButton;
class QTreeWidget;

class LeftoverEditsDialog : public QDialog {
  Q_OBJECT
 public:
  // `chooseName` shows the save dialog: the name chosen, or an empty text for Cancel.
  LeftoverEditsDialog(RecoveryService& recovery, pw::Prompt& prompt, std::function<QString()> chooseName,
                      QWidget* parent = nullptr);
  void setLeftovers(std::vector<Leftover> leftovers);

 private:
  void saveSelected();
  void discardSelected();
  void forget(int row);
  void enableButtons();

  RecoveryService& recovery_;
  pw::Prompt& prompt_;
  std::function<QString()> chooseName_;
  std::vector<Leftover> leftovers_;
  QTreeWidget* list_;
  QPushButton* save_;
  QPushButton* discard_;
};
