#pragma once
// What every tab test needs: a document with a scripted prompt, the tab form shown as
// the main window shows it, and its list model watched by QAbstractItemModelTester.

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <functional>
#include <memory>

#include "widgets/ListEditor.h"
#include "codeplug/CodePlugDocument.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"
#include "support/ui/UiTestHelpers.h"

namespace pwtest::ui {

template <class Form>
class TabHarness {
protected:
  ScriptedPrompt prompt;
  std::unique_ptr<pw::CodePlugDocument> doc;
  std::unique_ptr<Form> form;
  QTableView* view = nullptr;  // the tab's "ListView" (or the grid named to openTab)

  // Loads the builder's code plug (none: no code plug), lets `prepare` change the
  // document and the new form, then shows the form and rebuilds it (the clipboard emptied).
  // A failed step is reported through QtTest: callers return when QTest::currentTestFailed().
  void openTab(const CodePlugBuilder* builder, QSize size,
               const std::function<void(pw::CodePlugDocument&, Form&)>& prepare = {},
               const char* viewName = "ListView") {
    openForm(builder, size, prepare);
    if (QTest::currentTestFailed()) return;
    view = named<QTableView>(form.get(), viewName);
    QVERIFY(view);
    tester_ = std::make_unique<QAbstractItemModelTester>(view->model(),
                                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
  }
  // The same for a tab without a list (the settings tabs).
  void openForm(const CodePlugBuilder* builder, QSize size,
                const std::function<void(pw::CodePlugDocument&, Form&)>& prepare = {}) {
    closeTab();
    QGuiApplication::clipboard()->clear();
    prompt = {};
    doc = std::make_unique<pw::CodePlugDocument>(&prompt);
    if (builder) QCOMPARE(builder->loadInto(*doc), 0);
    form = std::make_unique<Form>(*doc);
    if (prepare) prepare(*doc, *form);
    form->resize(size);
    QVERIFY(showActive(form.get()));
    form->refresh(true, 0);
    settle();
  }
  // Tears down in the order the objects depend on each other (call from cleanup()).
  void closeTab() {
    tester_.reset();
    form.reset();
    doc.reset();
    view = nullptr;
  }
  static void settle() { QCoreApplication::processEvents(); }
  int rowCount() const { return view->model()->rowCount(); }
  QString cell(int row, int column) const { return view->model()->index(row, column).data().toString(); }
  // The control of the tab with this objectName; a missing one ends the run.
  template <typename W>
  W* control(const char* name) const {
    W* w = named<W>(form.get(), name);
    if (!w) qFatal("no control %s", name);
    return w;
  }
  // Selects exactly `rows` (the first one focused) and lets the deferred refresh run.
  void select(const std::vector<int>& rows) {
    form->listEditor()->selectRows(rows, rows.empty() ? -1 : rows.front());
    settle();
  }
  // Double-clicks a cell and returns the entries of the drop-down that opens over it
  // (empty when none opens); the drop-down stays open.
  QStringList openChoices(QTableView* grid, int row, int column) {
    doubleClickCell(grid, row, column);
    auto* combo = control<QComboBox>("listViewComboBox");
    return combo->isVisible() ? entriesOf(combo) : QStringList();
  }
  // The entry the open drop-down shows selected ("" for none).
  QString openChoice() const { return control<QComboBox>("listViewComboBox")->currentText(); }
  // Picks entry `text` in the drop-down over a cell as a user does (keys in its list).
  void choose(QTableView* grid, int row, int column, const QString& text) {
    const QStringList choices = openChoices(grid, row, column);
    QVERIFY2(choices.contains(text), qPrintable(text));
    auto* combo = control<QComboBox>("listViewComboBox");
    combo->view()->setCurrentIndex(combo->model()->index(int(choices.indexOf(text)), 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    settle();
  }
  // Closes the open drop-down with Escape: nothing picked.
  void dismissChoices() {
    QTest::keyClick(control<QComboBox>("listViewComboBox")->view(), Qt::Key_Escape);
    settle();
  }
  // The context menu's entries as opening it shows them ("-" for a separator).
  QStringList menuEntries(bool enabledOnly) const {
    form->listEditor()->updateContextMenu();
    QStringList out;
    for (QAction* a : form->listEditor()->contextMenu()->actions())
      if (!enabledOnly) out << (a->isSeparator() ? QString("-") : a->text());
      else if (!a->isSeparator() && a->isEnabled()) out << a->text();
    return out;
  }
  // Runs the context menu's entry `text`, which must be enabled.
  void runMenuEntry(const QString& text) {
    form->listEditor()->updateContextMenu();
    QAction* entry = nullptr;
    for (QAction* a : form->listEditor()->contextMenu()->actions())
      if (a->text() == text) entry = a;
    QVERIFY2(entry && entry->isEnabled(), qPrintable(text));
    entry->trigger();
    settle();
  }

private:
  std::unique_ptr<QAbstractItemModelTester> tester_;
};

}  // namespace pwtest::ui
