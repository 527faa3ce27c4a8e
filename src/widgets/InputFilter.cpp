#include "widgets/InputFilter.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include "codeplug/Text.h"

namespace pw::ui {

bool charAllowed(CharRule rule, QChar c) {
  const char16_t u = c.unicode();
  const bool digit = u >= '0' && u <= '9';
  switch (rule) {
    case CharRule::Printable:
      return pw::nameAccepts(u);
    case CharRule::Digits:
      return digit;
    case CharRule::Frequency:
      return digit || u == '.' || u == ',';
    case CharRule::Hex:
      return digit || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
    case CharRule::Dtmf:
      return digit || (u >= 'a' && u <= 'd') || (u >= 'A' && u <= 'D') || u == '*' || u == '#';
  }
  return false;
}

std::function<bool(QChar)> charPredicate(CharRule rule) {
  return [rule](QChar c) { return charAllowed(rule, c); };
}

namespace {

// A key the box would insert as text (the rule the line edit itself applies): text that
// starts with a printable or formatting character, not a Ctrl shortcut.
bool typesText(const QKeyEvent* event) {
  const QString text = event->text();
  if (text.isEmpty()) return false;
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier)) return false;
  const QChar c = text.front();
  return c.isPrint() || c.category() == QChar::Other_Format || c.category() == QChar::Other_PrivateUse ||
         c.isHighSurrogate();
}

QString clipboardText(QClipboard::Mode mode) { return QGuiApplication::clipboard()->text(mode); }

// Hands an event straight to the box, past its event filters (this one included).
bool deliver(QLineEdit* edit, QEvent* event) { return static_cast<QObject*>(edit)->event(event); }

}  // namespace

CharFilter::CharFilter(QLineEdit* edit, std::function<bool(QChar)> accepts)
    : QObject(edit), edit_(edit), accepts_(std::move(accepts)) {
  edit->installEventFilter(this);
}

QString CharFilter::kept(const QString& text) const {
  if (!accepts_) return text;
  QString out;
  out.reserve(text.size());
  for (QChar c : text)
    if (accepts_(c)) out += c;
  return out;
}

void CharFilter::insert(const QString& text) {
  const QString k = kept(text);
  if (!k.isEmpty()) edit_->insert(k);  // replaces the selection and keeps to maxLength
}

bool CharFilter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != edit_ || !accepts_ || edit_->isReadOnly()) return false;
  switch (event->type()) {
    case QEvent::KeyPress:
      return keyPressed(static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonRelease: {
      // Middle-button paste of the selection where the system has one.
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::MiddleButton || !QGuiApplication::clipboard()->supportsSelection())
        return false;
      const QString k = kept(clipboardText(QClipboard::Selection));
      if (!k.isEmpty()) {
        edit_->deselect();  // pasted at the pointer, as the box does, not over the selection
        edit_->insert(k);
      }
      return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      // Text with nothing the box takes is no drop target: the box is left alone.
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (!drag->mimeData()->hasText() || !kept(drag->mimeData()->text()).isEmpty()) return false;
      drag->ignore();
      return true;
    }
    case QEvent::Drop:
      return dropped(static_cast<QDropEvent*>(event));
    case QEvent::InputMethod:
      return inputMethod(static_cast<QInputMethodEvent*>(event));
    case QEvent::ContextMenu:
      if (edit_->contextMenuPolicy() != Qt::DefaultContextMenu) return false;
      showContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    default:
      return false;
  }
}

bool CharFilter::keyPressed(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    insert(clipboardText(QClipboard::Clipboard));
    return true;
  }
  if (!typesText(event) || kept(event->text()) == event->text()) return false;
  insert(event->text());
  return true;
}

bool CharFilter::dropped(QDropEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (!mime->hasText()) return false;
  const QString text = mime->text();
  const QString k = kept(text);
  if (k == text) return false;
  if (k.isEmpty()) {
    event->ignore();
    return true;
  }
  // The box places and inserts the text itself (and takes a moved text from where it came).
  QMimeData filtered;
  filtered.setText(k);
  QDropEvent copy(event->position(), event->possibleActions(), &filtered, event->buttons(), event->modifiers());
  copy.setDropAction(event->dropAction());
  deliver(edit_, &copy);
  event->setDropAction(copy.dropAction());
  event->setAccepted(copy.isAccepted());
  return true;
}

bool CharFilter::inputMethod(QInputMethodEvent* event) {
  const QString k = kept(event->commitString());
  if (k == event->commitString()) return false;
  QInputMethodEvent copy(event->preeditString(), event->attributes());
  copy.setCommitString(k, event->replacementStart(), event->replacementLength());
  deliver(edit_, &copy);
  event->setAccepted(copy.isAccepted());
  return true;
}

// The box's own menu, with its Paste going through the filter.
void CharFilter::showContextMenu(const QPoint& globalPos) {
  QMenu* menu = edit_->createStandardContextMenu();
  if (!menu) return;
  const QString paste = QLineEdit::tr("&Paste");
  for (QAction* action : menu->actions()) {
    if (action->text().section(QLatin1Char('\t'), 0, 0) != paste) continue;
    action->disconnect(edit_);
    connect(action, &QAction::triggered, this, [this] { insert(clipboardText(QClipboard::Clipboard)); });
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(globalPos);
}

CharFilter* installCharFilter(QLineEdit* edit, std::function<bool(QChar)> accepts) {
  if (auto* filter = edit->findChild<CharFilter*>(QString(), Qt::FindDirectChildrenOnly)) {
    filter->setAccepts(std::move(accepts));
    return filter;
  }
  return new CharFilter(edit, std::move(accepts));
}

CharFilter* installCharFilter(QLineEdit* edit, CharRule rule) {
  return installCharFilter(edit, charPredicate(rule));
}

void setStoredText(QLineEdit* edit, const QString& text) {
  auto* filter = edit->findChild<CharFilter*>(QString(), Qt::FindDirectChildrenOnly);
  if (!filter) filter = new CharFilter(edit, {});
  edit->setText(text);
  filter->setFilled(edit->text());  // what the box shows, cut to its length
}

bool changedSinceFilled(const QLineEdit* edit) {
  const auto* filter = edit->findChild<const CharFilter*>(QString(), Qt::FindDirectChildrenOnly);
  return !filter || !filter->filled() || edit->text() != *filter->filled();
}

}  // namespace pw::ui
