#include "widgets/InputFilter.h"

#include <QLineEdit>
#include <algorithm>

namespace pw::ui {

bool charAllowed(CharRule rule, QChar c) {
  const char16_t u = c.unicode();
  const bool digit = u >= '0' && u <= '9';
  switch (rule) {
    case CharRule::Printable:
      return u >= 32 && u <= 127;
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

CharFilter::CharFilter(std::function<bool(QChar)> accepts, QObject* parent)
    : QValidator(parent), accepts_(std::move(accepts)) {}

// The inserted part is what lies between the longest common prefix and suffix of the
// new and the previous text; only that part is filtered.
QValidator::State CharFilter::validate(QString& input, int& pos) const {
  if (accepts_) {
    const qsizetype maxPrefix = std::min(input.size(), accepted_.size());
    qsizetype prefix = 0;
    while (prefix < maxPrefix && input[prefix] == accepted_[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < maxPrefix - prefix &&
           input[input.size() - 1 - suffix] == accepted_[accepted_.size() - 1 - suffix])
      ++suffix;
    const QString inserted = input.mid(prefix, input.size() - prefix - suffix);
    QString kept;
    for (QChar c : inserted)
      if (accepts_(c)) kept += c;
    if (kept.size() != inserted.size()) {
      input = input.left(prefix) + kept + input.right(suffix);
      pos = int(prefix + kept.size());
    }
  }
  accepted_ = input;
  return Acceptable;
}

CharFilter* installCharFilter(QLineEdit* edit, std::function<bool(QChar)> accepts) {
  auto* old = qobject_cast<const CharFilter*>(edit->validator());
  auto* filter = new CharFilter(std::move(accepts), edit);
  filter->resetTo(edit->text());
  edit->setValidator(filter);
  if (old && old->parent() == edit) delete old;
  return filter;
}

CharFilter* installCharFilter(QLineEdit* edit, CharRule rule) {
  return installCharFilter(edit, charPredicate(rule));
}

void setStoredText(QLineEdit* edit, const QString& text) {
  if (auto* filter = qobject_cast<const CharFilter*>(edit->validator())) filter->resetTo(text);
  edit->setText(text);
}

}  // namespace pw::ui
