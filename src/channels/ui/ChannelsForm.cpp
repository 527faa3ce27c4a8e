#include "channels/ui/ChannelsForm.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "channels/ChannelRecord.h"
#include "channels/ui/ChannelDetails.h"
#include "channels/ui/ChannelImportDialog.h"
#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "exchange/ChannelCsv.h"
#include "widgets/FilePaths.h"
#include "widgets/ListEditor.h"
#include "widgets/SaveTarget.h"
#include "widgets/SearchEdit.h"

namespace {
enum Column { ChanColumn, NameColumn };
constexpr int kNameLength = 16;

}  // namespace

TChannelsForm::TChannelsForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName(QStringLiteral("ChannelsForm"));
  setWindowTitle(QStringLiteral("  Channels  "));

  ListConfig config;
  config.title = QStringLiteral("Channels");
  config.capacity = pw::kChannelCount;
  config.noImageCaption = QStringLiteral("Channels .. up to ") + QString::number(pw::kChannelCount) + " ";
  config.countLabelName = QStringLiteral("TitleLabel");
  config.columns = {
      ListColumn::centred("Chan", 50),
      {.caption = "Name",
       .width = 120,
       .stretch = true,
       .editor = ListColumn::Editor::Edit,
       .maxLength = kNameLength,
       .accepts = ListColumn::printable},
  };
  config.showHeaders = false;
  config.gridLines = false;
  config.editColumn = NameColumn;
  config.selectAddedRow = true;
  config.buttonsShiftForTen = true;
  config.moveUpText = QStringLiteral("Up");
  config.moveDownText = QStringLiteral("Down");
  const auto severalInUse = [this] { return pw::usedCount(doc, pw::ListId::Channels) > 1; };
  config.contextMenu = {
      {.text = "Copy",
       .enabled = [this] { return list_->canCopy(); },
       .run = [this] { list_->copySelected(); }},
      {.text = "Paste", .enabled = [this] { return list_->canPaste(); }, .run = [this] { list_->paste(); }},
      {},
      {.text = "Add", .enabled = [] { return false; }},
      {.text = "Insert",
       .enabled = [this] { return list_->canInsert(); },
       .run = [this] { list_->insertRecord(); }},
      {.text = "Delete", .enabled = [] { return false; }},
      {},
      {.text = "Sort by Name", .enabled = severalInUse, .run = [this] { sortBy(pw::ChannelSort::Name); }},
      {.text = "Sort by Rx Frequency",
       .enabled = severalInUse,
       .run = [this] { sortBy(pw::ChannelSort::RxFrequency); }},
      {},
      {.text = "Cancel"},
  };

  config.rowCount = [this] { return pw::usedCount(doc, pw::ListId::Channels); };
  config.cellText = [this](int row, int column) { return cellText(row, column); };
  config.applyEdit = [this](int row, int, const CellEdit& edit) {
    pw::renameChannel(doc, row, edit.text.toLatin1().toStdString());
  };
  config.add = [this] { return pw::addChannel(doc).value_or(-1); };
  config.deleteOne = [this](int number) { return pw::deleteChannel(doc, number); };
  config.moveOne = [this](int row, int delta) { pw::moveChannel(doc, row, delta); };
  config.moveRows = [this](const std::vector<int>& rows, int delta) {
    return pw::moveSelectedChannels(doc, rows, delta);
  };
  config.selectionChanged = [this] { showSelection(); };
  config.copyText = [this](const std::vector<int>& rows) {
    return QString::fromLatin1(pw::exchange::writeChannelText(doc, rows));
  };
  config.copySource = [this] {
    return QByteArray::number(qulonglong(pw::exchange::channelReferenceStamp(doc)), 16);
  };
  config.paste = [this](const QString& text, int at, bool sameSource) {
    const pw::exchange::Report report =
        pw::exchange::pasteChannelText(doc, text.toUtf8().toStdString(), at, sameSource);
    return PastedRows{report.added, pw::exchange::pasteMessage(report)};
  };
  config.insert = [this](int at) { return pw::insertRecord(doc, pw::ListId::Channels, at); };

  list_ = new ListEditor(doc, std::move(config), this);
  addRecordGrid({pw::PlugSection::Channels, list_});

  details_ = new ChannelDetails(doc, this, [this] { return list_->selectedRows(); });
  details_->busy = [this] { return list_->rebuilding(); };

  auto* heading = new QLabel(QStringLiteral("List of available analogue and digital channels "), this);
  heading->setObjectName(QStringLiteral("HeadingLabel"));
  heading->setStyleSheet(QStringLiteral("font-weight: bold; color: maroon;"));

  searchEdit_ = new SearchEdit(this);
  connect(searchEdit_, &SearchEdit::searchRequested, this, [this](const QString& text, bool byEnter) {
    search(text);
    if (byEnter && !list_->selectedRows().empty()) list_->view()->setFocus();
  });

  ImportBitBtn = new QPushButton(QStringLiteral("Import"), this);
  ImportBitBtn->setObjectName(QStringLiteral("ImportBitBtn"));
  connect(ImportBitBtn, &QPushButton::clicked, this, &TChannelsForm::ImportBitBtnClick);
  ExportBitBtn = new QPushButton(QStringLiteral("Export"), this);
  ExportBitBtn->setObjectName(QStringLiteral("ExportBitBtn"));
  connect(ExportBitBtn, &QPushButton::clicked, this, &TChannelsForm::ExportBitBtnClick);

  // ---- layout: the list and its commands on the left, the three groups beside it ----
  auto* top = new QHBoxLayout;
  top->addWidget(heading);
  top->addSpacing(20);
  top->addWidget(list_->countLabel());
  top->addStretch(1);

  auto* commands = new QGridLayout;
  commands->addWidget(list_->addButton(), 0, 0);
  commands->addWidget(list_->deleteButton(), 0, 1);
  commands->addWidget(list_->moveUpButton(), 1, 0);
  commands->addWidget(list_->moveDownButton(), 1, 1);
  auto* searchRow = new QHBoxLayout;
  auto* searchLabel = new QLabel(QStringLiteral("Search "), this);
  searchLabel->setBuddy(searchEdit_);
  searchRow->addWidget(searchLabel);
  searchRow->addWidget(searchEdit_, 1);
  auto* files = new QHBoxLayout;
  files->addWidget(ImportBitBtn);
  files->addWidget(ExportBitBtn);

  auto* left = new QVBoxLayout;
  left->addWidget(list_->view(), 1);
  left->addLayout(commands);
  left->addLayout(searchRow);
  left->addLayout(files);

  auto* right = new QVBoxLayout;
  right->addWidget(details_->digitalGroup());
  right->addWidget(details_->analogueGroup());
  right->addStretch(1);

  auto* body = new QHBoxLayout;
  body->addLayout(left);
  body->addWidget(details_->commonGroup(), 1);
  body->addLayout(right, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->addLayout(top);
  layout->addLayout(body, 1);

  refresh(true, 0);
}

