#include "wizard/ui/CodePlugWizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <set>

#include "codeplug/Text.h"
#include "contacts/ContactList.h"
#include "widgets/FilePaths.h"
#include "wizard/Area.h"

namespace {

using pw::wizard::ChannelsPer;
using pw::wizard::Order;
using pw::wizard::Start;
using pw::wizard::ZonesBy;

// A long report must not make a million lines of text to lay out.
constexpr int kShownLines = 2000;
constexpr int kValueRole = Qt::UserRole;

QString fromModel(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
std::string toModel(const QString& text) { return text.toUtf8().toStdString(); }
QString grouped(std::size_t n) { return QLocale(QLocale::English).toString(qulonglong(n)); }

// A page whose Next or Finish waits for `complete`.
class WizardPage : public QWizardPage {
 public:
  std::function<bool()> complete;
  bool isComplete() const override { return complete ? complete() : true; }
};

QPushButton* pushButton(const char* name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  return b;
}

template <class W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

template <class E, std::size_t N>
QComboBox* choices(const char* name, const E (&values)[N], QWidget* parent) {
  auto* box = named(new QComboBox(parent), name);
  for (E e : values) box->addItem(QString::fromLatin1(pw::wizard::choiceText(e)), int(e));
  return box;
}
template <class E>
void showChoice(QComboBox* box, E value) {
  box->setCurrentIndex(std::max(0, box->findData(int(value))));
}
template <class E>
E choiceOf(const QComboBox* box) {
  return E(box->currentData().toInt());
}

// The values ticked in a list.
std::vector<std::string> ticked(const QListWidget* list) {
  std::vector<std::string> out;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->checkState() == Qt::Checked)
      out.push_back(toModel(list->item(i)->data(kValueRole).toString()));
  return out;
}

QString setText(const pw::wizard::TalkgroupSet& set) {
  QStringList networks, perSlot;
  for (const std::string& n : set.networks) networks << fromModel(n);
  for (int slot = 0; slot < 2; ++slot) {
    QStringList ids;
    for (std::uint32_t id : set.timeSlots[std::size_t(slot)]) ids << QString::number(id);
    if (!ids.isEmpty())
      perSlot << QStringLiteral("TS%1: %2").arg(slot + 1).arg(ids.join(QStringLiteral(", ")));
  }
  return networks.join(QStringLiteral(", ")) + QStringLiteral("  -  ") +
         (perSlot.isEmpty() ? QStringLiteral("no talkgroups yet") : perSlot.join(QStringLiteral("; ")));
}

}  // namespace

CodePlugWizard::CodePlugWizard(const pw::CodePlugDocument& doc, pw::Prompt& prompt, ChooseFile chooseFile,
                               QWidget* parent)
    : QWizard(parent), doc_(doc), prompt_(prompt), chooseFile_(std::move(chooseFile)) {
  setObjectName(QStringLiteral("CodePlugWizard"));
  setWindowTitle(QStringLiteral("Code Plug Wizard"));
  setWizardStyle(QWizard::ClassicStyle);
  setOption(QWizard::NoBackButtonOnStartPage);
  resize(1100, 585);
  plan_.sets.push_back({.networks = {"*"}, .timeSlots = {}});
  setPage(SourcesPage, buildSourcesPage());
  setPage(AreaPage, buildAreaPage());
  setPage(TalkgroupsPage, buildTalkgroupsPage());
  setPage(LayoutPage, buildLayoutPage());
  setPage(PreviewPage, buildPreviewPage());
  setStartId(SourcesPage);
  showPlan();
}

// ---- pages ----

