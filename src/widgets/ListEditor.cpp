#include "widgets/ListEditor.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "codeplug/Csv.h"
#include "codeplug/RecordList.h"
#include "widgets/GridCellDelegate.h"

namespace {
// The mark of the code plug a copy came from, beside the copy's text.
const QString kSourceFormat = QStringLiteral("application/x-plugwright-source");
}  // namespace

ListEditor::ListEditor(pw::CodePlugDocument& doc, ListConfig config, QWidget* host, OverlayEditors* editors)
    : QObject(host), doc_(doc), config_(std::move(config)) {
  editors_ = editors ? editors : new OverlayEditors(host, this);
  buildView(host);

  countLabel_ = new QLabel(host);
  countLabel_->setObjectName(config_.countLabelName);

  if (config_.add) {
    add_ = makeButton(host, "AddBitBtn", config_.addText);
    connect(add_, &QPushButton::clicked, this, [this] { addRecord(); });
  }
  if (config_.deleteOne) {
    delete_ = makeButton(host, "DeleteBitBtn", config_.deleteText);
    connect(delete_, &QPushButton::clicked, this, [this] { deleteSelected(); });
  }
  if (config_.moveOne) {
    moveUp_ = makeButton(host, "MoveUpBitBtn", config_.moveUpText);
    moveDown_ = makeButton(host, "MoveDownBitBtn", config_.moveDownText);
    auto step = [this] {
      const bool ten =
          config_.buttonsShiftForTen && (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
      return ten ? 10 : 1;
    };
    connect(moveUp_, &QPushButton::clicked, this, [this, step] { moveSelected(step()); });
    connect(moveDown_, &QPushButton::clicked, this, [this, step] { moveSelected(-step()); });
    moveUp_->setIcon(host->style()->standardIcon(QStyle::SP_ArrowUp));
    moveDown_->setIcon(host->style()->standardIcon(QStyle::SP_ArrowDown));
    if (config_.buttonsShiftForTen) {
      const QString hint = QStringLiteral("Hold down the Shift key to move in steps of 10");
      moveUp_->setToolTip(hint);
      moveDown_->setToolTip(hint);
    }
  }
  buildContextMenu();
  host->installEventFilter(this);
  rebuild();
}

ListEditor::~ListEditor() {
  if (editors_) editors_->forget(this);
}

bool ListEditor::eventFilter(QObject* watched, QEvent* event) {
  // Keys the tab's other controls leave unused reach the tab: the list's keys stop there.
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Delete) return true;
  const bool arrow = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
  return config_.moveOne && arrow && (key->modifiers() & Qt::ControlModifier);
}

void ListEditor::buildView(QWidget* host) {
  view_ = new ListGridView(host);
  view_->setObjectName(config_.viewName);
  model_ = new RecordTableModel(config_, doc_, this);
  view_->setModel(model_);
  view_->setItemDelegate(new GridCellDelegate(view_));
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  view_->setShowGrid(config_.gridLines);
  view_->setWordWrap(false);
  view_->setCornerButtonEnabled(false);
  view_->setTabKeyNavigation(false);
  view_->setMovesEnabled(bool(config_.moveOne));
  view_->setClipboardKeysEnabled(config_.copyText || config_.paste);
  view_->setInsertKeyEnabled(bool(config_.insert));
  view_->editorOpen = [this] { return editors_->isOpen(); };

  // The selection stays visible when the grid loses the focus.
  QPalette palette = view_->palette();
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  view_->setPalette(palette);

  QHeaderView* rows = view_->verticalHeader();
  rows->hide();
  rows->setMinimumSectionSize(1);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(editors_->rowHeight());  // an editor fits a row exactly

  QHeaderView* header = view_->horizontalHeader();
  header->setVisible(config_.showHeaders);
  header->setSectionsClickable(false);
  header->setHighlightSections(false);
  header->setSectionsMovable(false);
  header->setMinimumSectionSize(1);
  header->setSectionResizeMode(0, QHeaderView::Fixed);
  header->resizeSection(0, 1);
  int width = 1;
  for (int c = 0; c < int(config_.columns.size()); ++c) {
    const ListColumn& column = config_.columns[c];
    const int section = RecordTableModel::modelColumn(c);
    header->resizeSection(section, column.width);
    if (column.stretch) header->setSectionResizeMode(section, QHeaderView::Stretch);
    width += column.width;
  }
  view_->setMinimumWidth(width + 2 * view_->frameWidth() + view_->verticalScrollBar()->sizeHint().width());

  connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &ListEditor::selectionChanged);
  connect(view_, &ListGridView::doubleClickedAt, this, &ListEditor::doubleClickAt);
  connect(view_, &ListGridView::deleteKeyPressed, this, &ListEditor::deleteSelected);
  connect(view_, &ListGridView::moveKeyPressed, this, &ListEditor::moveSelected);
  connect(view_, &ListGridView::copyKeyPressed, this, &ListEditor::copySelected);
  connect(view_, &ListGridView::pasteKeyPressed, this, &ListEditor::paste);
  connect(view_, &ListGridView::insertKeyPressed, this, &ListEditor::insertRecord);
  if (config_.paste) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto watch = [this, clipboard] {
      const QMimeData* data = clipboard->mimeData();
      clipboardHasText_ = data && data->hasText();
    };
    watch();
    connect(clipboard, &QClipboard::dataChanged, this, watch);
  }
  connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    if (editors_->isOpenOn(this)) editors_->close(true);
  });
}

