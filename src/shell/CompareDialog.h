#pragma once
// The differences between the code plug in the editor (with its unsaved edits) and
// another file, as a tree: section, then record (by number and name, moves recognised),
// then field, with this plug's value beside the other file's. Double-click on a record
// (or one of its fields) asks the window to show it in its tab.

#include <QDialog>
#include <QString>
#include <memory>

#include "codeplug/PlugSection.h"
#include "textform/PlugCompare.h"

class QTreeView;
class CompareModel;

class CompareDialog : public QDialog {
  Q_OBJECT
 public:
  // `comparison` is this plug (side A, named `thisName`) against the file `otherName` (side B).
  CompareDialog(pw::text::PlugComparison comparison, const QString& thisName, const QString& otherName,
                QWidget* parent = nullptr);
  ~CompareDialog() override;

  QTreeView* tree() const { return tree_; }

 signals:
  // A record of this plug: its section and its number here (-1 when the record exists
  // only in the other file, or the section is a block).
  void recordActivated(pw::PlugSection section, int number);

 private:
  void activate(const QModelIndex& index);

  CompareModel* model_;
  QTreeView* tree_;
};