QWizardPage* CodePlugWizard::buildSourcesPage() {
  auto* page = new WizardPage;
  page->setObjectName(QStringLiteral("SourcesPage"));
  page->setTitle(QStringLiteral("Sources"));
  page->setSubTitle(
      QStringLiteral("The public repeater list (its JSON, or a CSV of callsign,frequency,offset,"
                     "color_code,...) and the network's talkgroup list. Or open a plan saved before."));
  RepeaterFileEdit = named(new QLineEdit(page), "RepeaterFileEdit");
  TalkgroupFileEdit = named(new QLineEdit(page), "TalkgroupFileEdit");
  TalkgroupFileEdit->setPlaceholderText(
      QStringLiteral("optional: without it talkgroups are named \"TG <id>\""));
  auto* browseRepeaters = pushButton("RepeaterBrowseBitBtn", QStringLiteral("Browse..."), page);
  auto* browseTalkgroups = pushButton("TalkgroupBrowseBitBtn", QStringLiteral("Browse..."), page);
  auto* openPlan = pushButton("OpenPlanBitBtn", QStringLiteral("Open Plan..."), page);
  openPlan->setToolTip(QStringLiteral("Read a plan file and go straight to the preview"));
  SourceStatusLabel = named(new QLabel(page), "SourceStatusLabel");
  SourceStatusLabel->setWordWrap(true);
  auto* grid = new QGridLayout(page);
  grid->addWidget(new QLabel(QStringLiteral("Repeater list:"), page), 0, 0);
  grid->addWidget(RepeaterFileEdit, 0, 1);
  grid->addWidget(browseRepeaters, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Talkgroup list:"), page), 1, 0);
  grid->addWidget(TalkgroupFileEdit, 1, 1);
  grid->addWidget(browseTalkgroups, 1, 2);
  grid->addWidget(SourceStatusLabel, 2, 1, 1, 2);
  grid->setRowMinimumHeight(3, 16);
  grid->addWidget(openPlan, 4, 0);
  grid->setRowStretch(5, 1);
  grid->setColumnStretch(1, 1);
  page->complete = [this] { return !RepeaterFileEdit->text().trimmed().isEmpty(); };
  connect(RepeaterFileEdit, &QLineEdit::textChanged, page, &QWizardPage::completeChanged);
  connect(browseRepeaters, &QPushButton::clicked, this, &CodePlugWizard::RepeaterBrowseBitBtnClick);
  connect(browseTalkgroups, &QPushButton::clicked, this, &CodePlugWizard::TalkgroupBrowseBitBtnClick);
  connect(openPlan, &QPushButton::clicked, this, &CodePlugWizard::OpenPlanBitBtnClick);
  return page;
}

QWizardPage* CodePlugWizard::buildAreaPage() {
  auto* page = new WizardPage;
  page->setObjectName(QStringLiteral("AreaPage"));
  page->setTitle(QStringLiteral("Area"));
  page->setSubTitle(
      QStringLiteral("Tick countries, states and cities (none ticked in a list: any), and/or give a "
                     "place and a radius."));
  AreaFilterEdit = named(new QLineEdit(page), "AreaFilterEdit");
  AreaFilterEdit->setPlaceholderText(QStringLiteral("Show only names containing..."));
  AreaFilterEdit->setClearButtonEnabled(true);
  CountryList = named(new QListWidget(page), "CountryList");
  StateList = named(new QListWidget(page), "StateList");
  CityList = named(new QListWidget(page), "CityList");
  NearCheckBox = named(new QCheckBox(QStringLiteral("Only within"), page), "NearCheckBox");
  RadiusSpinBox = named(new QDoubleSpinBox(page), "RadiusSpinBox");
  RadiusSpinBox->setRange(1, 20000);
  RadiusSpinBox->setDecimals(0);
  RadiusSpinBox->setSuffix(QStringLiteral(" km"));
  RadiusSpinBox->setValue(50);
  LocatorEdit = named(new QLineEdit(page), "LocatorEdit");
  LocatorEdit->setPlaceholderText(QStringLiteral("JO31 or 51.5,7.4"));
  IncludeInactiveCheckBox = named(new QCheckBox(QStringLiteral("Include repeaters marked inactive"), page),
                                  "IncludeInactiveCheckBox");
  AreaCountLabel = named(new QLabel(page), "AreaCountLabel");
  QFont bold = AreaCountLabel->font();
  bold.setBold(true);
  AreaCountLabel->setFont(bold);

  auto* lists = new QGridLayout;
  const std::pair<const char*, QListWidget*> columns[] = {
      {"Countries", CountryList}, {"States", StateList}, {"Cities", CityList}};
  for (int c = 0; c < 3; ++c) {
    lists->addWidget(new QLabel(QString::fromLatin1(columns[c].first), page), 0, c);
    lists->addWidget(columns[c].second, 1, c);
    connect(columns[c].second, &QListWidget::itemChanged, this, [this] {
      if (!filling_) updateAreaCount();
    });
  }
  auto* near = new QHBoxLayout;
  near->addWidget(NearCheckBox);
  near->addWidget(RadiusSpinBox);
  near->addWidget(new QLabel(QStringLiteral("of"), page));
  near->addWidget(LocatorEdit, 1);
  near->addSpacing(24);
  near->addWidget(IncludeInactiveCheckBox);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(AreaFilterEdit);
  layout->addLayout(lists, 1);
  layout->addLayout(near);
  layout->addWidget(AreaCountLabel);
  const auto recount = [this] {
    if (!filling_) updateAreaCount();
  };
  connect(NearCheckBox, &QCheckBox::toggled, this, recount);
  connect(RadiusSpinBox, &QDoubleSpinBox::valueChanged, this, recount);
  connect(LocatorEdit, &QLineEdit::textChanged, this, recount);
  connect(IncludeInactiveCheckBox, &QCheckBox::toggled, this, recount);
  connect(AreaFilterEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
    for (QListWidget* list : {CountryList, StateList, CityList})
      for (int i = 0; i < list->count(); ++i)
        list->item(i)->setHidden(!list->item(i)->text().contains(text, Qt::CaseInsensitive));
  });
  page->complete = [this] {
    return areaCount_ > 0 &&
           (!NearCheckBox->isChecked() || pw::wizard::parseNear(toModel(LocatorEdit->text())));
  };
  return page;
}

