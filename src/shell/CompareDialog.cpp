#include "shell/CompareDialog.h"

#include <QAbstractItemModel>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>
#include <cstdio>

namespace {

using pw::text::FieldDifference;
using pw::text::RecordDifference;
using pw::text::RestDifference;
using pw::text::SectionDifference;
using pw::text::TextRecord;
using pw::text::TextValue;

constexpr int kShownBytes = 16;      // of a rest difference in its cell
constexpr int kExpandAllUpTo = 200;  // rows: a comparison this small opens wholly

QString latin(const std::string& s) { return QString::fromLatin1(s.data(), qsizetype(s.size())); }

// A value as the tabs show it, what the text form comments beside it in brackets.
QString valueText(const TextValue& v) {
  QString text;
  if (v.isList) {
    QStringList items;
    for (const std::string& item : v.items) items << latin(item);
    text = QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
  } else {
    text = latin(v.text);
  }
  if (!v.comment.empty()) text += QStringLiteral("  (") + latin(v.comment) + QLatin1Char(')');
  return text;
}

// A record by number and, for a list, name.
QString title(const TextRecord* r) {
  if (!r) return {};
  const QString number = QString::number(r->number);
  return r->fields.empty() || !r->fields.front().value.quoted
             ? number
             : number + QLatin1Char(' ') + latin(r->fields.front().value.text);
}

QString hexText(const std::vector<std::uint8_t>& bytes, std::size_t limit) {
  QString s;
  for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) s += QString::asprintf("%02x", bytes[i]);
  return bytes.size() > limit ? s + QStringLiteral("...") : s;
}

}  // namespace

// Sections at the top; under a list or a table its records, under a changed record its
// fields; under a block its fields; under the rest its runs of bytes. An index's
// internal id names its parent: 0 a section, s + 1 a row of section s, and
// ((r + 1) << 8 | s + 1) a field of record r of section s.
class CompareModel : public QAbstractItemModel {
 public:
  enum Column { WhatColumn, ThisColumn, OtherColumn, ColumnCount };

  explicit CompareModel(pw::text::PlugComparison comparison, QObject* parent)
      : QAbstractItemModel(parent), c_(std::move(comparison)) {}

  const pw::text::PlugComparison& comparison() const { return c_; }
  // The top rows: the sections, then the suffix CRC and the rest when they differ.
  int sectionCount() const {
    return int(c_.sections().size()) + (c_.suffixCrc() ? 1 : 0) + (c_.rest().empty() ? 0 : 1);
  }
  bool isSection(int s) const { return s < int(c_.sections().size()); }
  bool isCrc(int s) const { return c_.suffixCrc() && s == int(c_.sections().size()); }
  bool isRest(int s) const { return !isSection(s) && !isCrc(s); }
  bool isBlock(int s) const {
    const auto& d = *c_.sections()[std::size_t(s)].desc;
    return !d.list && !d.count;
  }
  const SectionDifference& section(int s) const { return c_.sections()[std::size_t(s)]; }

  static int sectionOf(const QModelIndex& i) {
    const quintptr id = i.internalId();
    return id == 0 ? i.row() : int(id & 0xFF) - 1;
  }
  static int depth(const QModelIndex& i) {
    const quintptr id = i.internalId();
    return id == 0 ? 0 : (id >> 8) == 0 ? 1 : 2;
  }
  // The record a row of a list or a table stands for (itself or its field's record).
  const RecordDifference* recordOf(const QModelIndex& i) const {
    const int s = sectionOf(i);
    if (depth(i) == 0 || !isSection(s) || isBlock(s)) return nullptr;
    const int r = depth(i) == 1 ? i.row() : int(i.internalId() >> 8) - 1;
    return &section(s).records[std::size_t(r)];
  }

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override {
    if (row < 0 || column < 0 || column >= ColumnCount || row >= rowCount(parent)) return {};
    if (!parent.isValid()) return createIndex(row, column, quintptr(0));
    if (depth(parent) == 0) return createIndex(row, column, quintptr(parent.row() + 1));
    return createIndex(row, column, (quintptr(parent.row() + 1) << 8) | parent.internalId());
  }

  QModelIndex parent(const QModelIndex& child) const override {
    if (!child.isValid() || depth(child) == 0) return {};
    const int s = sectionOf(child);
    if (depth(child) == 1) return createIndex(s, 0, quintptr(0));
    return createIndex(int(child.internalId() >> 8) - 1, 0, quintptr(s + 1));
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    if (!parent.isValid()) return sectionCount();
    if (parent.column() != 0) return 0;
    const int s = sectionOf(parent);
    if (depth(parent) == 0) {
      if (isCrc(s)) return 0;
      if (isRest(s)) return int(c_.rest().size());
      return isBlock(s) ? int(section(s).records.front().fields.size()) : int(section(s).records.size());
    }
    if (depth(parent) == 1 && isSection(s) && !isBlock(s))
      return int(section(s).records[std::size_t(parent.row())].fields.size());
    return 0;
  }
  int columnCount(const QModelIndex& = {}) const override { return ColumnCount; }

  QVariant headerData(int column, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const captions[] = {"Difference", "This code plug", "Other file"};
    return QString::fromLatin1(captions[column]);
  }

