#pragma once
// The report-style grid every list shows: it turns the mouse and keys into list actions
// (range selection with the left button held, Delete, Ctrl+arrow moves, the clipboard keys,
// Insert) and never edits text itself.

#include <QTableView>
#include <functional>

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
