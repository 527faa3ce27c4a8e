#pragma once
// What a list tab tells the shared list editor: its columns with their editors and
// limits, its texts and capacity, and the callbacks into the model. Everything that
// every list does alike (grid, overlay editors, range selection, delete, moves,
// count caption, the clipboard) lives in ListEditor; a tab states only what differs.

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "widgets/InputFilter.h"

// One entry of a drop-down editor; it carries the value it stores.
struct ListChoice {
  QString text;
  qint64 value = 0;
};

// What an overlay editor hands back when it is committed.
struct CellEdit {
  QString text{};                 // the edit box's text, trimmed (or the chosen entry's text)
  std::optional<qint64> value{};  // the chosen entry's value (drop-down only)
};

struct ListColumn {
  enum class Editor {
    None,      // double-click does nothing
    Edit,      // the overlay edit box
    DropDown,  // the overlay drop-down list (choices only)
    Action,    // double-click runs cellAction (e.g. cycles a value)
  };

  QString caption{};
  int width = 60;
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;         // cells
  Qt::Alignment captionAlignment = Qt::AlignLeft | Qt::AlignVCenter;  // header
  bool stretch = false;  // takes the remaining width, never less than `width`

  Editor editor = Editor::None;
  int maxLength = 32767;                 // Edit
  // Edit: characters kept from typed, pasted or dropped text; none = all.
  std::function<bool(QChar)> accepts{};
  std::function<std::vector<ListChoice>(int row)> choices{};    // DropDown; none: nothing opens
  std::function<std::optional<qint64>(int row)> storedValue{};  // DropDown: selects the choice carrying it

  // A column centred in cell and header, as the record-number and code columns are.
  static ListColumn centred(const QString& caption, int width, Editor editor = Editor::None) {
    return {.caption = caption,
            .width = width,
            .alignment = Qt::AlignCenter,
            .captionAlignment = Qt::AlignCenter,
            .editor = editor};
  }

  // Common character sets of edit boxes (the shared input filter's rules).
  static bool printable(QChar c) { return pw::ui::charAllowed(pw::ui::CharRule::Printable, c); }
  static bool digit(QChar c) { return pw::ui::charAllowed(pw::ui::CharRule::Digits, c); }
  static bool hexDigit(QChar c) { return pw::ui::charAllowed(pw::ui::CharRule::Hex, c); }
};

// What a paste did: the rows it added (ascending) and what the user is told afterwards
// (empty: nothing to tell).
struct PastedRows {
  std::vector<int> rows{};
  std::string message{};
};

// One entry of the grid's context menu.
struct ListMenuEntry {
  QString text{};                   // empty: a separator
  std::function<bool()> enabled{};  // asked each time the menu opens; none: enabled
  std::function<void()> run{};      // none: the entry only closes the menu
};

struct ListConfig {
  // Count caption: "<title> .. used N of <capacity>. [K selected. ]"; also the Add limit.
  QString title{};
  int capacity = 0;
  // Shown instead of "<title> .. up to <capacity>. " while no code plug is loaded.
  QString noImageCaption{};

  // The data columns; the grid puts its hidden 1-pixel column before them. Callbacks
  // number columns from 0 = the first of these (usually "No.").
  std::vector<ListColumn> columns{};
  bool showHeaders = true;
  bool gridLines = true;
  // After an edit the cell shows the committed text (the edit box's trimmed text, or the
  // chosen entry's) until the rows are rebuilt, rather than the text read back from the
  // image ("Infinite" for "infinite", "12ab" for "12AB"). An empty text is not kept.
  bool cellsKeepEnteredText = false;
  // A double-click on any cell edits this column instead (-1: the cell hit).
  int editColumn = -1;
  // A double-click below the last row adds a record and opens the editor on it.
  bool addOnDoubleClickBelow = false;
  // The added row becomes the only selected row (otherwise it is focused, not selected).
  bool selectAddedRow = false;
  // Move Up/Move Down buttons move by ten while Shift is held (Ctrl+Shift+arrows always do).
  bool buttonsShiftForTen = false;
  // Title words of the count caption right after Add (empty: `title`), until the
  // selection changes or the rows are rebuilt.
  QString addedTitle{};
  // The grid's context menu, in order (empty: none). Entries that run something are
  // disabled while no image is loaded.
  std::vector<ListMenuEntry> contextMenu{};

  QString viewName = QStringLiteral("ListView");
  QString countLabelName = QStringLiteral("CountLabel");
  QString addText = QStringLiteral("Add");
  QString deleteText = QStringLiteral("Delete");
  QString moveUpText = QStringLiteral("Move Up");
  QString moveDownText = QStringLiteral("Move Down");

  // ---- model callbacks (called only while an image is loaded) ----
  std::function<int()> rowCount{};                         // read at every rebuild
  std::function<QString(int row, int column)> cellText{};  // decoded from the image on demand
  // Validates and stores a committed edit; an invalid value is dropped silently.
  std::function<void(int row, int column, const CellEdit& edit)> applyEdit{};
  std::function<void(int row, int column)> cellAction{};  // Action columns
  // Delete-one of record number n (1-based): 0 deleted, -1 kept and go on, -2 stop.
  // Absent: the list has no Delete command.
  std::function<int(int number)> deleteOne{};
  // Moves the record of `row` by delta places (positive towards row 0). Absent: no moves.
  std::function<void(int row, int delta)> moveOne{};
  // Optional: moves all selected rows (ascending) by the clamped delta in one go and
  // returns the rows they occupy afterwards; the same result as moveOne row by row.
  std::function<std::vector<int>(const std::vector<int>& rows, int delta)> moveRows{};
  // Adds a record with the list's default name; the new row, or negative. Absent: no Add.
  std::function<int()> add{};
  // Runs after the deferred refresh that follows every change of the selection.
  std::function<void()> selectionChanged{};

  // ---- copy, paste and insert (each absent: the list has no such command) ----
  // The clipboard text of the records of `rows` (ascending): a header line, then one line each.
  std::function<QString(const std::vector<int>& rows)> copyText{};
  // A mark of the code plug as it is now, carried beside a copy's text; the paste is told
  // whether the clipboard carries the mark the code plug has when it pastes. None: no mark.
  std::function<QByteArray()> copySource{};
  // Pastes the text at row `at` (the rows from there on move down) as one undo step.
  std::function<PastedRows(const QString& text, int at, bool sameSource)> paste{};
  // Inserts a record with the list's default name at row `at`; the new row, or negative.
  std::function<int(int at)> insert{};
};