QWizardPage* CodePlugWizard::buildTalkgroupsPage() {
  auto* page = new WizardPage;
  page->setObjectName(QStringLiteral("TalkgroupsPage"));
  page->setTitle(QStringLiteral("Talkgroups"));
  page->setSubTitle(
      QStringLiteral("A set per network: the talkgroups of each time slot, in order. A repeater takes "
                     "the first set whose network is part of its own; \"*\" takes any network."));
  TalkgroupSearchEdit = named(new QLineEdit(page), "TalkgroupSearchEdit");
  TalkgroupSearchEdit->setPlaceholderText(
      QStringLiteral("Search by name or ID (an ID not listed can be added too)"));
  TalkgroupSearchEdit->setClearButtonEnabled(true);
  TalkgroupList = named(new QListWidget(page), "TalkgroupList");
  TalkgroupList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  NetworkComboBox = named(new QComboBox(page), "NetworkComboBox");
  NetworkComboBox->setEditable(true);
  NetworkComboBox->setToolTip(
      QStringLiteral("Networks as the repeater list names them, or \"*\" for any; several "
                     "separated by commas"));
  SetList = named(new QListWidget(page), "SetList");
  Slot1List = named(new QListWidget(page), "Slot1List");
  Slot2List = named(new QListWidget(page), "Slot2List");
  for (QListWidget* list : {Slot1List, Slot2List})
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  auto* addSet = pushButton("AddSetBitBtn", QStringLiteral("New Set"), page);
  auto* removeSet = pushButton("RemoveSetBitBtn", QStringLiteral("Remove Set"), page);
  auto* setUp = pushButton("SetUpBitBtn", QStringLiteral("Move Up"), page);
  auto* toSlot1 = pushButton("AddToSlot1BitBtn", QStringLiteral("Add to TS1 >"), page);
  auto* toSlot2 = pushButton("AddToSlot2BitBtn", QStringLiteral("Add to TS2 >"), page);
  auto* remove = pushButton("RemoveTalkgroupBitBtn", QStringLiteral("< Remove"), page);

  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(QStringLiteral("Talkgroups"), page));
  left->addWidget(TalkgroupSearchEdit);
  left->addWidget(TalkgroupList, 1);
  auto* middle = new QVBoxLayout;
  middle->addStretch(1);
  middle->addWidget(toSlot1);
  middle->addWidget(toSlot2);
  middle->addWidget(remove);
  middle->addStretch(1);
  auto* sets = new QHBoxLayout;
  sets->addWidget(NetworkComboBox, 1);
  sets->addWidget(addSet);
  sets->addWidget(setUp);
  sets->addWidget(removeSet);
  auto* slotLists = new QGridLayout;
  slotLists->addWidget(new QLabel(QStringLiteral("Time slot 1"), page), 0, 0);
  slotLists->addWidget(new QLabel(QStringLiteral("Time slot 2"), page), 0, 1);
  slotLists->addWidget(Slot1List, 1, 0);
  slotLists->addWidget(Slot2List, 1, 1);
  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(QStringLiteral("Sets per network (the selected set's slots below)"), page));
  right->addLayout(sets);
  right->addWidget(SetList, 1);
  right->addLayout(slotLists, 2);
  auto* layout = new QHBoxLayout(page);
  layout->addLayout(left, 2);
  layout->addLayout(middle);
  layout->addLayout(right, 3);

  connect(TalkgroupSearchEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
    for (int i = 0; i < TalkgroupList->count(); ++i)
      TalkgroupList->item(i)->setHidden(
          !TalkgroupList->item(i)->text().contains(text.trimmed(), Qt::CaseInsensitive));
  });
  connect(SetList, &QListWidget::currentRowChanged, this, [this] { showSetSlots(); });
  connect(addSet, &QPushButton::clicked, this, [this, page] {
    pw::wizard::TalkgroupSet set;
    for (const QString& n : NetworkComboBox->currentText().split(QLatin1Char(','), Qt::SkipEmptyParts))
      if (!n.trimmed().isEmpty()) set.networks.push_back(toModel(n.trimmed()));
    if (set.networks.empty()) set.networks.push_back("*");
    plan_.sets.push_back(std::move(set));
    showSets();
    SetList->setCurrentRow(SetList->count() - 1);
    emit page->completeChanged();
  });
  connect(removeSet, &QPushButton::clicked, this, [this, page] {
    const int row = SetList->currentRow();
    if (row < 0) return;
    plan_.sets.erase(plan_.sets.begin() + row);
    showSets();
    SetList->setCurrentRow(std::min(row, SetList->count() - 1));
    emit page->completeChanged();
  });
  connect(setUp, &QPushButton::clicked, this, [this] {
    const int row = SetList->currentRow();
    if (row <= 0) return;
    std::swap(plan_.sets[std::size_t(row)], plan_.sets[std::size_t(row - 1)]);
    showSets();
    SetList->setCurrentRow(row - 1);
  });
  connect(toSlot1, &QPushButton::clicked, this, [this, page] {
    addToSlot(0);
    emit page->completeChanged();
  });
  connect(toSlot2, &QPushButton::clicked, this, [this, page] {
    addToSlot(1);
    emit page->completeChanged();
  });
  connect(remove, &QPushButton::clicked, this, [this, page] {
    const int row = SetList->currentRow();
    if (row < 0) return;
    for (int slot = 0; slot < 2; ++slot) {
      QListWidget* list = slot == 0 ? Slot1List : Slot2List;
      auto& ids = plan_.sets[std::size_t(row)].timeSlots[std::size_t(slot)];
      for (int i = list->count() - 1; i >= 0; --i)
        if (list->item(i)->isSelected()) ids.erase(ids.begin() + i);
    }
    showSets();
    SetList->setCurrentRow(row);
    emit page->completeChanged();
  });
  page->complete = [this] {
    return !plan_.sets.empty() && std::all_of(plan_.sets.begin(), plan_.sets.end(), [](const auto& s) {
      return !s.timeSlots[0].empty() || !s.timeSlots[1].empty();
    });
  };
  return page;
}

