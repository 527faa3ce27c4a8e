#pragma once
// The character rules of edit boxes, for every way text enters a box. A refused
// character is taken away before the box sees it: a typed one never reaches the box, so
// it cannot replace a selection, count as an edit or mark the box changed. Pasted
// (Ctrl+V, the context menu, the middle button), dropped and input-method text is
// filtered first and then cut to the box's maximum length by the box itself; when
// nothing of it is left, the box stays exactly as it was. Text the box already held (a
// stored name with 8-bit characters) is left alone.
//
// The filter also remembers the text the box showed when the program last filled it,
// so that Enter or leaving an unchanged box can write nothing.

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QDropEvent;
class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QPoint;

namespace pw::ui {

enum class CharRule {
  Printable,  // 32..127: names and messages
  Digits,     // 0..9: IDs and numbers
  Frequency,  // digits, '.' and ','
  Hex,        // 0..9, a..f, A..F: privacy keys
  Dtmf,       // 0..9, A..D, a..d, '*', '#': DTMF digit strings
};

bool charAllowed(CharRule rule, QChar c);
std::function<bool(QChar)> charPredicate(CharRule rule);

class CharFilter : public QObject {
  Q_OBJECT
 public:
  // An empty predicate accepts everything.
  CharFilter(QLineEdit* edit, std::function<bool(QChar)> accepts);
  void setAccepts(std::function<bool(QChar)> accepts) { accepts_ = std::move(accepts); }
  // The characters of `text` the box takes, in order.
  QString kept(const QString& text) const;
  // Inserts the kept part of `text` as a paste does (over the selection, cut to the
  // box's length); nothing at all happens when no character is kept.
  void insert(const QString& text);

  // The text the program last filled the box with; none before the first fill.
  void setFilled(const QString& text) { filled_ = text; }
  const std::optional<QString>& filled() const { return filled_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool keyPressed(QKeyEvent* event);
  bool dropped(QDropEvent* event);
  bool inputMethod(QInputMethodEvent* event);
  void showContextMenu(const QPoint& globalPos);

  QLineEdit* edit_;
  std::function<bool(QChar)> accepts_;
  std::optional<QString> filled_;
};

// Installs the box's filter, or gives the one it has the new rule.
CharFilter* installCharFilter(QLineEdit* edit, CharRule rule);
CharFilter* installCharFilter(QLineEdit* edit, std::function<bool(QChar)> accepts);
// Sets a box's text from the model: shown as stored, nothing dropped, and remembered as
// the text the box was filled with.
void setStoredText(QLineEdit* edit, const QString& text);
// True when the box's text differs from the text it was last filled with (and for a
// box that was never filled through setStoredText).
bool changedSinceFilled(const QLineEdit* edit);

}  // namespace pw::ui
