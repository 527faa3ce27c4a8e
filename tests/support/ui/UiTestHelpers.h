#pragma once
// Qt Test helpers shared by the tab tests: find controls by name and drive a grid
// the way a user does (clicks, double-clicks on cells, held-button range selection).

#include <QAbstractItemView>
#include <QComboBox>
#include <QPoint>
#include <QString>
#include <QTest>
#include <QWidget>
#include <functional>
#include <vector>

namespace pwtest::ui {

template <typename Test>
int runTest(int argc, char** argv) {
  Test test;
  return QTest::qExec(&test, argc, argv);
}

// Runs several Qt Test classes of one executable in turn, in order (each alive only for
// its own run); returns the number of failures.
template <typename... Tests>
int runTests(int argc, char** argv) {
  int failed = 0;
  ((failed += runTest<Tests>(argc, argv)), ...);
  return failed;
}

// Shows a top-level widget and waits until it is active (focus works offscreen then).
bool showActive(QWidget* window);

// The child of `root` with this objectName and type, or null.
template <typename T>
T* named(QObject* root, const QString& name) {
  return root->findChild<T*>(name);
}

// Centre of a cell in viewport coordinates, after scrolling the cell into view.
// `column` is the model column.
QPoint cellCenter(QAbstractItemView* view, int row, int column);
void clickCell(QAbstractItemView* view, int row, int column, Qt::KeyboardModifiers modifiers = {});
// Clicks first (as a user's double-click does), then double-clicks.
void doubleClickCell(QAbstractItemView* view, int row, int column);
void doubleClickBelowLastRow(QAbstractItemView* view);
// Presses the left button on the first row, moves over each following row with the
// button held, and releases on the last one.
void dragOverRows(QAbstractItemView* view, const std::vector<int>& rows, int column = 1);
// The captions of a grid's columns after the hidden first one, and the entries of a drop-down.
QStringList columnCaptions(const QAbstractItemView* view);
QStringList entriesOf(const QComboBox* box);
// The rows with a selected cell, ascending.
std::vector<int> selectedRows(const QAbstractItemView* view);

// Text arriving other than by typing: dropped at the end of a box's text, or pasted
// from the clipboard with Ctrl+V.
void dropText(QWidget* target, const QString& text);
void pasteText(QWidget* target, const QString& text);
// Calls `act` on the modal window once one is up (checked every 10 ms for five seconds),
// from inside its event loop: call it, then do what opens the window; `act` closes it.
void whenModal(std::function<void(QWidget*)> act);

// A wheel turn over the centre of a widget (one notch; negative: towards the user).
void wheelOver(QWidget* target, int notches = -1);

}  // namespace pwtest::ui
