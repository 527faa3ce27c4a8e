#include "shell/FindingsView.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

#include "codeplug/RecordList.h"

// The findings as rows; a record's name is read when the row is shown, so a check over
// a hostile image with thousands of findings costs no more than the checks themselves.
class FindingsModel : public QAbstractTableModel {
 public:
  enum Column { PlaceColumn, TextColumn, ColumnCount };

  FindingsModel(const pw::CodePlugDocument& doc, std::function<QString(pw::PlugSection)> tabCaption,
                QObject* parent)
      : QAbstractTableModel(parent), doc_(doc), tabCaption_(std::move(tabCaption)) {}

  void setFindings(std::vector<pw::Finding> findings) {
    beginResetModel();
    findings_ = std::move(findings);
    endResetModel();
  }
  const std::vector<pw::Finding>& findings() const { return findings_; }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : int(findings_.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : ColumnCount;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= int(findings_.size())) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const pw::Finding& f = findings_[std::size_t(index.row())];
    if (index.column() == TextColumn) return QString::fromLatin1(f.text);
    return tabCaption_(f.section) + QStringLiteral(": ") + recordText(f);
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == PlaceColumn ? QStringLiteral("Place") : QStringLiteral("Finding");
  }

 private:
  // A list's record by number and name; anything else as the report names it.
  QString recordText(const pw::Finding& f) const {
    const auto list = pw::listOf(f.section);
    if (list && f.record >= 1 && f.record <= pw::layoutOf(*list).count)
      return QString::number(f.record) + QLatin1Char(' ') +
             QString::fromLatin1(pw::recordName(doc_, *list, f.record - 1));
    return QString::fromLatin1(pw::sectionName(f.section)) + QLatin1Char(' ') + QString::number(f.record);
  }

  const pw::CodePlugDocument& doc_;
  std::function<QString(pw::PlugSection)> tabCaption_;
  std::vector<pw::Finding> findings_;
};

FindingsView::FindingsView(const pw::CodePlugDocument& doc,
                           std::function<QString(pw::PlugSection)> tabCaption, QWidget* parent)
    : QTreeView(parent), doc_(doc), model_(new FindingsModel(doc, std::move(tabCaption), this)) {
  setObjectName(QStringLiteral("FindingsView"));
  setModel(model_);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setEditTriggers(NoEditTriggers);
  setSelectionBehavior(SelectRows);
  setAlternatingRowColors(true);
  header()->setStretchLastSection(true);
  header()->resizeSection(FindingsModel::PlaceColumn, 300);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &FindingsView::recheck);
  connect(this, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
    const auto& all = model_->findings();
    if (index.isValid() && index.row() < int(all.size()))
      emit findingActivated(all[std::size_t(index.row())].section, all[std::size_t(index.row())].record);
  });
}

const std::vector<pw::Finding>& FindingsView::findings() const { return model_->findings(); }

void FindingsView::recheck() {
  timer_.stop();
  lastRun_.restart();
  // The rows are replaced; where the user had scrolled to stays.
  const int scrolled = verticalScrollBar()->value();
  model_->setFindings(pw::validate(doc_));
  verticalScrollBar()->setValue(scrolled);
  emit countChanged(int(model_->findings().size()));
}

void FindingsView::recheckSoon(bool typing) {
  if (typing) {
    timer_.start(kMinInterval);  // each keystroke puts it off again
    return;
  }
  if (timer_.isActive()) return;
  const qint64 since = lastRun_.isValid() ? lastRun_.elapsed() : kMinInterval;
  timer_.start(int(std::max<qint64>(0, kMinInterval - since)));
}
