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
    case Qt::DisplayRole:
      return doc_.hasImage() && config_.cellText ? config_.cellText(index.row(), column) : QString();
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
  rows_ = doc_.hasImage() && config_.rowCount ? std::max(0, config_.rowCount()) : 0;
  endResetModel();
}

void RecordTableModel::rowsChanged(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, rows_ - 1);
  if (first > last) return;
  emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole});
}
