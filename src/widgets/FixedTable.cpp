#include "widgets/FixedTable.h"

#include <QLabel>
#include <QSignalBlocker>

void setUpFixedTable(ListEditor& list) {
  list.view()->setSelectionMode(QAbstractItemView::SingleSelection);
  list.view()->setMinimumWidth(0);
  list.countLabel()->hide();
}

std::vector<ListChoice> listChoices(const pw::Choices& choices) {
  std::vector<ListChoice> out;
  out.reserve(choices.size());
  for (const pw::Choice& c : choices) out.push_back({QString::fromLatin1(c.text), qint64(c.code)});
  return out;
}

void fillComboBox(QComboBox* box, const pw::Choices& choices) {
  const QSignalBlocker quiet(box);
  box->clear();
  for (const pw::Choice& c : choices) box->addItem(QString::fromLatin1(c.text), QVariant::fromValue(c.code));
  box->setCurrentIndex(-1);
}

void selectCode(QComboBox* box, std::optional<std::uint32_t> code) {
  const QSignalBlocker quiet(box);
  box->setCurrentIndex(code ? box->findData(QVariant::fromValue(*code)) : -1);
}
