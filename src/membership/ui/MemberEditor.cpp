#include "membership/ui/MemberEditor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyle>
#include <QVBoxLayout>

#include "membership/MemberList.h"
#include "widgets/ListEditor.h"

namespace {

enum RecordColumn { RecordNumberColumn, RecordNameColumn };
constexpr int kNameLength = 16;

QPushButton* arrowButton(QWidget* host, const char* name, QStyle::StandardPixmap arrow,
                         const char* accessible) {
  auto* button = new QPushButton(host);
  button->setObjectName(QString::fromLatin1(name));
  button->setIcon(host->style()->standardIcon(arrow));
  button->setAccessibleName(QString::fromLatin1(accessible));
  return button;
}

// The list editors' own arrow buttons show glyphs only, as the member buttons do.
void glyphsOnly(QPushButton* button, const char* accessible) {
  button->setText(QString());
  button->setAccessibleName(QString::fromLatin1(accessible));
}

}  // namespace

MemberEditor::MemberEditor(pw::CodePlugDocument& doc, MemberEditorConfig config, QWidget* host)
    : QObject(host), doc_(doc), config_(std::move(config)) {
  slots_ = pw::memberLayoutOf(config_.owner).slotCount;

  records_ = new ListEditor(doc_, recordsConfig(), host);
  glyphsOnly(records_->moveUpButton(), "Move Up");
  glyphsOnly(records_->moveDownButton(), "Move Down");

  available_ =
      new ListEditor(doc_, memberSideConfig(QStringLiteral("AvailableListView")), host, records_->editors());
  members_ =
      new ListEditor(doc_, memberSideConfig(QStringLiteral("MemberListView")), host, records_->editors());
  // The member side has its own captions; the grids' count captions are not shown.
  available_->countLabel()->hide();
  members_->countLabel()->hide();
  members_->moveUpButton()->setObjectName(QStringLiteral("MemberUpBitBtn"));
  members_->moveDownButton()->setObjectName(QStringLiteral("MemberDownBitBtn"));
  glyphsOnly(members_->moveUpButton(), "Move member up");
  glyphsOnly(members_->moveDownButton(), "Move member down");

  availableLabel_ = new QLabel(config_.availableCaption, host);
  availableLabel_->setObjectName(QStringLiteral("AvailableLabel"));
  membersLabel_ = new QLabel(
      membersCaption(QStringLiteral(" .. up to ")) + QString::number(slots_) + QStringLiteral(" "), host);
  membersLabel_->setObjectName(QStringLiteral("MemberCountLabel"));

  addMember_ = arrowButton(host, "AddMemberBitBtn", QStyle::SP_ArrowRight, "Add to members");
  removeMember_ = arrowButton(host, "RemoveMemberBitBtn", QStyle::SP_ArrowLeft, "Remove from members");
  connect(addMember_, &QPushButton::clicked, this, [this] { addSelectedMembers(); });
  connect(removeMember_, &QPushButton::clicked, this, [this] { removeSelectedMembers(); });

  fillMemberSide();
}

ListConfig MemberEditor::recordsConfig() {
  const pw::ListId owner = config_.owner;
  ListConfig c;
  c.title = config_.title;
  c.noImageCaption = config_.noImageCaption;
  c.capacity = pw::layoutOf(owner).count;
  c.columns = {
      ListColumn::centred("No.", 40),
      {.caption = "Name",
       .width = 130,
       .stretch = true,
       .editor = ListColumn::Editor::Edit,
       .maxLength = kNameLength,
       .accepts = ListColumn::printable},
  };
  c.showHeaders = false;
  c.gridLines = false;
  c.editColumn = RecordNameColumn;
  c.selectAddedRow = true;
  c.rowCount = [this, owner] { return pw::usedCount(doc_, owner); };
  c.cellText = [this, owner](int row, int column) {
    return column == RecordNumberColumn ? QString::number(row + 1)
                                        : QString::fromLatin1(pw::recordName(doc_, owner, row));
  };
  c.applyEdit = [this, owner](int row, int, const CellEdit& edit) {
    pw::renameRecord(doc_, owner, row, edit.text.toLatin1().toStdString());
  };
  c.add = [this, owner] { return pw::addRecord(doc_, owner); };
  c.deleteOne = [this, owner](int number) { return pw::deleteRecord(doc_, owner, number); };
  c.moveOne = [this, owner](int row, int delta) { pw::moveRecord(doc_, owner, row, delta); };
  c.moveRows = [this, owner](const std::vector<int>& rows, int delta) {
    return pw::moveSelectedRecords(doc_, owner, rows, delta);
  };
  c.selectionChanged = [this] { fillMemberSide(); };
  return c;
}

