#pragma once
// The one overlay edit box and drop-down list of a tab, opened over a cell of a list's grid.

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QTableView>
#include <functional>
#include <optional>
#include <vector>

#include "widgets/ListEditorConfig.h"
#include "widgets/OverlayComboBox.h"

class ListEditor;

// The one edit box and one drop-down list of a tab. Hidden and parked on the tab
// when unused; opened over a cell of a grid; committed or cancelled as the user leaves.
class OverlayEditors : public QObject {
  Q_OBJECT
 public:
  explicit OverlayEditors(QWidget* host, QObject* parent = nullptr);

  QLineEdit* edit() const { return edit_; }
  QComboBox* comboBox() const { return combo_; }
  bool isOpen() const { return owner_ != nullptr; }
  bool isOpenOn(const ListEditor* list) const { return owner_ == list; }
  int row() const { return row_; }
  int column() const { return column_; }
  int rowHeight() const;

  void openEdit(ListEditor* owner, QTableView* view, int row, int column, const QRect& cell,
                const QString& text, int maxLength, std::function<bool(QChar)> accepts);
  void openDropDown(ListEditor* owner, QTableView* view, int row, int column, const QRect& cell,
                    const std::vector<ListChoice>& choices, std::optional<qint64> stored);
  // Hands the editor's value to its list when commit is set, then hides and parks both.
  void close(bool commit);
  // The list goes away: drop its open editor without writing.
  void forget(const ListEditor* list);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Kind { None, Text, Choice };
  void begin(ListEditor* owner, QTableView* view, Kind kind, int row, int column);
  void show(QWidget* editor, QTableView* view, const QRect& cell);
  void park();
  bool filterKey(QKeyEvent* event);

  QWidget* host_;
  QPointer<QLineEdit> edit_;
  QPointer<OverlayComboBox> combo_;
  ListEditor* owner_ = nullptr;
  QTableView* view_ = nullptr;
  Kind kind_ = Kind::None;
  int row_ = -1;
  int column_ = -1;
  int initialChoice_ = -1;
  int opening_ = 0;  // counts the editors opened, to match a late commit with its editor
};

// Leading and trailing characters below 33 removed: what every cell edit stores.
QString trimCellText(const QString& text);
