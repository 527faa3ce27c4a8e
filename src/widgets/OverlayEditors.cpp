#include "widgets/OverlayEditors.h"

#include <QKeyEvent>

#include "widgets/InputFilter.h"
#include "widgets/ListEditor.h"
#include "widgets/WheelGuard.h"

QString trimCellText(const QString& text) {
  qsizetype first = 0, last = text.size();
  while (first < last && text.at(first).unicode() < 33) ++first;
  while (last > first && text.at(last - 1).unicode() < 33) --last;
  return text.mid(first, last - first);
}

OverlayEditors::OverlayEditors(QWidget* host, QObject* parent)
    : QObject(parent ? parent : host),
      host_(host),
      edit_(new QLineEdit(host)),
      combo_(new OverlayComboBox(host)) {
  edit_->setObjectName(QStringLiteral("listViewEdit"));
  combo_->setObjectName(QStringLiteral("listViewComboBox"));
  combo_->setEditable(false);
  combo_->setMaxVisibleItems(20);
  edit_->hide();
  combo_->hide();
  edit_->installEventFilter(this);
  combo_->installEventFilter(this);
  pw::ui::guardWheel(combo_);
  // The list hides before it sets the picked entry: commit once the pick has landed.
  connect(combo_, &OverlayComboBox::popupHidden, this, [this] {
    if (kind_ != Kind::Choice) return;
    QMetaObject::invokeMethod(
        this,
        [this, opening = opening_] {
          if (kind_ == Kind::Choice && opening == opening_) close(true);
        },
        Qt::QueuedConnection);
  });
}

int OverlayEditors::rowHeight() const {
  return std::max(edit_->sizeHint().height(), combo_->sizeHint().height());
}

void OverlayEditors::begin(ListEditor* owner, QTableView* view, Kind kind, int row, int column) {
  close(true);
  ++opening_;
  owner_ = owner;
  view_ = view;
  kind_ = kind;
  row_ = row;
  column_ = column;
}

void OverlayEditors::show(QWidget* editor, QTableView* view, const QRect& cell) {
  editor->setParent(view->viewport());
  editor->setGeometry(cell);
  editor->show();
  editor->raise();
  editor->setFocus(Qt::OtherFocusReason);
}

void OverlayEditors::openEdit(ListEditor* owner, QTableView* view, int row, int column, const QRect& cell,
                              const QString& text, int maxLength, std::function<bool(QChar)> accepts) {
  begin(owner, view, Kind::Text, row, column);
  pw::ui::installCharFilter(edit_, std::move(accepts));
  edit_->setMaxLength(maxLength);
  pw::ui::setStoredText(edit_, trimCellText(text));
  show(edit_, view, cell);
  edit_->selectAll();
}

void OverlayEditors::openDropDown(ListEditor* owner, QTableView* view, int row, int column, const QRect& cell,
                                  const std::vector<ListChoice>& choices, std::optional<qint64> stored) {
  begin(owner, view, Kind::Choice, row, column);
  combo_->blockSignals(true);
  combo_->clear();
  initialChoice_ = -1;
  for (const ListChoice& choice : choices) {
    if (stored && choice.value == *stored && initialChoice_ < 0) initialChoice_ = combo_->count();
    combo_->addItem(choice.text, QVariant::fromValue(choice.value));
  }
  combo_->setCurrentIndex(initialChoice_);  // a value no choice carries shows none
  combo_->blockSignals(false);
  show(combo_, view, cell);
  combo_->showPopup();
}

void OverlayEditors::close(bool commit) {
  ListEditor* owner = owner_;
  const Kind kind = kind_;
  const int row = row_, column = column_;
  owner_ = nullptr;
  kind_ = Kind::None;
  row_ = column_ = -1;
  if (owner && commit) {
    if (kind == Kind::Text) {
      // An edit box left as it opened writes nothing: the cell may hide what its record holds.
      if (pw::ui::changedSinceFilled(edit_))
        owner->applyEdit(row, column, CellEdit{trimCellText(edit_->text()), std::nullopt});
    } else if (kind == Kind::Choice && combo_->currentIndex() >= 0 &&
               combo_->currentIndex() != initialChoice_) {
      owner->applyEdit(row, column,
                       CellEdit{trimCellText(combo_->currentText()), combo_->currentData().toLongLong()});
    }
  }
  park();
}

void OverlayEditors::forget(const ListEditor* list) {
  if (owner_ != list) return;
  owner_ = nullptr;
  close(false);
}

void OverlayEditors::park() {
  if (combo_ && combo_->view()->isVisible()) combo_->QComboBox::hidePopup();
  for (QWidget* editor : {static_cast<QWidget*>(edit_), static_cast<QWidget*>(combo_)}) {
    if (!editor) continue;  // the tab is being torn down
    const bool hadFocus = editor->hasFocus();
    editor->hide();
    if (editor->parentWidget() != host_) editor->setParent(host_);
    if (hadFocus && view_) view_->setFocus();
  }
  view_ = nullptr;
}

bool OverlayEditors::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    // Leaving the editor commits; a popup or another window taking the focus does not.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    const bool leaving = reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
    if (leaving && watched == edit_ && kind_ == Kind::Text) close(true);
    if (leaving && watched == combo_ && kind_ == Kind::Choice && !combo_->view()->isVisible()) close(true);
    return false;
  }
  if (event->type() == QEvent::KeyPress && watched == edit_ && kind_ == Kind::Text)
    return filterKey(static_cast<QKeyEvent*>(event));
  return false;
}

bool OverlayEditors::filterKey(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      close(true);
      return true;
    case Qt::Key_Escape:
      close(false);
      return true;
    default:
      return false;  // characters meet the box's filter, which sees every way text enters
  }
}