ListConfig MemberEditor::memberSideConfig(const QString& viewName) {
  const bool isMembers = viewName == QStringLiteral("MemberListView");
  ListConfig c;
  c.viewName = viewName;
  c.countLabelName = viewName + QStringLiteral("CountLabel");
  c.capacity = isMembers ? slots_ : pw::layoutOf(pw::memberLayoutOf(config_.owner).referred).count;
  // A double-click adds (available) or removes (members) the selected rows.
  const ListColumn::Editor onDoubleClick = ListColumn::Editor::Action;
  c.columns = {
      {.caption = config_.numberCaption,
       .width = 50,
       .alignment = Qt::AlignCenter,
       .captionAlignment = Qt::AlignCenter,
       .editor = onDoubleClick},
      {.caption = "Name", .width = 130, .stretch = true, .editor = onDoubleClick},
      {.caption = config_.detailCaption, .width = 70, .editor = onDoubleClick},
  };
  c.rowCount = [this, isMembers] {
    if (record_ < 0) return 0;
    return int(isMembers ? pw::memberRows(doc_, config_.owner, record_).size() : availableNumbers_.size());
  };
  c.cellText = [this, isMembers](int row, int column) {
    const int number =
        isMembers ? memberNumber(row) : (row < int(availableNumbers_.size()) ? availableNumbers_[row] : 0);
    if (number <= 0) return QString();
    return QString::fromLatin1(
        pw::memberCell(doc_, config_.owner, number, static_cast<pw::MemberColumn>(column)));
  };
  c.cellAction = [this, isMembers](int, int) { isMembers ? removeSelectedMembers() : addSelectedMembers(); };
  if (isMembers) {
    c.moveOne = [this](int row, int delta) { pw::moveMember(doc_, config_.owner, record_, row, delta); };
    c.moveRows = [this](const std::vector<int>& rows, int delta) {
      const std::vector<int> moved = pw::moveSelectedMembers(doc_, config_.owner, record_, rows, delta);
      if (config_.memberSideChanged) config_.memberSideChanged();
      return moved;
    };
  }
  c.selectionChanged = [this, isMembers] {
    if (isMembers) fullAddTried_ = false;  // the member selection decides again
    updateMemberCommands();
  };
  return c;
}

int MemberEditor::memberNumber(int row) const {
  const std::vector<pw::MemberRow> rows = pw::memberRows(doc_, config_.owner, record_);
  return row >= 0 && row < int(rows.size()) ? rows[row].number : 0;
}

QString MemberEditor::membersCaption(const QString& middle) const { return config_.membersTitle + middle; }

QGridLayout* MemberEditor::makeLayout(QLayout* underAvailable, QLayout* underMembers) const {
  auto* grid = new QGridLayout;
  grid->addWidget(records_->countLabel(), 0, 0);
  grid->addWidget(availableLabel_, 0, 1);
  grid->addWidget(membersLabel_, 0, 3);
  grid->addWidget(records_->view(), 1, 0);
  grid->addWidget(available_->view(), 1, 1);
  grid->addWidget(members_->view(), 1, 3);

  auto* between = new QVBoxLayout;
  between->addStretch(1);
  between->addWidget(addMember_);
  between->addWidget(removeMember_);
  between->addStretch(1);
  grid->addLayout(between, 1, 2);
  auto* order = new QVBoxLayout;
  order->addStretch(1);
  order->addWidget(members_->moveUpButton());
  order->addWidget(members_->moveDownButton());
  order->addStretch(1);
  grid->addLayout(order, 1, 4);

  grid->addLayout(records_->makeButtonRow(), 2, 0);
  if (underAvailable) grid->addLayout(underAvailable, 2, 1);
  if (underMembers) grid->addLayout(underMembers, 2, 3);
  grid->setRowStretch(1, 1);
  grid->setColumnStretch(0, 2);
  grid->setColumnStretch(1, 3);
  grid->setColumnStretch(3, 3);
  return grid;
}