QWizardPage* CodePlugWizard::buildLayoutPage() {
  auto* page = new WizardPage;
  page->setObjectName(QStringLiteral("LayoutPage"));
  page->setTitle(QStringLiteral("Layout"));
  page->setSubTitle(
      QStringLiteral("How the channels, zones and scan lists are made, in which order, and where."));
  ChannelsComboBox = choices("ChannelsComboBox", {ChannelsPer::Talkgroup, ChannelsPer::Slot}, page);
  ZonesComboBox = choices("ZonesComboBox", {ZonesBy::Repeater, ZonesBy::City, ZonesBy::State}, page);
  ScanListsCheckBox =
      named(new QCheckBox(QStringLiteral("A scan list for each zone, with the zone's channels"), page),
            "ScanListsCheckBox");
  OrderComboBox = choices("OrderComboBox", {Order::Distance, Order::Name, Order::Frequency}, page);
  StartComboBox = choices("StartComboBox", {Start::Append, Start::Empty}, page);
  RadioIdEdit = named(new QLineEdit(page), "RadioIdEdit");
  RadioIdEdit->setPlaceholderText(QStringLiteral("unchanged"));
  RadioIdEdit->setMaxLength(8);
  RadioNameEdit = named(new QLineEdit(page), "RadioNameEdit");
  RadioNameEdit->setPlaceholderText(QStringLiteral("unchanged"));
  RadioNameEdit->setMaxLength(16);
  auto* form = new QFormLayout(page);
  form->addRow(QStringLiteral("Channels:"), ChannelsComboBox);
  form->addRow(
      QString(),
      new QLabel(QStringLiteral("\"per talkgroup\": a channel for each talkgroup of the repeater's set; "
                                "\"per slot\": one per time slot, the others in its rx group list"),
                 page));
  form->addRow(QStringLiteral("Zones:"), ZonesComboBox);
  form->addRow(QString(), ScanListsCheckBox);
  form->addRow(QStringLiteral("Order of the repeaters:"), OrderComboBox);
  form->addRow(QStringLiteral("Start:"), StartComboBox);
  form->addRow(QString(),
               new QLabel(QStringLiteral("\"empty\" clears channels, zones, scan lists and rx group lists "
                                         "first; contacts and settings stay"),
                          page));
  form->addRow(QStringLiteral("Radio ID:"), RadioIdEdit);
  form->addRow(QStringLiteral("Radio name:"), RadioNameEdit);
  page->complete = [this] {
    const QString id = RadioIdEdit->text().trimmed();
    return id.isEmpty() || pw::parseInteger(toModel(id), 1, pw::kMaxCallId).has_value();
  };
  connect(RadioIdEdit, &QLineEdit::textChanged, page, &QWizardPage::completeChanged);
  return page;
}