QString TChannelsForm::cellText(int row, int column) const {
  return column == ChanColumn ? QString::number(row + 1)
                              : QString::fromLatin1(pw::recordName(doc, pw::ListId::Channels, row));
}

void TChannelsForm::refresh(bool rebuild, int topRow) {
  if (rebuild) {
    list_->rebuild(topRow > 0 ? topRow : -1);
    if (topRow <= 0 && list_->model()->rowCount() > 0) list_->selectRows({0}, 0);
  }
  list_->refresh();
  details_->show(list_->selectedRows());
  ImportBitBtn->setEnabled(doc.hasImage());
  ExportBitBtn->setEnabled(doc.hasImage());
  if (rebuild && !list_->selectedRows().empty() && list_->view()->isVisible()) list_->view()->setFocus();
}

void TChannelsForm::sortBy(pw::ChannelSort key) {
  const QString step = key == pw::ChannelSort::Name ? QStringLiteral("sort channels by name")
                                                    : QStringLiteral("sort channels by Rx frequency");
  list_->reorder(step, [this, key](const std::vector<int>& rows) { return pw::sortChannels(doc, rows, key); });
  showSelection();
}

void TChannelsForm::showSelection() { details_->show(list_->selectedRows()); }

void TChannelsForm::search(const QString& text) {
  if (!doc.hasImage()) return;
  const QString wanted = text.trimmed().toLower();
  std::vector<int> rows;
  if (!wanted.isEmpty()) {
    const int count = list_->model()->rowCount();
    for (int row = 0; row < count; ++row)
      if (cellText(row, ChanColumn).contains(wanted) ||
          cellText(row, NameColumn).trimmed().toLower().contains(wanted))
        rows.push_back(row);
  }
  list_->selectRows(rows, rows.empty() ? -1 : rows.front());
  if (!rows.empty()) list_->scrollToTop(rows.front());
  list_->refresh();
}

// ---- channels in and out ----

QString TChannelsForm::chooseFile(bool save) {
  if (fileDialog_) return fileDialog_(save);
  const QString filter = QStringLiteral("*.csv (*.csv);;*.* (*)");
  // Export asks about replacing a file itself, once ".csv" is added.
  if (save)
    return QFileDialog::getSaveFileName(this, QStringLiteral("Export Channels"), QString(), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
  return QFileDialog::getOpenFileName(this, QStringLiteral("Import Channels"), QString(), filter);
}

void TChannelsForm::ImportBitBtnClick() {
  if (!doc.hasImage()) return;
  const QString name = chooseFile(false);
  if (name.isEmpty()) return;
  const std::string path = pw::ui::stdPath(name);
  const auto read = [this, path](bool update) { return pw::exchange::readChannelFile(doc, path, {.update = update}); };
  pw::exchange::ChannelPlan plan = read(false);
  if (!plan.readable()) {
    doc.prompt().error(plan.report.failure);
    return;
  }
  ChannelImportDialog dialog(doc, name, std::move(plan), read, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const pw::exchange::Report result = pw::exchange::applyChannelPlan(doc, dialog.plan(), {});
  const std::vector<int>& rows = result.added.empty() ? result.updated : result.added;
  refresh(true, rows.empty() ? -1 : rows.front());
  if (!rows.empty()) {
    list_->selectRows(rows, rows.front());
    list_->scrollToTop(rows.front());
  }
  list_->refresh();
  showSelection();
  if (result.addedTo(pw::ListId::Zones) > 0) emit recordsAddedElsewhere();
}

void TChannelsForm::ExportBitBtnClick() {
  if (!doc.hasImage()) return;
  QString name = chooseFile(true);
  if (name.isEmpty()) return;
  name = saveTarget(doc.prompt(), name, QStringLiteral(".csv"));
  if (!name.isEmpty()) pw::exchange::exportChannels(doc, pw::ui::stdPath(name));
}
