#pragma once
// The search box of the Channels and Digital Contacts tabs: it searches 500 ms after
// the last change (ten ticks of a 50 ms timer), or at once on Enter; Escape is swallowed.

#include <QLineEdit>
#include <QTimer>

class SearchEdit : public QLineEdit {
  Q_OBJECT
public:
  explicit SearchEdit(QWidget* parent = nullptr);
  QTimer* timer() const { return timer_; }
  // The text to search for: trimmed and in lower case.
  QString searchText() const { return text().trimmed().toLower(); }

signals:
  // Runs the search; `byEnter` is set when Enter asked for it (the list then takes the focus).
  void searchRequested(const QString& text, bool byEnter);

protected:
  void keyPressEvent(QKeyEvent* event) override;

private:
  void tick();
  QTimer* timer_;
  int idleTicks_ = 0;
};