QWizardPage* CodePlugWizard::buildPreviewPage() {
  auto* page = new WizardPage;
  page->setObjectName(QStringLiteral("PreviewPage"));
  page->setTitle(QStringLiteral("Preview"));
  page->setSubTitle(QStringLiteral("What Finish adds to the code plug, as one step Undo takes back."));
  PreviewSummaryLabel = named(new QLabel(page), "PreviewSummaryLabel");
  PreviewSummaryLabel->setWordWrap(true);
  QFont bold = PreviewSummaryLabel->font();
  bold.setBold(true);
  PreviewSummaryLabel->setFont(bold);
  PreviewText = named(new QPlainTextEdit(page), "PreviewText");
  PreviewText->setReadOnly(true);
  PreviewText->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* save = pushButton("SavePlanBitBtn", QStringLiteral("Save Plan..."), page);
  save->setToolTip(
      QStringLiteral("Write these choices to a plan file, to build the code plug again later "
                     "(plugwright-cli generate)"));
  auto* row = new QHBoxLayout;
  row->addWidget(PreviewSummaryLabel, 1);
  row->addWidget(save);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(row);
  layout->addWidget(PreviewText, 1);
  page->complete = [this] { return !preview_.added.empty(); };
  connect(save, &QPushButton::clicked, this, &CodePlugWizard::SavePlanBitBtnClick);
  return page;
}

// ---- moving between pages ----

int CodePlugWizard::nextId() const {
  if (currentId() == SourcesPage && straightToPreview_) return PreviewPage;
  return QWizard::nextId();
}

void CodePlugWizard::initializePage(int id) {
  QWizard::initializePage(id);
  if (id == AreaPage) updateAreaCount();
  if (id == TalkgroupsPage) {
    takeArea();
    showSets();
    SetList->setCurrentRow(0);
  }
  if (id == PreviewPage) {
    if (!straightToPreview_) takeLayout();
    straightToPreview_ = false;
    showPreview();
  }
}

bool CodePlugWizard::validateCurrentPage() {
  if (currentId() == SourcesPage && !straightToPreview_ && !readLists()) return false;
  return QWizard::validateCurrentPage();
}

// ---- the lists ----

QString CodePlugWizard::choose(bool save, const QString& title, const QString& filter) {
  if (chooseFile_) return chooseFile_(save, title, filter);
  return save ? QFileDialog::getSaveFileName(this, title, QString(), filter)
              : QFileDialog::getOpenFileName(this, title, QString(), filter);
}