  QVariant data(const QModelIndex& i, int role) const override {
    if (!i.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const int s = sectionOf(i);
    if (isCrc(s)) return crcText(*c_.suffixCrc(), i.column());
    if (depth(i) == 0) {
      if (i.column() != WhatColumn) return {};
      const QString key = isRest(s) ? QStringLiteral("rest") : QString::fromLatin1(section(s).desc->key);
      return QString(key).replace(QLatin1Char('_'), QLatin1Char(' ')) + QStringLiteral(" (") +
             QString::number(rowCount(index(i.row(), 0))) + QLatin1Char(')');
    }
    if (isRest(s)) return restText(c_.rest()[std::size_t(i.row())], i.column(), role);
    if (isBlock(s)) return fieldText(section(s).records.front().fields[std::size_t(i.row())], i.column());
    const RecordDifference& r = *recordOf(i);
    return depth(i) == 1 ? recordText(r, i.column()) : fieldText(r.fields[std::size_t(i.row())], i.column());
  }

 private:
  static QVariant recordText(const RecordDifference& r, int column) {
    using Kind = RecordDifference::Kind;
    switch (column) {
      case ThisColumn:
        return title(r.a);
      case OtherColumn:
        return title(r.b);
      default:
        break;
    }
    switch (r.kind) {
      case Kind::Changed:
        return QStringLiteral("changed ") + title(r.a);
      case Kind::Moved:
        return QStringLiteral("moved ") + QString::number(r.a->number) + QStringLiteral(" -> ") + title(r.b);
      case Kind::Removed:
        return QStringLiteral("removed ") + title(r.a);
      case Kind::Added:
        return QStringLiteral("added ") + title(r.b);
    }
    return {};
  }
  static QVariant fieldText(const FieldDifference& f, int column) {
    switch (column) {
      case ThisColumn:
        return valueText(f.a->value);
      case OtherColumn:
        return f.b ? valueText(f.b->value) : QStringLiteral("(none)");
      default:
        return QString::fromLatin1(f.a->key.view());
    }
  }
  static QVariant crcText(const pw::text::SuffixCrcDifference& crc, int column) {
    switch (column) {
      case ThisColumn:
        return QString::fromStdString(pw::text::suffixCrcText(crc.a));
      case OtherColumn:
        return QString::fromStdString(pw::text::suffixCrcText(crc.b));
      default:
        return QStringLiteral("suffix crc");
    }
  }
  static QVariant restText(const RestDifference& r, int column, int role) {
    // The tooltip shows more of a long run than the cell.
    const std::size_t limit = role == Qt::ToolTipRole ? 4 * kShownBytes : kShownBytes;
    switch (column) {
      case ThisColumn:
        return hexText(r.a, limit);
      case OtherColumn:
        return hexText(r.b, limit);
      default:
        return QString::asprintf("0x%05zX", r.at) + QStringLiteral(" (") +
               QString::fromStdString(pw::text::regionLabel(r.at)) + QLatin1Char(')');
    }
  }

  pw::text::PlugComparison c_;
};

CompareDialog::CompareDialog(pw::text::PlugComparison comparison, const QString& thisName,
                             const QString& otherName, QWidget* parent)
    : QDialog(parent), model_(new CompareModel(std::move(comparison), this)), tree_(new QTreeView(this)) {
  setObjectName(QStringLiteral("CompareDialog"));
  setWindowTitle(QStringLiteral("Compare"));
  setAttribute(Qt::WA_DeleteOnClose);

  auto* heading = new QLabel(this);
  heading->setObjectName(QStringLiteral("CompareLabel"));
  heading->setTextFormat(Qt::PlainText);
  heading->setWordWrap(true);
  heading->setText(
      QStringLiteral("This code plug: ") + thisName + QLatin1Char('\n') + QStringLiteral("Other file: ") +
      otherName +
      (model_->comparison().empty() ? QStringLiteral("\n\nThe two code plugs are the same.") : QString()));

  tree_->setObjectName(QStringLiteral("CompareTreeView"));
  tree_->setModel(model_);
  tree_->setUniformRowHeights(true);
  tree_->setAllColumnsShowFocus(true);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setExpandsOnDoubleClick(false);
  tree_->header()->resizeSection(CompareModel::WhatColumn, 330);
  tree_->header()->resizeSection(CompareModel::ThisColumn, 250);
  tree_->header()->setStretchLastSection(true);
  connect(tree_, &QAbstractItemView::activated, this, &CompareDialog::activate);

  // A small comparison opens wholly; a large one shows its sections' records.
  int rows = 0;
  for (int s = 0; s < model_->sectionCount(); ++s) {
    const QModelIndex section = model_->index(s, 0);
    rows += 1 + model_->rowCount(section);
    for (int r = 0; r < model_->rowCount(section) && rows <= kExpandAllUpTo; ++r)
      rows += model_->rowCount(model_->index(r, 0, section));
  }
  if (rows <= kExpandAllUpTo)
    tree_->expandAll();
  else
    tree_->expandToDepth(0);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addWidget(tree_, 1);
  layout->addWidget(buttons);
  resize(960, 520);
}

CompareDialog::~CompareDialog() = default;

// A section opens or closes; a record, or one of its fields, is shown in its tab.
void CompareDialog::activate(const QModelIndex& index) {
  if (!index.isValid()) return;
  const QModelIndex first = index.siblingAtColumn(0);
  const int s = CompareModel::sectionOf(first);
  if (CompareModel::depth(first) == 0) {
    tree_->setExpanded(first, !tree_->isExpanded(first));
    return;
  }
  if (!model_->isSection(s)) return;
  const RecordDifference* r = model_->recordOf(first);
  emit recordActivated(model_->section(s).desc->section, r && r->a ? r->a->number : -1);
}
