#include "shell/EditSteps.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>

EditSteps::EditSteps(pw::CodePlugDocument& doc, std::function<QString()> describe, QObject* parent)
    : QObject(parent), doc_(doc), describe_(std::move(describe)) {
  qApp->installEventFilter(this);
}

EditSteps::~EditSteps() { qApp->removeEventFilter(this); }

bool EditSteps::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
      if (qobject_cast<QLineEdit*>(watched) || qobject_cast<QAbstractSpinBox*>(watched)) ++focusSerial_;
      break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::Shortcut:
    case QEvent::WindowUnblocked:  // a modal dialog closed: what its answer made follows now
      post();
      break;
    default:
      break;
  }
  return false;
}

// Posted twice over: once after the event, once more after what the event itself
// posted (a drop-down commits only after its list has closed).
void EditSteps::post() {
  if (posted_) return;
  posted_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
              posted_ = false;
              settle();
            },
            Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}

// Keystrokes in one text box, while it keeps the focus, share a key; anything else has none.
std::uint64_t EditSteps::mergeKey() const {
  QWidget* focus = QApplication::focusWidget();
  if (!qobject_cast<QLineEdit*>(focus) && !qobject_cast<QAbstractSpinBox*>(focus)) return 0;
  return (std::uint64_t(reinterpret_cast<std::uintptr_t>(focus)) << 16) ^ focusSerial_;
}

bool EditSteps::settle() {
  if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
  const QString name = describe_ ? describe_() : QStringLiteral("edit");
  doc_.settleEdits(name.toStdString(), mergeKey());
  // Counts a step an action settled itself too (a list's typed name before the action).
  const std::uint64_t settles = doc_.history().settleCount();
  const bool recorded = settles != settlesSeen_;
  settlesSeen_ = settles;
  if (recorded && changed) changed();
  return recorded;
}