void CodePlugWizard::RepeaterBrowseBitBtnClick() {
  const QString name = choose(false, QStringLiteral("Repeater List"),
                              QStringLiteral("Repeater lists (*.json *.csv);;*.* (*)"));
  if (!name.isEmpty()) RepeaterFileEdit->setText(name);
}

void CodePlugWizard::TalkgroupBrowseBitBtnClick() {
  const QString name = choose(false, QStringLiteral("Talkgroup List"),
                              QStringLiteral("Talkgroup lists (*.json *.csv);;*.* (*)"));
  if (!name.isEmpty()) TalkgroupFileEdit->setText(name);
}

// Reads the two files when they changed; false, with the reason shown, when one cannot be read.
bool CodePlugWizard::readLists() {
  const std::string repeaters = pw::ui::stdPath(RepeaterFileEdit->text().trimmed());
  const std::string talkgroups = pw::ui::stdPath(TalkgroupFileEdit->text().trimmed());
  if (repeaters == readRepeaters_ && talkgroups == readTalkgroups_ && sources_.failure.empty()) return true;
  pw::wizard::WizardPlan files = plan_;
  files.folder.clear();
  files.repeaterFile = repeaters;
  files.talkgroupFile = talkgroups;
  pw::wizard::Sources read = pw::wizard::readSources(files);
  if (!read.failure.empty()) {
    prompt_.error(read.failure);
    return false;
  }
  sources_ = std::move(read);
  readRepeaters_ = repeaters;
  readTalkgroups_ = talkgroups;
  plan_.folder.clear();
  plan_.repeaterFile = repeaters;
  plan_.talkgroupFile = talkgroups;
  SourceStatusLabel->setText(QStringLiteral("%1 repeaters read, %2 entries not usable; %3 talkgroups.")
                                 .arg(grouped(sources_.repeaters.rows.size()))
                                 .arg(grouped(sources_.repeaters.report.skipped.size()))
                                 .arg(grouped(sources_.talkgroupNames.size())));
  fillAreaLists();
  fillTalkgroupList();
  return true;
}

void CodePlugWizard::OpenPlanBitBtnClick() {
  const QString name = choose(false, QStringLiteral("Open Plan"), QStringLiteral("Plans (*.json);;*.* (*)"));
  if (name.isEmpty()) return;
  pw::wizard::PlanRun run = pw::wizard::readPlanRun(pw::ui::stdPath(name));
  if (!run.error.empty()) {
    prompt_.error(run.error);
    return;
  }
  // From here on the plan's files are named as paths to open.
  run.plan.repeaterFile = pw::wizard::resolvedPath(run.plan, run.plan.repeaterFile);
  run.plan.talkgroupFile = pw::wizard::resolvedPath(run.plan, run.plan.talkgroupFile);
  run.plan.folder.clear();
  plan_ = std::move(run.plan);
  sources_ = std::move(run.sources);
  readRepeaters_ = plan_.repeaterFile;
  readTalkgroups_ = plan_.talkgroupFile;
  filling_ = true;
  RepeaterFileEdit->setText(pw::ui::qtPath(plan_.repeaterFile));
  TalkgroupFileEdit->setText(pw::ui::qtPath(plan_.talkgroupFile));
  filling_ = false;
  fillAreaLists();
  fillTalkgroupList();
  showPlan();
  straightToPreview_ = true;
  next();
}

void CodePlugWizard::SavePlanBitBtnClick() {
  QString name = choose(true, QStringLiteral("Save Plan"), QStringLiteral("Plans (*.json);;*.* (*)"));
  if (name.isEmpty()) return;
  if (!name.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive) && QFileInfo(name).suffix().isEmpty())
    name += QStringLiteral(".json");
  if (!pw::wizard::writePlanFile(plan_, pw::ui::stdPath(name)))
    prompt_.error("Could not write the plan file " + pw::ui::stdPath(name));
}

