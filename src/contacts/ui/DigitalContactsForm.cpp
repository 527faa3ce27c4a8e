#include "contacts/ui/DigitalContactsForm.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "codeplug/RecordList.h"
#include "contacts/ContactFiles.h"
#include "contacts/ContactList.h"
#include "contacts/ui/UserDatabaseImportDialog.h"
#include "exchange/ContactCsv.h"
#include "exchange/UserDatabase.h"
#include "widgets/FilePaths.h"
#include "widgets/ListEditor.h"
#include "widgets/SearchEdit.h"

namespace {

constexpr pw::ListId kList = pw::ListId::Contacts;

// Data columns, in the order of pw::kContactColumns.
enum Column { NumberColumn, NameColumn, IdColumn, TypeColumn, RxToneColumn };
constexpr int kNameLength = 16;
constexpr int kIdDigits = 8;

// Qt forms of the filters "*.txt", "*.csv" and "*.*", in FileFilter order.
const QStringList& dialogFilters() {
  static const QStringList filters{QStringLiteral("*.txt (*.txt)"), QStringLiteral("*.csv (*.csv)"),
                                   QStringLiteral("*.* (*)")};
  return filters;
}

std::string toLatin(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

TDigitalContactsForm::TDigitalContactsForm(pw::CodePlugDocument& document, QWidget* parent)
    : TabForm(document, parent) {
  setObjectName(QStringLiteral("DigitalContactsForm"));
  setWindowTitle(QStringLiteral("  Digital Contacts  "));

  ListConfig config;
  config.title = QStringLiteral("Contacts");
  config.addedTitle = QStringLiteral("Contact List");
  config.capacity = pw::kContactCount;
  config.selectAddedRow = true;
  config.buttonsShiftForTen = true;

  const ListColumn name{.caption = "Name",
                        .width = 130,
                        .editor = ListColumn::Editor::Edit,
                        .maxLength = kNameLength,
                        .accepts = ListColumn::printable};
  const ListColumn id{.caption = "ID",
                      .width = 70,
                      .editor = ListColumn::Editor::Edit,
                      .maxLength = kIdDigits,
                      .accepts = ListColumn::digit};
  ListColumn type = ListColumn::centred("Type", 100);
  type.editor = ListColumn::Editor::Action;
  ListColumn rxTone = ListColumn::centred("Rx Tone", 80);
  rxTone.editor = ListColumn::Editor::Action;
  config.columns = {ListColumn::centred("No.", 50), name, id, type, rxTone};

  // Contacts are packed, so a row's index is its slot.
  config.rowCount = [this] { return pw::usedCount(doc, kList); };
  config.cellText = [this](int row, int column) {
    return QString::fromLatin1(pw::contactCell(doc, row, pw::kContactColumns[column], showNoRxTone_));
  };
  config.applyEdit = [this](int row, int column, const CellEdit& edit) {
    if (column == NameColumn) pw::setContactName(doc, row, toLatin(edit.text));
    if (column == IdColumn) pw::setCallId(doc, row, toLatin(edit.text));
  };
  config.cellAction = [this](int row, int column) {
    if (column == TypeColumn) pw::cycleCallType(doc, row);
    if (column == RxToneColumn) pw::toggleRxTone(doc, row);
  };
  config.add = [this] {
    const int slot = pw::addContact(doc).value_or(-1);
    updateFileCommands();
    return slot;
  };
  config.deleteOne = [this](int number) { return pw::deleteContact(doc, number); };
  config.copyText = [this](const std::vector<int>& rows) {
    return QString::fromLatin1(pw::exchange::writeContactText(doc, rows));
  };
  config.paste = [this](const QString& text, int at, bool) {
    const pw::exchange::Report report = pw::exchange::pasteContactText(doc, text.toUtf8().toStdString(), at);
    updateFileCommands();
    return PastedRows{report.added, pw::exchange::pasteMessage(report)};
  };
  config.insert = [this](int at) {
    const int row = pw::insertRecord(doc, kList, at);
    updateFileCommands();
    return row;
  };
  config.moveOne = [this](int row, int delta) { pw::moveContact(doc, row, delta); };
  config.moveRows = [this](const std::vector<int>& rows, int delta) {
    return pw::moveSelectedContacts(doc, rows, delta);
  };

  const auto anySelected = [this] { return !list_->selectedRows().empty(); };
  const auto severalInUse = [this] { return pw::usedCount(doc, kList) > 1; };
  config.contextMenu = {
      {.text = "Copy",
       .enabled = [this] { return list_->canCopy(); },
       .run = [this] { list_->copySelected(); }},
      {.text = "Paste", .enabled = [this] { return list_->canPaste(); }, .run = [this] { list_->paste(); }},
      {},
      {.text = "Add",
       .enabled = [this] { return pw::usedCount(doc, kList) < pw::kContactCount; },
       .run = [this] { list_->addRecord(); }},
      {.text = "Insert",
       .enabled = [this] { return list_->canInsert(); },
       .run = [this] { list_->insertRecord(); }},
      {.text = "Delete", .enabled = anySelected, .run = [this] { list_->deleteSelected(); }},
      {},
      {.text = "Select All",
       .enabled = [this] { return int(list_->selectedRows().size()) < list_->model()->rowCount(); },
       .run = [this] { list_->view()->selectAll(); }},
      {},
      {.text = "Set to Group Call",
       .enabled = anySelected,
       .run = [this] { setSelectedCallType(pw::kGroupCall); }},
      {.text = "Set to Private Call",
       .enabled = anySelected,
       .run = [this] { setSelectedCallType(pw::kPrivateCall); }},
      {},
      {.text = "Set to No Rx Tone", .enabled = anySelected, .run = [this] { setSelectedRxTone(false); }},
      {.text = "Set to Rx Tone", .enabled = anySelected, .run = [this] { setSelectedRxTone(true); }},
      {},
      {.text = "Move Up", .enabled = anySelected, .run = [this] { list_->moveSelected(1); }},
      {.text = "Move Down", .enabled = anySelected, .run = [this] { list_->moveSelected(-1); }},
      {.text = "Sort by Name", .enabled = severalInUse, .run = [this] { sortBy(pw::ContactSort::Name); }},
      {.text = "Sort by ID", .enabled = severalInUse, .run = [this] { sortBy(pw::ContactSort::Id); }},
      {},
      {.text = "Cancel"},
  };

  TitleLabel = new QLabel(QStringLiteral("List of available digital contacts / talk groups "), this);
  TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
  TitleLabel->setStyleSheet(QStringLiteral("font-weight: bold; color: maroon;"));

  ShowNoSpeedButton = new QToolButton(this);
  ShowNoSpeedButton->setObjectName(QStringLiteral("ShowNoSpeedButton"));
  ShowNoSpeedButton->setText(QStringLiteral("Show \"No\""));
  ShowNoSpeedButton->setCheckable(true);
  connect(ShowNoSpeedButton, &QToolButton::toggled, this, &TDigitalContactsForm::ShowNoSpeedButtonClick);

  list_ = new ListEditor(doc, std::move(config), this);
  addRecordGrid({pw::PlugSection::Contacts, list_});
  addOption({QStringLiteral("ShowContactNoRxTone"), [this] { return showNoRxTone_; },
             [this](bool on) { setShowNoRxTone(on); }});

  ImportBitBtn = new QPushButton(QStringLiteral("Import"), this);
  ImportBitBtn->setObjectName(QStringLiteral("ImportBitBtn"));
  connect(ImportBitBtn, &QPushButton::clicked, this, &TDigitalContactsForm::ImportBitBtnClick);
  ExportBitBtn = new QPushButton(QStringLiteral("Export"), this);
  ExportBitBtn->setObjectName(QStringLiteral("ExportBitBtn"));
  connect(ExportBitBtn, &QPushButton::clicked, this, &TDigitalContactsForm::ExportBitBtnClick);

  SearchLabel = new QLabel(QStringLiteral("Search "), this);
  SearchLabel->setObjectName(QStringLiteral("SearchLabel"));
  searchEdit_ = new SearchEdit(this);
  SearchLabel->setBuddy(searchEdit_);
  connect(searchEdit_, &SearchEdit::searchRequested, this, &TDigitalContactsForm::SearchEditSearch);

  auto* captionRow = new QHBoxLayout;
  captionRow->addWidget(list_->countLabel(), 1);
  captionRow->addWidget(ShowNoSpeedButton);

  QHBoxLayout* commands = list_->makeButtonRow();
  commands->addSpacing(12);
  commands->addWidget(SearchLabel);
  commands->addWidget(searchEdit_);
  commands->addSpacing(12);
  commands->addWidget(ImportBitBtn);
  commands->addWidget(ExportBitBtn);

  auto* listColumn = new QVBoxLayout;
  listColumn->addWidget(TitleLabel);
  listColumn->addLayout(captionRow);
  listColumn->addWidget(list_->view(), 1);
  listColumn->addLayout(commands);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(listColumn);
  layout->addStretch(1);

  updateFileCommands();
}

void TDigitalContactsForm::refresh(bool rebuild, int topRow) {
  if (rebuild)
    fill(topRow);
  else
    list_->refresh();
  updateFileCommands();
}

void TDigitalContactsForm::setShowNoRxTone(bool on) {
  showNoRxTone_ = on;
  const QSignalBlocker quiet(ShowNoSpeedButton);
  ShowNoSpeedButton->setChecked(on);
  if (doc.hasImage()) fill(list_->topRow());
}

QString TDigitalContactsForm::exportFileName(const QString& name, FileFilter filter) {
  const QString extension = filter == TxtFilter   ? QStringLiteral(".txt")
                            : filter == CsvFilter ? QStringLiteral(".csv")
                                                  : QString();
  if (extension.isEmpty() || name.toLower().endsWith(extension)) return name;
  return name + extension;
}

// topRow > 0 scrolls that row to the top; otherwise the first row is selected.
void TDigitalContactsForm::fill(int topRow) {
  list_->rebuild(topRow > 0 ? topRow : -1);
  if (topRow <= 0 && list_->model()->rowCount() > 0) {
    list_->selectRows({0}, 0);
    list_->refresh();
  }
  updateFileCommands();
}

void TDigitalContactsForm::updateFileCommands() {
  ImportBitBtn->setEnabled(doc.hasImage());
  ExportBitBtn->setEnabled(doc.hasImage() && pw::usedCount(doc, kList) > 0);
}

void TDigitalContactsForm::setSelectedCallType(int code) {
  const std::vector<int> rows = list_->selectedRows();
  if (rows.empty()) return;
  pw::setSelectedCallType(doc, rows, code);
  list_->model()->rowsChanged(rows.front(), rows.back());
}

void TDigitalContactsForm::setSelectedRxTone(bool on) {
  const std::vector<int> rows = list_->selectedRows();
  if (rows.empty()) return;
  pw::setSelectedRxTone(doc, rows, on);
  list_->model()->rowsChanged(rows.front(), rows.back());
}

void TDigitalContactsForm::sortBy(pw::ContactSort key) {
  const QString step = key == pw::ContactSort::Name ? QStringLiteral("sort contacts by name")
                                                    : QStringLiteral("sort contacts by ID");
  list_->reorder(step, [this, key](const std::vector<int>& rows) { return pw::sortContacts(doc, rows, key); });
}

void TDigitalContactsForm::ShowNoSpeedButtonClick(bool down) { setShowNoRxTone(down); }

void TDigitalContactsForm::SearchEditSearch(const QString& text, bool byEnter) {
  if (!doc.hasImage()) return;
  const std::vector<int> rows = pw::searchContacts(doc, toLatin(text), showNoRxTone_);
  list_->selectRows(rows);
  if (!rows.empty()) list_->scrollToTop(rows.front());
  list_->refresh();
  if (byEnter && !rows.empty()) list_->view()->setFocus();
}

std::optional<TDigitalContactsForm::FileChoice> TDigitalContactsForm::chooseFile(bool save) {
  if (fileDialog_) return fileDialog_(save);
  QFileDialog dialog(this, save ? QStringLiteral("Export") : QStringLiteral("Import"),
                     QCoreApplication::applicationDirPath());
  dialog.setNameFilters(dialogFilters());
  dialog.selectNameFilter(dialogFilters().at(CsvFilter));
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  } else {
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const int filter = std::max<int>(0, dialogFilters().indexOf(dialog.selectedNameFilter()));
  return FileChoice{dialog.selectedFiles().constFirst(), FileFilter(filter)};
}

void TDigitalContactsForm::ImportBitBtnClick() {
  if (!doc.hasImage()) return;
  const std::optional<FileChoice> choice = chooseFile(false);
  if (!choice || choice->fileName.isEmpty()) return;
  // The user database is told by its header, whatever the file is called.
  if (pw::exchange::isUserDatabaseFile(pw::ui::stdPath(choice->fileName))) {
    importUserDatabase(choice->fileName);
    return;
  }
  if (pw::importContacts(doc, pw::ui::stdPath(choice->fileName)) == pw::kContactFileOk) fill(0);
}

void TDigitalContactsForm::importUserDatabase(const QString& fileName) {
  pw::exchange::Database db;
  const pw::exchange::ReadStatus status = UserDatabaseImportDialog::readWithProgress(this, fileName, db);
  if (status == pw::exchange::ReadStatus::Cancelled) return;
  if (status != pw::exchange::ReadStatus::Ok) {
    doc.prompt().error(pw::exchange::readMessage(status));
    return;
  }
  UserDatabaseImportDialog dialog(doc, db, fileName, this);
  const bool ok = databaseDialog_ ? databaseDialog_(dialog) : dialog.exec() == QDialog::Accepted;
  if (!ok) return;
  const pw::exchange::DatabasePlan plan = pw::exchange::makePlan(doc, db, dialog.filter());
  doc.nameNextStep(QStringLiteral("import %1 contacts").arg(plan.rows.size()).toStdString());
  const pw::exchange::Report report = pw::exchange::applyPlan(doc, db, plan);
  fill(0);
  QString text = QStringLiteral("%1 contacts added.\n%2 already present.\n%3 malformed.\n%4 did not fit.")
                     .arg(report.added.size())
                     .arg(report.present)
                     .arg(report.skipped.size())
                     .arg(report.noRoom);
  if (report.namesChanged > 0)
    text += QLatin1Char('\n') + QString::fromStdString(pw::exchange::namesNote(report.namesChanged));
  if (report_)
    report_(text);
  else
    QMessageBox::information(this, QStringLiteral("Import"), text);
}

void TDigitalContactsForm::ExportBitBtnClick() {
  if (!doc.hasImage()) return;
  const std::optional<FileChoice> choice = chooseFile(true);
  if (!choice || choice->fileName.isEmpty()) return;
  pw::exportContacts(doc, pw::ui::stdPath(exportFileName(choice->fileName, choice->filter)));
}
