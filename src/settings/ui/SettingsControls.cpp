#include "settings/ui/SettingsControls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>

#include "widgets/FixedTable.h"

namespace settings_ui {

QLabel* heading(QWidget* parent, const char* text) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QStringLiteral("TitleLabel"));
  label->setStyleSheet(QStringLiteral("font-weight: bold; color: maroon;"));
  return label;
}

QToolButton* speedButton(QWidget* parent, const char* caption, const char* name, const char* hint) {
  auto* button = new QToolButton(parent);
  button->setText(QString::fromLatin1(caption));
  button->setObjectName(QString::fromLatin1(name));
  button->setCheckable(true);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  if (hint) button->setToolTip(QString::fromLatin1(hint));
  return button;
}

QComboBox* choiceBox(QWidget* parent, const char* name, const char* hint, const pw::Choices& choices) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setMaxVisibleItems(22);
  if (hint) box->setToolTip(QString::fromLatin1(hint));
  fillComboBox(box, choices);
  return box;
}

void addCaptioned(QGridLayout* grid, int row, const char* caption, QWidget* control, int span) {
  grid->addWidget(new QLabel(QString::fromLatin1(caption), grid->parentWidget()), row, 0);
  grid->addWidget(control, row, 1, 1, span);
}

QGroupBox* frame(QWidget* parent, const char* title, QGridLayout*& grid) {
  auto* group = new QGroupBox(QString::fromLatin1(title), parent);
  grid = new QGridLayout(group);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setVerticalSpacing(3);
  return group;
}

}  // namespace settings_ui