void ListEditor::buildContextMenu() {
  if (config_.contextMenu.empty()) return;
  menu_ = new QMenu(view_);
  menu_->setObjectName(QStringLiteral("PopupMenu"));
  for (const ListMenuEntry& entry : config_.contextMenu) {
    if (entry.text.isEmpty()) {
      menu_->addSeparator();
      menuActions_.push_back(nullptr);
      continue;
    }
    QAction* action = menu_->addAction(entry.text);
    menuActions_.push_back(action);
    if (entry.run)
      connect(action, &QAction::triggered, this, [this, run = entry.run] {
        if (doc_.hasImage()) run();
      });
  }
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view_, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
    editors_->close(true);
    updateContextMenu();
    menu_->popup(view_->viewport()->mapToGlobal(pos));
  });
}

void ListEditor::updateContextMenu() {
  for (std::size_t i = 0; i < menuActions_.size(); ++i) {
    const ListMenuEntry& entry = config_.contextMenu[i];
    if (menuActions_[i])
      menuActions_[i]->setEnabled((!entry.enabled || entry.enabled()) && (!entry.run || doc_.hasImage()));
  }
}

QPushButton* ListEditor::makeButton(QWidget* host, const char* name, const QString& text) {
  auto* button = new QPushButton(text, host);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

QHBoxLayout* ListEditor::makeButtonRow() const {
  auto* row = new QHBoxLayout;
  for (QPushButton* b : {add_, delete_, moveUp_, moveDown_})
    if (b) row->addWidget(b);
  row->addStretch(1);
  return row;
}

// ---- refreshing ----

void ListEditor::rebuild(int topRow) {
  addedCaption_ = false;
  {
    const QScopedValueRollback<bool> busy(rebuilding_, true);
    if (editors_->isOpenOn(this)) editors_->close(false);
    model_->rebuild();
    if (topRow >= 0) scrollToTop(topRow);
  }
  refresh();
}

void ListEditor::refresh() {
  countLabel_->setText(captionText());
  updateCommands();
}

QString ListEditor::captionText(const QString& title) const {
  const QString capacity = QString::number(config_.capacity);
  if (!doc_.hasImage() && !config_.noImageCaption.isEmpty()) return config_.noImageCaption;
  if (!doc_.hasImage()) return title + QStringLiteral(" .. up to ") + capacity + QStringLiteral(". ");
  QString text = title + QStringLiteral(" .. used ") + QString::number(model_->rowCount()) +
                 QStringLiteral(" of ") + capacity + QStringLiteral(". ");
  const std::size_t selected = selectedRows().size();
  if (selected > 0) text += QString::number(selected) + QStringLiteral(" selected. ");
  return text;
}

void ListEditor::updateCommands() {
  const bool image = doc_.hasImage();
  const std::vector<int> rows = selectedRows();
  const int count = model_->rowCount();
  if (add_) add_->setEnabled(image && count < config_.capacity);
  if (delete_) delete_->setEnabled(image && !rows.empty());
  if (moveUp_) moveUp_->setEnabled(image && !rows.empty() && rows.front() != 0);
  if (moveDown_) moveDown_->setEnabled(image && !rows.empty() && rows.back() != count - 1);
}

void ListEditor::selectionChanged() {
  addedCaption_ = false;
  if (rebuilding_ || refreshPosted_) return;
  // Refresh once the toolkit has finished delivering the selection events.
  refreshPosted_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        refreshPosted_ = false;
        if (rebuilding_) return;
        refresh();
        if (config_.selectionChanged) config_.selectionChanged();
      },
      Qt::QueuedConnection);
}

