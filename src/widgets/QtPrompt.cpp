#include "widgets/QtPrompt.h"

#include <QMessageBox>
#include <QString>

namespace {

QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const std::string& title,
                                const std::string& text, QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, QString::fromLatin1(title.data(), qsizetype(title.size())),
                  // Model texts are 8-bit, one byte per character (names may hold codes above 127).
                  QString::fromLatin1(text.data(), qsizetype(text.size())), buttons, parent);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

pw::RefusalAnswer QtPrompt::refuse(const std::string& text) {
  // Closing the box counts as Cancel: only an explicit OK goes on.
  return ask(parent_, QMessageBox::Information, "Opps", text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok
             ? pw::RefusalAnswer::GoOn
             : pw::RefusalAnswer::Stop;
}

void QtPrompt::error(const std::string& text) { ask(parent_, QMessageBox::Critical, "Error", text, QMessageBox::Ok); }

bool QtPrompt::warnYesNo(const std::string& text) {
  return ask(parent_, QMessageBox::Warning, "Warning", text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

pw::Answer QtPrompt::question(const std::string& text, bool withCancel) {
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (withCancel) buttons |= QMessageBox::Cancel;
  switch (ask(parent_, QMessageBox::Question, "Query", text, buttons)) {
    case QMessageBox::Yes: return pw::Answer::Yes;
    case QMessageBox::No: return pw::Answer::No;
    default: return withCancel ? pw::Answer::Cancel : pw::Answer::No;
  }
}

void QtPrompt::inform(const std::string& title, const std::string& text) {
  ask(parent_, QMessageBox::Information, title, text, QMessageBox::Ok);
}
