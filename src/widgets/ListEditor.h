#pragma once
// The list-editing behaviour every list tab shares: a report-style grid over the
// image, one overlay edit box and one drop-down list placed over a cell, range
// selection with the left button held, the Delete key and Ctrl+arrow moves, the
// count caption, delete and move of the selected rows, copy, paste and insert, and the
// deferred refresh after selection changes. A tab owns a ListEditor configured by a ListConfig and
// lays out the widgets it creates.

#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QTableView>
#include <functional>
#include <optional>
#include <vector>

#include "widgets/ListEditorConfig.h"
#include "widgets/RecordTableModel.h"
#include "codeplug/CodePlugDocument.h"

class QHBoxLayout;
class QLabel;
class QMenu;

class QPushButton;
class OverlayEditors;

// The grid. It never edits text itself and turns the mouse and keys into list actions.
class ListGridView : public QTableView {
  Q_OBJECT
 public:
  explicit ListGridView(QWidget* parent = nullptr);
  bool dragging() const { return anchor_ >= 0; }
  int dragAnchor() const { return anchor_; }
  int dragLast() const { return last_; }
  void setMovesEnabled(bool on) { moves_ = on; }
  // The copy and paste keys, and the Insert key, ask the list instead of the view's own copy.
  void setClipboardKeysEnabled(bool on) { clipboardKeys_ = on; }
  void setInsertKeyEnabled(bool on) { insertKey_ = on; }
  // Off: the held left button selects no range (clicks with Ctrl or Shift still do).
  void setRangeDragEnabled(bool on) { rangeDrag_ = on; }
  // While it answers true the held left button selects nothing.
  std::function<bool()> editorOpen;

 signals:
  void doubleClickedAt(QPoint viewportPos);
  void deleteKeyPressed();
  void moveKeyPressed(int delta);
  void copyKeyPressed();
  void pasteKeyPressed();
  void insertKeyPressed();

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;

 private:
  void dragOver(int row);
  int anchor_ = -1;
  int last_ = -1;
  bool moves_ = false;
  bool rangeDrag_ = true;
  bool clipboardKeys_ = false;
  bool insertKey_ = false;
};

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

// A drop-down list that says when its list closes.
class OverlayComboBox : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;
  void hidePopup() override;
 signals:
  void popupHidden();
};

// The one edit box and one drop-down list of a tab. Hidden and parked on the tab
// when unused; opened over a cell of a grid; committed or cancelled as the user leaves.
class OverlayEditors : public QObject {
  Q_OBJECT
 public:
  explicit OverlayEditors(QWidget* host, QObject* parent = nullptr);

  QLineEdit* edit() const { return edit_; }
  QComboBox* comboBox() const { return combo_; }
  bool isOpen() const { return owner_ != nullptr; }
  bool isOpenOn(const ListEditor* list) const { return owner_ == list; }
  int row() const { return row_; }
  int column() const { return column_; }
  int rowHeight() const;

  void openEdit(ListEditor* owner, QTableView* view, int row, int column, const QRect& cell,
                const QString& text, int maxLength, std::function<bool(QChar)> accepts);
  void openDropDown(ListEditor* owner, QTableView* view, int row, int column, const QRect& cell,
                    const std::vector<ListChoice>& choices, std::optional<qint64> stored);
  // Hands the editor's value to its list when commit is set, then hides and parks both.
  void close(bool commit);
  // The list goes away: drop its open editor without writing.
  void forget(const ListEditor* list);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Kind { None, Text, Choice };
  void begin(ListEditor* owner, QTableView* view, Kind kind, int row, int column);
  void show(QWidget* editor, QTableView* view, const QRect& cell);
  void park();
  bool filterKey(QKeyEvent* event);

  QWidget* host_;
  QPointer<QLineEdit> edit_;
  QPointer<OverlayComboBox> combo_;
  ListEditor* owner_ = nullptr;
  QTableView* view_ = nullptr;
  Kind kind_ = Kind::None;
  int row_ = -1;
  int column_ = -1;
  int initialChoice_ = -1;
  int opening_ = 0;  // counts the editors opened, to match a late commit with its editor
};

// Leading and trailing characters below 33 removed: what every cell edit stores.
QString trimCellText(const QString& text);