// ---- selection and scrolling ----

std::vector<int> ListEditor::selectedRows() const {
  std::vector<int> rows;
  for (const QItemSelectionRange& range : view_->selectionModel()->selection())
    for (int r = range.top(); r <= range.bottom(); ++r) rows.push_back(r);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void ListEditor::selectRows(const std::vector<int>& rows, int focusRow) {
  QItemSelection selection;
  const int last = model_->columnCount() - 1;
  for (std::size_t i = 0; i < rows.size();) {
    std::size_t j = i;
    while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
    if (rows[i] >= 0 && rows[j] < model_->rowCount())
      selection.select(model_->index(rows[i], 0), model_->index(rows[j], last));
    i = j + 1;
  }
  QItemSelectionModel* sel = view_->selectionModel();
  sel->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  if (focusRow >= 0 && focusRow < model_->rowCount())
    sel->setCurrentIndex(model_->index(focusRow, 1), QItemSelectionModel::NoUpdate);
}

int ListEditor::topRow() const { return std::max(0, view_->rowAt(0)); }

int ListEditor::visibleRows() const {
  const int height = std::max(1, view_->verticalHeader()->defaultSectionSize());
  return std::max(1, view_->viewport()->height() / height);
}

void ListEditor::scrollToTop(int row) {
  row = std::max(0, std::min(row, model_->rowCount() - visibleRows()));
  view_->verticalScrollBar()->setValue(row);  // scrolling per item: the value is the top row
}

QRect ListEditor::showRow(int row) {
  selectRows({row}, row);
  const QModelIndex cell = model_->index(row, 1);
  view_->scrollTo(cell, QAbstractItemView::PositionAtCenter);
  view_->setFocus();
  return view_->visualRect(cell);
}

ListEditor::Place ListEditor::place() const {
  return {selectedRows(), view_->currentIndex().row(), view_->verticalScrollBar()->value()};
}

void ListEditor::returnTo(const Place& place) {
  std::vector<int> rows = place.rows;
  const int count = model_->rowCount();
  std::erase_if(rows, [count](int row) { return row >= count; });
  if (!rows.empty()) selectRows(rows, place.focusRow);
  view_->verticalScrollBar()->setValue(place.scroll);
}

// ---- actions ----

int ListEditor::addRecord() {
  if (!doc_.hasImage() || !config_.add || model_->rowCount() >= config_.capacity) return -1;
  commitEditor();
  view_->clearSelection();
  nameStep(QStringLiteral("add"), 1);
  const int row = config_.add();
  if (row < 0) {
    refresh();
    return -1;
  }
  rebuild();
  const QModelIndex index = model_->index(row, 1);
  view_->scrollTo(index);
  if (config_.selectAddedRow) selectRows({row});
  if (view_->isVisible() && view_->isEnabled()) {
    view_->setFocus();
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);  // the selection stays
  }
  // Set after the selection above, so the refresh it posts keeps this caption.
  addedCaption_ = !config_.addedTitle.isEmpty();
  refresh();
  return row;
}

void ListEditor::deleteSelected() {
  if (!doc_.hasImage() || !config_.deleteOne) return;
  commitEditor();
  const std::vector<int> rows = selectedRows();
  if (!rows.empty()) {
    const int top = topRow();
    int deleted = 0;
    {
      // The refusal box runs an event loop: keep the deferred refresh out meanwhile, and
      // keep the whole delete one undo step whatever the answers.
      const QScopedValueRollback<bool> busy(rebuilding_, true);
      const pw::CodePlugDocument::StepHold hold(doc_);
      nameStep(QStringLiteral("delete"), int(rows.size()));
      deleted = pw::deleteSelection(rows, config_.deleteOne);
    }
    if (deleted > 0) {
      rebuild();
      scrollToTop(top);
      const int row = std::min(rows.back(), model_->rowCount() - 1);
      if (row >= 0) selectRows({row}, row);
    }
  }
  refresh();
  view_->setFocus();
}

