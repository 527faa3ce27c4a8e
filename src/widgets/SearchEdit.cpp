#include "widgets/SearchEdit.h"

#include <QKeyEvent>

namespace {
constexpr int kTickMs = 50;
constexpr int kTicksBeforeSearch = 10;
}  // namespace

SearchEdit::SearchEdit(QWidget* parent) : QLineEdit(parent), timer_(new QTimer(this)) {
  setObjectName(QStringLiteral("SearchEdit"));
  timer_->setObjectName(QStringLiteral("Timer1"));
  timer_->setInterval(kTickMs);
  connect(timer_, &QTimer::timeout, this, &SearchEdit::tick);
  connect(this, &QLineEdit::textChanged, this, [this] {
    idleTicks_ = 0;
    timer_->start();
  });
}

void SearchEdit::tick() {
  if (++idleTicks_ < kTicksBeforeSearch) return;
  timer_->stop();
  emit searchRequested(searchText(), false);
}

void SearchEdit::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      timer_->stop();
      emit searchRequested(searchText(), true);
      event->accept();
      return;
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QLineEdit::keyPressEvent(event);
  }
}