void MemberEditor::layOutTab(QWidget* host, const QString& heading, QLayout* underAvailable,
                             QLayout* underMembers) const {
  auto* title = new QLabel(heading, host);
  title->setObjectName(QStringLiteral("TitleLabel"));
  title->setStyleSheet(QStringLiteral("font-weight: bold; color: maroon;"));
  auto* page = new QVBoxLayout(host);
  page->setContentsMargins(6, 4, 6, 4);
  page->addWidget(title);
  page->addLayout(makeLayout(underAvailable, underMembers), 1);
}

void MemberEditor::refresh(bool rebuild, int topRow) {
  if (rebuild) {
    records_->rebuild(topRow > 0 ? topRow : -1);
    if (topRow <= 0 && records_->model()->rowCount() > 0) records_->selectRows({0}, 0);
  }
  records_->refresh();
  if (config_.recordsNeedImage)
    for (QWidget* w : {static_cast<QWidget*>(records_->view()), static_cast<QWidget*>(records_->countLabel())})
      w->setEnabled(doc_.hasImage());
  fillMemberSide();
  QWidget* view = records_->view();
  if (rebuild && !selectedRecords().empty() && view->isVisible() && view->isEnabled()) view->setFocus();
}

std::vector<int> MemberEditor::selectedRecords() const {
  return doc_.hasImage() ? records_->selectedRows() : std::vector<int>{};
}

int MemberEditor::currentRecord() const {
  const std::vector<int> rows = selectedRecords();
  return rows.size() == 1 ? rows.front() : -1;
}

bool MemberEditor::busy() const {
  return filling_ || records_->rebuilding() || available_->rebuilding() || members_->rebuilding();
}

void MemberEditor::fillMemberSide() {
  const QScopedValueRollback<bool> busy(filling_, true);
  fullAddTried_ = false;
  const std::vector<int> rows = selectedRecords();
  record_ = rows.size() == 1 ? rows.front() : -1;
  availableNumbers_ = record_ >= 0 ? pw::availableRecords(doc_, config_.owner, record_) : std::vector<int>{};
  available_->rebuild();
  members_->rebuild();
  const QString capacity = QString::number(slots_);
  if (record_ >= 0)
    membersLabel_->setText(membersCaption(QStringLiteral(" .. used ")) +
                           QString::number(members_->model()->rowCount()) + QStringLiteral(" of ") +
                           capacity + config_.membersEnd);
  else if (rows.size() > 1 && config_.severalShowCapacity)
    membersLabel_->setText(membersCaption(QStringLiteral(" .. up to ")) + capacity + config_.membersEnd);

  const bool selected = !rows.empty();
  for (QWidget* w :
       std::initializer_list<QWidget*>{available_->view(), members_->view(), availableLabel_, membersLabel_})
    w->setEnabled(selected);
  updateMemberCommands();
  if (config_.memberSideChanged) config_.memberSideChanged();
}

void MemberEditor::postFill() {
  if (fillPosted_) return;
  // Refill once the current event is over: never while a list delivers its own events.
  fillPosted_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        fillPosted_ = false;
        fillMemberSide();
      },
      Qt::QueuedConnection);
}

void MemberEditor::updateMemberCommands() {
  const bool selected = !selectedRecords().empty();
  const int memberCount = members_->model()->rowCount();
  addMember_->setEnabled(selected && memberCount < slots_ && !available_->selectedRows().empty());
  removeMember_->setEnabled(selected && (!members_->selectedRows().empty() || fullAddTried_));
  members_->refresh();  // the move buttons follow the member selection
}

void MemberEditor::addSelectedMembers() {
  if (busy() || record_ < 0) return;
  if (members_->model()->rowCount() >= slots_) {
    fullAddTried_ = config_.fullAddEnablesRemove;
    updateMemberCommands();
    return;
  }
  std::vector<int> numbers;
  for (int row : available_->selectedRows())
    if (row < int(availableNumbers_.size())) numbers.push_back(availableNumbers_[row]);
  if (numbers.empty()) return;
  pw::addMembers(doc_, config_.owner, record_, numbers);
  postFill();
}

void MemberEditor::removeSelectedMembers() {
  if (busy() || record_ < 0) return;
  std::vector<int> numbers;
  for (int row : members_->selectedRows()) numbers.push_back(memberNumber(row));
  if (numbers.empty()) return;
  pw::removeMembers(doc_, config_.owner, record_, numbers);
  postFill();
}