void ListEditor::moveSelected(int delta) {
  if (!doc_.hasImage() || !config_.moveOne) return;
  commitEditor();
  const std::vector<int> rows = selectedRows();
  const int count = model_->rowCount();
  delta = pw::clampBlockDelta(rows, delta, count);
  if (delta == 0) return;
  std::vector<int> moved;
  {
    const QScopedValueRollback<bool> busy(rebuilding_, true);
    nameStep(QStringLiteral("move"), int(rows.size()));
    moved = config_.moveRows ? config_.moveRows(rows, delta) : pw::moveSelection(rows, delta, count, config_.moveOne);
    model_->rowsMoved(rows, moved);
    model_->rowsChanged(0, count - 1);
  }
  const int focus = delta > 0 ? moved.front() : moved.back();
  selectRows(moved, focus);
  refresh();
  scrollToTop(focus - visibleRows() / 2);
  view_->setFocus();
}

void ListEditor::reorder(const QString& stepName,
                         const std::function<std::vector<int>(const std::vector<int>& rows)>& apply) {
  if (!doc_.hasImage()) return;
  commitEditor();
  const std::vector<int> rows = selectedRows();
  const int focus = view_->currentIndex().row();
  std::vector<int> where;
  {
    const QScopedValueRollback<bool> busy(rebuilding_, true);
    doc_.nameNextStep(stepName.toStdString());
    where = apply(rows);
    model_->rowsChanged(0, model_->rowCount() - 1);
  }
  const auto follow = [&](int row) { return row >= 0 && row < int(where.size()) ? where[std::size_t(row)] : row; };
  std::vector<int> moved;
  for (int row : rows) moved.push_back(follow(row));
  std::sort(moved.begin(), moved.end());
  selectRows(moved, follow(focus));
  refresh();
  if (focus >= 0) view_->scrollTo(model_->index(follow(focus), 1));
  view_->setFocus();
}

bool ListEditor::canCopy() const { return doc_.hasImage() && config_.copyText && !selectedRows().empty(); }

bool ListEditor::canPaste() const { return doc_.hasImage() && config_.paste && clipboardHasText_; }

bool ListEditor::canInsert() const {
  return doc_.hasImage() && config_.insert && model_->rowCount() < config_.capacity;
}

void ListEditor::copySelected() {
  if (!canCopy()) return;
  editors_->close(true);
  const QString text = config_.copyText(selectedRows());
  auto* data = new QMimeData;
  data->setText(text);
  data->setHtml(QString::fromStdString(pw::csv::htmlTable(text.toStdString())));
  if (config_.copySource) data->setData(kSourceFormat, config_.copySource());
  QGuiApplication::clipboard()->setMimeData(data);
}

void ListEditor::paste() {
  if (!canPaste()) return;
  editors_->close(true);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  const QString text = data ? data->text() : QString();
  if (text.isEmpty()) return;
  const bool sameSource = config_.copySource && data->hasFormat(kSourceFormat) &&
                          data->data(kSourceFormat) == config_.copySource();
  const std::vector<int> rows = selectedRows();
  PastedRows result;
  {
    const QScopedValueRollback<bool> busy(rebuilding_, true);
    result = config_.paste(text, rows.empty() ? model_->rowCount() : rows.back() + 1, sameSource);
  }
  if (!result.rows.empty()) {
    rebuild();
    selectRows(result.rows, result.rows.front());
    view_->scrollTo(model_->index(result.rows.back(), 1));
    view_->scrollTo(model_->index(result.rows.front(), 1));
  }
  refresh();
  view_->setFocus();
  if (!result.message.empty()) doc_.prompt().inform("Paste", result.message);
}

