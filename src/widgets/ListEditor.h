#pragma once
// The list-editing behaviour every list tab shares: a report-style grid over the
// image, one overlay edit box and one drop-down list placed over a cell, range
// selection with the left button held, the Delete key and Ctrl+arrow moves, the
// count caption, delete and move of the selected rows, copy, paste and insert, and the
// deferred refresh after selection changes. A tab owns a ListEditor configured by a ListConfig and
// lays out the widgets it creates.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <optional>
#include <vector>

#include "widgets/ListEditorConfig.h"
#include "widgets/ListGridView.h"
#include "widgets/OverlayEditors.h"
#include "codeplug/CodePlugDocument.h"
#include "widgets/RecordTableModel.h"

class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;

class ListEditor : public QObject {
  Q_OBJECT
 public:
  // Creates the grid, the count caption and the commands the configuration has, as
  // children of `host`. The grids of one tab may share `editors`; by default the list
  // has its own pair parked on `host`.
  ListEditor(pw::CodePlugDocument& doc, ListConfig config, QWidget* host, OverlayEditors* editors = nullptr);
  ~ListEditor() override;

  const ListConfig& config() const { return config_; }
  ListGridView* view() const { return view_; }
  RecordTableModel* model() const { return model_; }
  QLabel* countLabel() const { return countLabel_; }
  OverlayEditors* editors() const { return editors_.data(); }
  QPushButton* addButton() const { return add_; }        // null when the list has no Add
  QPushButton* deleteButton() const { return delete_; }  // ... no Delete
  QPushButton* moveUpButton() const { return moveUp_; }  // ... no moves
  QPushButton* moveDownButton() const { return moveDown_; }
  // The list's command buttons in a row, for the tab's layout.
  QHBoxLayout* makeButtonRow() const;
  // The grid's context menu ("PopupMenu"), null when the configuration has none.
  QMenu* contextMenu() const { return menu_; }
  // Enables the menu's entries for the current state, as opening the menu does.
  void updateContextMenu();

  // ---- refreshing ----
  // Rebuilds the rows from the image, scrolls row topRow to the top when it is >= 0,
  // then refreshes caption and commands.
  void rebuild(int topRow = -1);
  // Caption and command states only; the rows stay.
  void refresh();
  QString captionText() const { return captionText(addedCaption_ ? config_.addedTitle : config_.title); }
  bool rebuilding() const { return rebuilding_; }

  // ---- selection and scrolling ----
  std::vector<int> selectedRows() const;  // ascending record indexes
  // Selects exactly `rows`; focusRow >= 0 becomes the focused row.
  void selectRows(const std::vector<int>& rows, int focusRow = -1);
  int topRow() const;
  int visibleRows() const;
  // Scrolls so that `row` is the top row, as far as the list allows.
  void scrollToTop(int row);
  // Selects `row` alone, scrolls it to the middle of the grid and gives the grid the focus;
  // returns where the row's name cell now lies in the grid's viewport.
  QRect showRow(int row);
  // Where the user was in the grid: its selection, focused row and scroll position.
  struct Place {
    std::vector<int> rows;
    int focusRow = -1;
    int scroll = 0;
  };
  Place place() const;
  // Back there after a rebuild: the rows that are still there are selected again.
  void returnTo(const Place& place);

  // ---- actions (each does nothing without an image) ----
  int addRecord();  // the new row, or -1
  void deleteSelected();
  void moveSelected(int delta);  // positive towards row 0
  // Reorders records as one undo step named `stepName`: `apply` gets the selected rows and
  // returns where each record went (result[old row] = new row). The selection follows.
  void reorder(const QString& stepName, const std::function<std::vector<int>(const std::vector<int>& rows)>& apply);
  // ---- the clipboard and Insert (Ctrl+C, Ctrl+V and the Insert key while the grid has the focus) ----
  bool canCopy() const;    // rows are selected
  bool canPaste() const;   // the clipboard holds text
  bool canInsert() const;  // the list has room
  // Puts the selected records on the clipboard: the text, the same as an HTML table for a
  // spreadsheet, and the code plug's mark.
  void copySelected();
  // Pastes the clipboard's text after the last selected row (no selection: after the last
  // row) and selects the rows pasted; what the paste did not do is told in one box "Paste".
  void paste();
  // Inserts a record before the first selected row (no selection: at the end), selects it
  // and opens the editor on its name, as after Add. The new row, or -1.
  int insertRecord();
  // Opens the column's editor on a cell (runs an Action column); false when none opened.
  bool openEditor(int row, int column);
  void doubleClickAt(QPoint viewportPos);
  // Called by the overlay editors when an edit is committed.
  void applyEdit(int row, int column, const CellEdit& edit);

 protected:
  // Keeps the Delete key and the move keys from the tab's other controls.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildView(QWidget* host);
  void buildContextMenu();
  QString captionText(const QString& title) const;
  QPushButton* makeButton(QWidget* host, const char* name, const QString& text);
  void updateCommands();
  void selectionChanged();
  int firstEditColumn() const;
  void commitEditor();
  void nameStep(const QString& verb, int count);
  void nameCellStep(int column);

  pw::CodePlugDocument& doc_;
  ListConfig config_;
  ListGridView* view_ = nullptr;
  RecordTableModel* model_ = nullptr;
  QLabel* countLabel_ = nullptr;
  QPointer<OverlayEditors> editors_;  // may be shared and go first when the tab closes
  QPushButton* add_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* moveUp_ = nullptr;
  QPushButton* moveDown_ = nullptr;
  QMenu* menu_ = nullptr;
  std::vector<QAction*> menuActions_;  // parallel to config_.contextMenu (null: separator)
  bool rebuilding_ = false;
  bool refreshPosted_ = false;
  bool addedCaption_ = false;  // the caption reads addedTitle until the selection changes
  bool clipboardHasText_ = false;  // kept as the clipboard changes
};
