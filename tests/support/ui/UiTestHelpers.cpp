#include "support/ui/UiTestHelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

namespace pwtest::ui {

bool showActive(QWidget* window) {
  window->show();
  window->activateWindow();
  QApplication::setActiveWindow(window);
  return QTest::qWaitForWindowActive(window);
}

QPoint cellCenter(QAbstractItemView* view, int row, int column) {
  const QModelIndex index = view->model()->index(row, column);
  view->scrollTo(index);
  return view->visualRect(index).center();
}

void clickCell(QAbstractItemView* view, int row, int column, Qt::KeyboardModifiers modifiers) {
  QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, cellCenter(view, row, column));
}

void doubleClickCell(QAbstractItemView* view, int row, int column) {
  const QPoint at = cellCenter(view, row, column);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
}

QStringList columnCaptions(const QAbstractItemView* view) {
  QStringList out;
  for (int c = 1; c < view->model()->columnCount(); ++c)
    out << view->model()->headerData(c, Qt::Horizontal).toString();
  return out;
}

QStringList entriesOf(const QComboBox* box) {
  QStringList out;
  for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
  return out;
}

void doubleClickBelowLastRow(QAbstractItemView* view) {
  QWidget* viewport = view->viewport();
  const int rows = view->model()->rowCount();
  // Just below the last row, even where that lies outside the visible area.
  const int y = rows > 0 ? view->visualRect(view->model()->index(rows - 1, 1)).bottom() + 3 : 3;
  const QPoint at(viewport->width() / 2, y);
  QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

void dragOverRows(QAbstractItemView* view, const std::vector<int>& rows, int column) {
  if (rows.empty()) return;
  QWidget* viewport = view->viewport();
  QTest::mousePress(viewport, Qt::LeftButton, {}, cellCenter(view, rows.front(), column));
  for (int row : rows) QTest::mouseMove(viewport, cellCenter(view, row, column));
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, cellCenter(view, rows.back(), column));
}

std::vector<int> selectedRows(const QAbstractItemView* view) {
  std::vector<int> rows;
  for (const QModelIndex& index : view->selectionModel()->selectedIndexes()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void dropText(QWidget* target, const QString& text) {
  QMimeData mime;
  mime.setText(text);
  const QPointF at(target->width() - 2, target->height() / 2);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
}

void pasteText(QWidget* target, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
}

void wheelOver(QWidget* target, int notches) {
  const QPointF at(target->width() / 2, target->height() / 2);
  QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &wheel);
}

void whenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(qApp);
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, act = std::move(act)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal && clock->elapsed() < 5000) return;
    timer->stop();
    timer->deleteLater();
    if (modal) act(modal);
  });
  timer->start(10);
}

}  // namespace pwtest::ui