int ListEditor::insertRecord() {
  if (!canInsert()) return -1;
  commitEditor();
  const std::vector<int> rows = selectedRows();
  nameStep(QStringLiteral("insert"), 1);
  int row = -1;
  {
    const QScopedValueRollback<bool> busy(rebuilding_, true);
    row = config_.insert(rows.empty() ? model_->rowCount() : rows.front());
  }
  if (row < 0) {
    refresh();
    return -1;
  }
  rebuild();
  selectRows({row}, row);
  view_->scrollTo(model_->index(row, 1));
  refresh();
  if (view_->isVisible() && view_->isEnabled()) view_->setFocus();
  openEditor(row, firstEditColumn());
  return row;
}

int ListEditor::firstEditColumn() const {
  if (config_.editColumn >= 0) return config_.editColumn;
  for (int c = 0; c < int(config_.columns.size()); ++c)
    if (config_.columns[c].editor == ListColumn::Editor::Edit) return c;
  return -1;
}

void ListEditor::doubleClickAt(QPoint pos) {
  commitEditor();
  if (!doc_.hasImage()) return;
  const int row = view_->rowAt(pos.y());
  if (row < 0) {
    if (!config_.addOnDoubleClickBelow) return;
    const int added = addRecord();
    if (added >= 0) openEditor(added, firstEditColumn());
    return;
  }
  const int hit = view_->columnAt(pos.x());
  if (hit < 0) return;
  openEditor(row, config_.editColumn >= 0 ? config_.editColumn : RecordTableModel::dataColumn(hit));
}

bool ListEditor::openEditor(int row, int column) {
  editors_->close(true);
  if (!doc_.hasImage() || row < 0 || row >= model_->rowCount() || column < 0 ||
      column >= int(config_.columns.size()))
    return false;
  const ListColumn& c = config_.columns[column];
  const QModelIndex index = model_->index(row, RecordTableModel::modelColumn(column));
  switch (c.editor) {
    case ListColumn::Editor::None:
      return false;
    case ListColumn::Editor::Action:
      if (!config_.cellAction) return false;
      nameCellStep(column);
      config_.cellAction(row, column);
      model_->rowsChanged(row, row);
      return true;
    case ListColumn::Editor::Edit:
      view_->scrollTo(index);
      editors_->openEdit(this, view_, row, column, view_->visualRect(index), index.data().toString(),
                         c.maxLength, c.accepts);
      return true;
    case ListColumn::Editor::DropDown: {
      // A cell whose record offers nothing here (no choices) opens nothing.
      const std::vector<ListChoice> choices = c.choices ? c.choices(row) : std::vector<ListChoice>{};
      if (choices.empty()) return false;
      view_->scrollTo(index);
      editors_->openDropDown(this, view_, row, column, view_->visualRect(index), choices,
                             c.storedValue ? c.storedValue(row) : std::nullopt);
      return true;
    }
  }
  return false;
}

void ListEditor::applyEdit(int row, int column, const CellEdit& edit) {
  if (!doc_.hasImage() || row < 0 || row >= model_->rowCount() || !config_.applyEdit) return;
  nameCellStep(column);
  config_.applyEdit(row, column, edit);
  if (config_.cellsKeepEnteredText)
    model_->keepShown(row, column, edit.text);
  else
    model_->rowsChanged(row, row);
}

// A name still open in its box is written as a step of its own before an action changes
// the list: undoing the action must not take the typed name with it.
void ListEditor::commitEditor() {
  editors_->close(true);
  doc_.settleEdits("edit");
}

// Names the undo step of an action: "delete 3 channels", "add contact".
void ListEditor::nameStep(const QString& verb, int count) {
  QString noun = config_.title.trimmed().toLower();
  if (count == 1 && noun.endsWith(QLatin1Char('s'))) noun.chop(1);
  const bool one = count == 1 && (verb == QLatin1String("add") || verb == QLatin1String("insert"));
  const QString name =
      one ? verb + QLatin1Char(' ') + noun : QStringLiteral("%1 %2 %3").arg(verb).arg(count).arg(noun);
  doc_.nameNextStep(name.toStdString());
}

void ListEditor::nameCellStep(int column) {
  const QString caption = config_.columns[column].caption.trimmed();
  if (!caption.isEmpty()) doc_.nameNextStep(QStringLiteral("change %1").arg(caption).toStdString());
}
