#include "widgets/RecordTableModel.h"

RecordTableModel::RecordTableModel(const ListConfig& config, const pw::CodePlugDocument& doc, QObject* parent)
    : QAbstractTableModel(parent), config_(config), doc_(doc) {}

int RecordTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : modelColumn(int(config_.columns.size()));
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  const int column = dataColumn(index.column());
  if (column < 0) return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
  switch (role) {
    case Qt::DisplayRole: {
      if (!doc_.hasImage() || !config_.cellText) return QString();
      const auto kept = kept_.find({index.row(), column});
      return kept != kept_.end() ? kept->second : config_.cellText(index.row(), column);
    }
    case Qt::TextAlignmentRole:
      return int(config_.columns[column].alignment);  // what the item delegates read
    default:
      return {};
  }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  const int column = dataColumn(section);
  if (role == Qt::DisplayRole) return column < 0 ? QString() : config_.columns[column].caption;
  if (role == Qt::TextAlignmentRole && column >= 0) return int(config_.columns[column].captionAlignment);
  return {};
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const {
  // The grid never edits: cells change only through the overlay editors.
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                         : Qt::NoItemFlags;
}

void RecordTableModel::rebuild() {
  beginResetModel();
  kept_.clear();
  rows_ = doc_.hasImage() && config_.rowCount ? std::max(0, config_.rowCount()) : 0;
  endResetModel();
}

void RecordTableModel::rowsChanged(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, rows_ - 1);
  if (first > last) return;
  emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole});
}

void RecordTableModel::keepShown(int row, int column, const QString& text) {
  // Kept only where it differs from what the image gives, so that the cell still follows
  // changes made elsewhere (a renamed channel) wherever it can.
  if (text.isEmpty() || !config_.cellText || text == config_.cellText(row, column))
    kept_.erase({row, column});
  else
    kept_[{row, column}] = text;
  rowsChanged(row, row);
}

void RecordTableModel::rowsMoved(const std::vector<int>& from, const std::vector<int>& to) {
  if (kept_.empty() || from.size() != to.size()) return;
  // The new row of every old row: the moved ones as given, the rest in order around them.
  std::vector<int> newRow(std::size_t(rows_), -1);
  std::vector<bool> taken(std::size_t(rows_), false);
  for (std::size_t i = 0; i < from.size(); ++i) {
    if (from[i] < 0 || from[i] >= rows_ || to[i] < 0 || to[i] >= rows_) return;
    newRow[std::size_t(from[i])] = to[i];
    taken[std::size_t(to[i])] = true;
  }
  int next = 0;
  for (int old = 0; old < rows_; ++old) {
    if (newRow[std::size_t(old)] >= 0) continue;
    while (next < rows_ && taken[std::size_t(next)]) ++next;
    if (next >= rows_) {  // not a move of distinct rows: forget rather than guess
      kept_.clear();
      return;
    }
    newRow[std::size_t(old)] = next++;
  }
  std::map<std::pair<int, int>, QString> moved;
  for (const auto& [cell, text] : kept_) moved[{newRow[std::size_t(cell.first)], cell.second}] = text;
  kept_ = std::move(moved);
}
