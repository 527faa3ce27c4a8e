#pragma once
// The character rules of edit boxes, for every way text enters a box: typing, paste,
// middle-button paste and drops all land in the box's text, and a validator sees the
// result. Characters the rule rejects are dropped from the inserted text; the rest of
// it is kept. Text the box already held (a stored name with 8-bit characters) is left
// alone, so merely opening and leaving a box never rewrites it.

#include <QString>
#include <QValidator>
#include <functional>

class QLineEdit;

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

class CharFilter : public QValidator {
  Q_OBJECT
 public:
  CharFilter(std::function<bool(QChar)> accepts, QObject* parent);
  State validate(QString& input, int& pos) const override;
  // Takes `text` as the box's own text: none of it is filtered.
  void resetTo(const QString& text) const { accepted_ = text; }

 private:
  std::function<bool(QChar)> accepts_;
  mutable QString accepted_;  // the text after the last change, to tell what was inserted
};

// Installs (or replaces) the box's filter. An empty predicate accepts everything.
CharFilter* installCharFilter(QLineEdit* edit, CharRule rule);
CharFilter* installCharFilter(QLineEdit* edit, std::function<bool(QChar)> accepts);
// Sets a box's text from the model: the text is shown as stored, nothing is dropped.
void setStoredText(QLineEdit* edit, const QString& text);

}  // namespace pw::ui
