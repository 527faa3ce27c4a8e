#include "widgets/ListGridView.h"

#include <QKeyEvent>
#include <QMouseEvent>

ListGridView::ListGridView(QWidget* parent) : QTableView(parent) {}

void ListGridView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) {
    QTableView::mouseMoveEvent(event);
    return;
  }
  // The held left button only selects rows: no drag and drop, no rubber band; and
  // nothing at all on a grid that selects one row at a time.
  if (selectionMode() == QAbstractItemView::SingleSelection || !rangeDrag_) return;
  if (editorOpen && editorOpen()) return;
  const int row = rowAt(event->position().toPoint().y());
  if (row >= 0) dragOver(row);
}

void ListGridView::dragOver(int row) {
  QItemSelectionModel* sel = selectionModel();
  if (anchor_ < 0) {
    sel->select(model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    anchor_ = last_ = row;
    return;
  }
  if (row == last_) return;
  last_ = row;
  const QItemSelection range(model()->index(std::min(anchor_, row), 0),
                             model()->index(std::max(anchor_, row), model()->columnCount() - 1));
  sel->select(range, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListGridView::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);  // selectionCommand keeps the dragged range
  if (event->button() == Qt::LeftButton) anchor_ = last_ = -1;
}

void ListGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  event->accept();
  emit doubleClickedAt(event->position().toPoint());
}

void ListGridView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) {
    event->accept();
    emit deleteKeyPressed();
    return;
  }
  // Before the view's own copy, which would put the current cell's text on the clipboard.
  if (clipboardKeys_ && (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Paste))) {
    event->accept();
    if (event->matches(QKeySequence::Copy))
      emit copyKeyPressed();
    else
      emit pasteKeyPressed();
    return;
  }
  if (insertKey_ && event->key() == Qt::Key_Insert && !(event->modifiers() & ~Qt::KeypadModifier)) {
    event->accept();
    emit insertKeyPressed();
    return;
  }
  const bool arrow = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
  if (moves_ && arrow && (event->modifiers() & Qt::ControlModifier)) {
    event->accept();
    const int step = (event->modifiers() & Qt::ShiftModifier) ? 10 : 1;
    emit moveKeyPressed(event->key() == Qt::Key_Up ? step : -step);
    return;
  }
  QTableView::keyPressEvent(event);
}

QItemSelectionModel::SelectionFlags ListGridView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
  // The view's own drag selection and its release after a drag would undo the range.
  if (event && event->type() == QEvent::MouseMove) return QItemSelectionModel::NoUpdate;
  if (event && event->type() == QEvent::MouseButtonRelease && anchor_ >= 0)
    return QItemSelectionModel::NoUpdate;
  return QTableView::selectionCommand(index, event);
}
