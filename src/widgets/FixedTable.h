#pragma once
// What the grids of fixed-size tables (settings tabs) share: every record has a row,
// one row is selected at a time, there is no count caption, and a wide table scrolls
// sideways instead of widening its tab. Also the model's choices as drop-down entries.

#include <QComboBox>
#include <vector>

#include "codeplug/Choices.h"
#include "widgets/ListEditor.h"

// Turns a configured list editor into a fixed-size table grid.
void setUpFixedTable(ListEditor& list);

// The model's choices, each carrying its stored value.
std::vector<ListChoice> listChoices(const pw::Choices& choices);

// Fills a drop-down with the choices (each entry's data is its code), selecting none.
void fillComboBox(QComboBox* box, const pw::Choices& choices);
// Selects the entry carrying `code`; none when no entry carries it.
void selectCode(QComboBox* box, std::optional<std::uint32_t> code);
