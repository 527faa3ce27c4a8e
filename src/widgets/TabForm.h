#pragma once
// What the main window asks of every tab: rebuild or refresh itself from the image.

#include <QWidget>

#include "codeplug/CodePlugDocument.h"
#include "widgets/WheelGuard.h"

class TabForm : public QWidget {
  Q_OBJECT
public:
  TabForm(pw::CodePlugDocument& document, QWidget* parent = nullptr) : QWidget(parent), doc(document) {}
  // With rebuild set the tab rebuilds its rows and controls from the image; without it
  // a list tab keeps its rows and only brings captions and command states up to date.
  // topRow > 0 scrolls a list to that row.
  virtual void refresh(bool rebuild, int topRow) = 0;

signals:
  // An action of this tab added records that other tabs list (an import that created
  // zones): they rebuild when next shown.
  void recordsAddedElsewhere();

protected:
  // Every drop-down and spin box a tab shows takes the wheel only while focused.
  void showEvent(QShowEvent* event) override {
    pw::ui::guardWheel(this);
    QWidget::showEvent(event);
  }

  pw::CodePlugDocument& doc;
};