// Every country, state and city of the list with how many entries name it, and the plan's
// own values even when the list names them nowhere.
void CodePlugWizard::fillAreaLists() {
  filling_ = true;
  const std::pair<QListWidget*, std::string pw::exchange::RepeaterRow::*> lists[] = {
      {CountryList, &pw::exchange::RepeaterRow::country},
      {StateList, &pw::exchange::RepeaterRow::state},
      {CityList, &pw::exchange::RepeaterRow::city}};
  const std::vector<std::string>* wanted[] = {&plan_.countries, &plan_.states, &plan_.cities};
  for (int k = 0; k < 3; ++k) {
    std::map<std::string, std::pair<std::string, int>> counted;  // key -> spelling, entries
    for (const auto& row : sources_.repeaters.rows) {
      const std::string& value = row.*lists[k].second;
      if (pw::trimmed(value).empty()) continue;
      auto& [spelling, count] = counted[pw::wizard::areaKey(value)];
      if (spelling.empty()) spelling = value;
      ++count;
    }
    std::set<std::string> ticks;
    for (const std::string& v : *wanted[k]) {
      ticks.insert(pw::wizard::areaKey(v));
      counted.try_emplace(pw::wizard::areaKey(v), v, 0);
    }
    QListWidget* list = lists[k].first;
    list->clear();
    for (const auto& [key, entry] : counted) {
      auto* item =
          new QListWidgetItem(QStringLiteral("%1 (%2)").arg(fromModel(entry.first)).arg(entry.second), list);
      item->setData(kValueRole, fromModel(entry.first));
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(ticks.contains(key) ? Qt::Checked : Qt::Unchecked);
    }
  }
  filling_ = false;
}

void CodePlugWizard::fillTalkgroupList() {
  TalkgroupList->clear();
  std::vector<std::pair<std::uint32_t, std::string>> sorted(sources_.talkgroupNames.begin(),
                                                            sources_.talkgroupNames.end());
  std::sort(sorted.begin(), sorted.end());
  for (const auto& [id, name] : sorted) {
    auto* item = new QListWidgetItem(QStringLiteral("%1  %2").arg(id).arg(fromModel(name)), TalkgroupList);
    item->setData(kValueRole, id);
  }
  std::map<std::string, int> networks;
  for (const auto& row : sources_.repeaters.rows)
    if (!pw::trimmed(row.network).empty()) ++networks[row.network];
  NetworkComboBox->clear();
  NetworkComboBox->addItem(QStringLiteral("*"));
  for (const auto& [network, count] : networks) NetworkComboBox->addItem(fromModel(network));
}

// ---- the plan and the controls ----

void CodePlugWizard::showPlan() {
  filling_ = true;
  NearCheckBox->setChecked(!plan_.near.empty());
  LocatorEdit->setText(fromModel(plan_.near));
  if (plan_.radiusKm > 0) RadiusSpinBox->setValue(plan_.radiusKm);
  IncludeInactiveCheckBox->setChecked(plan_.includeInactive);
  showChoice(ChannelsComboBox, plan_.channels);
  showChoice(ZonesComboBox, plan_.zones);
  ScanListsCheckBox->setChecked(plan_.scanLists);
  showChoice(OrderComboBox, plan_.order);
  showChoice(StartComboBox, plan_.start);
  RadioIdEdit->setText(plan_.radioId ? QString::number(*plan_.radioId) : QString());
  RadioNameEdit->setText(plan_.radioName ? fromModel(*plan_.radioName) : QString());
  filling_ = false;
  showSets();
}

void CodePlugWizard::takeArea() {
  plan_.countries = ticked(CountryList);
  plan_.states = ticked(StateList);
  plan_.cities = ticked(CityList);
  const bool near = NearCheckBox->isChecked();
  plan_.near = near ? toModel(LocatorEdit->text().trimmed()) : std::string();
  plan_.radiusKm = near ? RadiusSpinBox->value() : 0;
  plan_.includeInactive = IncludeInactiveCheckBox->isChecked();
}

void CodePlugWizard::takeLayout() {
  plan_.channels = choiceOf<ChannelsPer>(ChannelsComboBox);
  plan_.zones = choiceOf<ZonesBy>(ZonesComboBox);
  plan_.scanLists = ScanListsCheckBox->isChecked();
  plan_.order = choiceOf<Order>(OrderComboBox);
  // A distance needs a place: without one the repeaters go by callsign.
  if (plan_.order == Order::Distance && plan_.near.empty()) plan_.order = Order::Name;
  plan_.start = choiceOf<Start>(StartComboBox);
  const QString id = RadioIdEdit->text().trimmed();
  const auto number = pw::parseInteger(toModel(id), 1, pw::kMaxCallId);
  plan_.radioId = number ? std::optional<std::uint32_t>(std::uint32_t(*number)) : std::nullopt;
  const QString name = RadioNameEdit->text().trimmed();
  plan_.radioName = name.isEmpty() ? std::nullopt : std::optional<std::string>(toModel(name));
}

