#pragma once
// The table behind a list grid. It holds no record data: every cell is decoded from
// the image when the view asks for it, so the grid cannot drift from the code plug.
// Only the row count is taken at each rebuild (a model reset), and, for lists that keep
// what the user entered, the texts of edited cells until then.

#include <QAbstractTableModel>
#include <map>
#include <utility>
#include <vector>

#include "widgets/ListEditorConfig.h"
#include "codeplug/CodePlugDocument.h"

class RecordTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  RecordTableModel(const ListConfig& config, const pw::CodePlugDocument& doc, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Model column of data column `column` (the hidden 1-pixel column is model column 0).
  static int modelColumn(int column) { return column + 1; }
  static int dataColumn(int modelColumn) { return modelColumn - 1; }

  // Re-reads the rows from the image (a model reset).
  void rebuild();
  // The cells of these rows changed in the image.
  void rowsChanged(int first, int last);
  // The cell shows `text` instead of the image's until the next rebuild (an empty text,
  // or the image's own, shows the image's again).
  void keepShown(int row, int column, const QString& text);
  // The selected rows `from` (ascending) now sit at `to`; the other rows kept their order.
  void rowsMoved(const std::vector<int>& from, const std::vector<int>& to);

 private:
  const ListConfig& config_;
  const pw::CodePlugDocument& doc_;
  int rows_ = 0;
  std::map<std::pair<int, int>, QString> kept_;  // (row, data column) -> text shown
};
