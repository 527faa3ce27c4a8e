#pragma once
// The controls the settings tabs are built from: a bold heading, toggles that look like
// the radio's speed buttons, and fixed drop-down lists.

#include <QString>
#include <cstdint>
#include <string>

#include "codeplug/Choices.h"

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QToolButton;
class QWidget;

namespace settings_ui {

QLabel* heading(QWidget* parent, const char* text);
// A checkable tool button; `hint` may be null.
QToolButton* speedButton(QWidget* parent, const char* caption, const char* name, const char* hint = nullptr);
// A drop-down list holding `choices` in order (each entry's data its code), nothing selected.
QComboBox* choiceBox(QWidget* parent, const char* name, const char* hint, const pw::Choices& choices);
// A caption label in column 0 of `row` and the control across the next columns.
void addCaptioned(QGridLayout* grid, int row, const char* caption, QWidget* control, int span = 1);
// A framed group with a grid inside.
QGroupBox* frame(QWidget* parent, const char* title, QGridLayout*& grid);

inline QString latin1(const std::string& s) { return QString::fromLatin1(s.data(), qsizetype(s.size())); }

}  // namespace settings_ui