void CodePlugWizard::updateAreaCount() {
  takeArea();
  const bool placeReadable = plan_.near.empty() || pw::wizard::parseNear(plan_.near);
  if (!placeReadable) plan_.near.clear();
  const pw::wizard::Area area(plan_);
  areaCount_ = int(std::count_if(sources_.repeaters.rows.begin(), sources_.repeaters.rows.end(),
                                 [&](const auto& row) { return area.takes(row); }));
  AreaCountLabel->setText(
      placeReadable ? QStringLiteral("%1 repeaters in the area").arg(grouped(std::size_t(areaCount_)))
                    : QStringLiteral("The place is neither a locator (JO31, JO31ne) nor lat,lng."));
  emit page(AreaPage)->completeChanged();
}

void CodePlugWizard::showSets() {
  const int row = SetList->currentRow();
  SetList->clear();
  for (const auto& set : plan_.sets) SetList->addItem(setText(set));
  SetList->setCurrentRow(std::min(row, SetList->count() - 1));
  showSetSlots();
}

void CodePlugWizard::showSetSlots() {
  const int row = SetList->currentRow();
  for (int slot = 0; slot < 2; ++slot) {
    QListWidget* list = slot == 0 ? Slot1List : Slot2List;
    list->clear();
    if (row < 0 || row >= int(plan_.sets.size())) continue;
    for (std::uint32_t id : plan_.sets[std::size_t(row)].timeSlots[std::size_t(slot)]) {
      const auto it = sources_.talkgroupNames.find(id);
      list->addItem(QStringLiteral("%1  %2").arg(id).arg(
          it == sources_.talkgroupNames.end() ? QStringLiteral("TG %1").arg(id) : fromModel(it->second)));
    }
  }
}

// The selected talkgroups, or the ID typed in the search box, join the slot of the
// selected set (each once).
void CodePlugWizard::addToSlot(int slot) {
  const int row = SetList->currentRow();
  if (row < 0 || row >= int(plan_.sets.size())) return;
  std::vector<std::uint32_t> ids;
  for (QListWidgetItem* item : TalkgroupList->selectedItems())
    if (!item->isHidden()) ids.push_back(item->data(kValueRole).toUInt());
  if (ids.empty())
    if (const auto typed = pw::parseInteger(toModel(TalkgroupSearchEdit->text()), 1, pw::kMaxCallId))
      ids.push_back(std::uint32_t(*typed));
  auto& into = plan_.sets[std::size_t(row)].timeSlots[std::size_t(slot)];
  for (std::uint32_t id : ids)
    if (std::find(into.begin(), into.end(), id) == into.end()) into.push_back(id);
  showSets();
  SetList->setCurrentRow(row);
}

void CodePlugWizard::showPreview() {
  preview_ = pw::wizard::previewGeneration(doc_, plan_, sources_);
  const auto count = [&](pw::ListId list) { return preview_.addedTo(list); };
  PreviewSummaryLabel->setText(
      preview_.added.empty()
          ? QStringLiteral("Nothing can be generated: no repeater of the area is usable (see below).")
          : QStringLiteral(
                "%1 channels, %2 zones, %3 scan lists, %4 rx group lists and %5 contacts will be added; "
                "%6 entries are left out.")
                .arg(preview_.added.size())
                .arg(count(pw::ListId::Zones))
                .arg(count(pw::ListId::ScanLists))
                .arg(count(pw::ListId::RxGroupLists))
                .arg(count(pw::ListId::Contacts))
                .arg(grouped(preview_.skipped.size())));
  QString text;
  const auto lines = pw::wizard::generationLines(preview_);
  for (std::size_t i = 5; i < lines.size(); ++i) {
    if (i - 5 == std::size_t(kShownLines)) {
      text += QStringLiteral("... and %1 more\n").arg(lines.size() - i);
      break;
    }
    text += fromModel(lines[i]) + QLatin1Char('\n');
  }
  PreviewText->setPlainText(text);
  emit page(PreviewPage)->completeChanged();
}
