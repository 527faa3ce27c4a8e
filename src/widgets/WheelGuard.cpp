#include "widgets/WheelGuard.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace pw::ui {
namespace {

class WheelFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Wheel) return false;
    auto* w = static_cast<QWidget*>(watched);
    if (w->hasFocus()) return false;
    // Ignored and consumed: the application hands the event on to the parent.
    event->ignore();
    return true;
  }
};

WheelFilter* sharedFilter() {
  static QPointer<WheelFilter> filter;
  if (!filter) filter = new WheelFilter(QCoreApplication::instance());
  return filter;
}

void guardOne(QWidget* w) {
  if (w->property("pwWheelGuarded").toBool()) return;
  w->setProperty("pwWheelGuarded", true);
  if (w->focusPolicy() == Qt::WheelFocus) w->setFocusPolicy(Qt::StrongFocus);
  w->installEventFilter(sharedFilter());
}

}  // namespace

void guardWheel(QWidget* root) {
  if (!root) return;
  auto isValueControl = [](QWidget* w) {
    return qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w);
  };
  if (isValueControl(root)) guardOne(root);
  for (QWidget* w : root->findChildren<QWidget*>())
    if (isValueControl(w)) guardOne(w);
}

}  // namespace pw::ui
