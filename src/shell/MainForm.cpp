#include "shell/MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Version.h"
#include "shell/CompareDialog.h"
#include "shell/EditSteps.h"
#include "shell/FindingsView.h"
#include "shell/LeftoverEditsDialog.h"
#include "widgets/SaveTarget.h"
#include "shell/PageTabRows.h"
#include "shell/Recovery.h"
#include "widgets/QtPrompt.h"
#include "shell/Settings.h"
#include "widgets/TabForm.h"
#include "widgets/FilePaths.h"
#include "wizard/ui/CodePlugWizard.h"
#include "channels/ui/ChannelsForm.h"
#include "contacts/ui/DigitalContactsForm.h"
#include "digital/ui/EmergencySystemForm.h"
#include "digital/ui/TextMessageForm.h"
#include "digital/ui/VoiceEncryptionForm.h"
#include "membership/ui/GroupsForm.h"
#include "membership/ui/ScanListsForm.h"
#include "membership/ui/ZonesForm.h"
#include "settings/ui/BasicForm.h"
#include "settings/ui/ButtonsForm.h"
#include "settings/ui/GeneralForm.h"
#include "settings/ui/MenusForm.h"
#include "signalling/ui/DTMFForm.h"
#include "signalling/ui/GPSForm.h"

namespace {

constexpr int kDesignLeft = 169, kDesignTop = 99, kDesignWidth = 1138, kDesignHeight = 585;

struct TabDef {
  const char* caption;
  const char* pageName;
  TabForm* (*create)(pw::CodePlugDocument&, QWidget*);
};

template <typename Form>
TabForm* make(pw::CodePlugDocument& doc, QWidget* parent) {
  return new Form(doc, parent);
}

// The pages in tab order; the page index in the settings file follows this order.
const std::array<TabDef, TMainForm::kTabCount> kTabs{{
    {"  Basic  ", "BasicTabSheet", make<TBasicForm>},
    {"  General  ", "GeneralTabSheet", make<TGeneralForm>},
    {"  Menus  ", "MenusTabSheet", make<TMenusForm>},
    {"  Buttons  ", "ButtonsTabSheet", make<TButtonsForm>},
    {"  Digital Text Msg  ", "TextMessageTabSheet", make<TTextMessageForm>},
    {"  Digital Voice Encryption  ", "VoiceEncryptionTabSheet", make<TVoiceEncryptionForm>},
    {"  Digital Emergency System  ", "EmergencySystemTabSheet", make<TEmergencySystemForm>},
    {"  Digital Contacts  ", "DigitalContactsTabSheet", make<TDigitalContactsForm>},
    {"  Digital Rx Groups  ", "GroupsTabSheet", make<TGroupsForm>},
    {"  Zones  ", "ZonesTabSheet", make<TZonesForm>},
    {"  Scan Lists  ", "ScanListsTabSheet", make<TScanListsForm>},
    {"  Channels  ", "ChannelsTabSheet", make<TChannelsForm>},
    {"  DTMF  ", "DTMFTabSheet", make<TDTMFForm>},
    {"  GPS  ", "GPSTabSheet", make<TGPSForm>},
}};
constexpr int kFindingsHeight = 100;  // the findings panel when first shown: four rows

const char* const kQueryDiscard = "Unsaved code plug.\n\nDiscard it ?";
const char* const kQueryReload = "Unsaved code plug.\n\nReload from file ?";
const char* const kQuerySaveBeforeExit = "Unsaved code plug.\n\nSave before exit ?";


pw::Rect toRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// A narrow window may take a button down to its caption's width (the style would keep
// every button at least 80 pixels wide, more than ten of them have at the minimum width).
void fitCaption(QPushButton* b) {
  constexpr int kPadding = 16;
  b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + kPadding);
}

QPushButton* addButton(QHBoxLayout* row, QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromLatin1(caption), parent);
  b->setObjectName(QString::fromLatin1(name));
  fitCaption(b);
  row->addWidget(b);
  return b;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : TMainForm(TMainFormHooks{}, parent) {}

TMainForm::TMainForm(TMainFormHooks hooks, QWidget* parent)
    : QWidget(parent), hooks_(std::move(hooks)), qtPrompt_(std::make_unique<QtPrompt>(this)) {
  setObjectName("MainForm");
  doc.setPrompt(hooks_.prompt ? hooks_.prompt : qtPrompt_.get());
  doc.onLoaded = [this] { enableFileCommands(); };
  startUp();
}

// Runs when the window is destroyed (after a successful close): the settings are
// written while the tab forms still exist, then the forms go in reverse tab order.
TMainForm::~TMainForm() {
  writeSettings();
  for (int i = kTabCount - 1; i >= 0; --i) {
    delete forms[i];
    forms[i] = nullptr;
  }
  doc.onLoaded = nullptr;
}

void TMainForm::startUp() {
  settingsPath_ = hooks_.settingsPath.isEmpty() ? settingsFilePath() : hooks_.settingsPath;
  setWindowTitle(QString::asprintf("Plugwright .. June 2016 v%d.%d.%d.%d", PLUGWRIGHT_VERSION_MAJOR,
                                   PLUGWRIGHT_VERSION_MINOR, PLUGWRIGHT_VERSION_PATCH, PLUGWRIGHT_VERSION_BUILD));
  setMinimumSize(pw::kMinimumWindowWidth, pw::kMinimumWindowHeight);
  move(kDesignLeft, kDesignTop);
  resize(kDesignWidth, kDesignHeight);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  buildTopPanel();
  FilenameLabel->clear();
  SaveBitBtn->setEnabled(false);
  SaveAsBitBtn->setEnabled(false);
  ReloadBitBtn->setEnabled(false);

  addShortcuts();
  createTabForms();
  editSteps_ = new EditSteps(
      doc, [this] { return QStringLiteral("edit ") + PageControl->tabText(PageControl->currentIndex()).trimmed(); },
      this);
  editSteps_->changed = [this] {
    enableUndoCommands();
    afterEdit(editSteps_->typing());
  };
  readSettings();
  refreshAllTabs();

  loadAtStartUp();
  listLeftovers();
  // Connected only now: choosing the page from the settings is no user tab change.
  connect(PageControl, &QTabWidget::currentChanged, this, &TMainForm::PageControlChange);
}

// The settings file's last file is loaded silently and forgotten when it fails; a file
// named on the command line is loaded as Open loads one, and the last file stays
// remembered unless it loads.
void TMainForm::loadAtStartUp() {
  const bool named = !hooks_.fileToOpen.isEmpty();
  if (named) {
    keptLastFile_ = pw::ui::qtPath(doc.fileName);
    doc.fileName = pw::ui::stdPath(QFileInfo(hooks_.fileToOpen).absoluteFilePath());
  }
  const QFileInfo file(pw::ui::qtPath(doc.fileName));
  const bool folderExists = !doc.fileName.empty() && file.absoluteDir().exists();
  dialogFolder_ = folderExists ? file.absolutePath() : QCoreApplication::applicationDirPath();
  if (doc.fileName.empty()) return;
  if (doc.loadCodePlug(doc.fileName, named) != pw::kLoadOk) {
    doc.fileName.clear();
    return;
  }
  keptLastFile_.clear();
  showFileName();
  offerRecovery();
  refreshAllTabs();
}

void TMainForm::buildTopPanel() {
  auto* panel = new QWidget(this);
  panel->setObjectName("TopPanel");
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 0, 0);
  NewBitBtn = addButton(row, panel, "NewBitBtn", "New");
  OpenBitBtn = addButton(row, panel, "OpenBitBtn", "Open");
  ReloadBitBtn = addButton(row, panel, "ReloadBitBtn", "Reload");
  SaveBitBtn = addButton(row, panel, "SaveBitBtn", "Save");
  SaveAsBitBtn = addButton(row, panel, "SaveAsBitBtn", "Save As");
  WizardBitBtn = addButton(row, panel, "WizardBitBtn", "Wizard");
  UndoBitBtn = addButton(row, panel, "UndoBitBtn", "Undo");
  RedoBitBtn = addButton(row, panel, "RedoBitBtn", "Redo");
  CheckBitBtn = addButton(row, panel, "CheckBitBtn", "Check");
  CompareBitBtn = addButton(row, panel, "CompareBitBtn", "Compare");
  CheckBitBtn->setCheckable(true);
  CheckBitBtn->setToolTip(QStringLiteral("Show or hide what the checks find in this code plug"));
  CompareBitBtn->setToolTip(QStringLiteral("Compare this code plug with another file"));
  NewBitBtn->setEnabled(false);
  WizardBitBtn->setEnabled(false);
  UndoBitBtn->setEnabled(false);
  RedoBitBtn->setEnabled(false);
  CheckBitBtn->setEnabled(false);
  CompareBitBtn->setEnabled(false);

  FilenameLabel = new QLabel(panel);
  FilenameLabel->setObjectName("FilenameLabel");
  QFont bold = FilenameLabel->font();
  bold.setBold(true);
  FilenameLabel->setFont(bold);
  QPalette maroon = FilenameLabel->palette();
  maroon.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));
  FilenameLabel->setPalette(maroon);
  FilenameLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  FilenameLabel->setFocusPolicy(Qt::NoFocus);
  // A long path is cut off on the right rather than widening the window.
  FilenameLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  row->addSpacing(12);
  row->addWidget(FilenameLabel, 1);
  layout()->addWidget(panel);

  connect(OpenBitBtn, &QPushButton::clicked, this, &TMainForm::OpenBitBtnClick);
  connect(ReloadBitBtn, &QPushButton::clicked, this, &TMainForm::ReloadBitBtnClick);
  connect(SaveBitBtn, &QPushButton::clicked, this, &TMainForm::SaveBitBtnClick);
  connect(SaveAsBitBtn, &QPushButton::clicked, this, &TMainForm::SaveAsBitBtnClick);
  connect(UndoBitBtn, &QPushButton::clicked, this, &TMainForm::UndoBitBtnClick);
  connect(RedoBitBtn, &QPushButton::clicked, this, &TMainForm::RedoBitBtnClick);
  connect(CheckBitBtn, &QPushButton::clicked, this, &TMainForm::CheckBitBtnClick);
  connect(CompareBitBtn, &QPushButton::clicked, this, &TMainForm::CompareBitBtnClick);
  connect(WizardBitBtn, &QPushButton::clicked, this, &TMainForm::WizardBitBtnClick);
}

// Standard keys for the commands; each runs exactly what its button runs. The undo keys
// are window shortcuts, so a focused text box keeps its own Ctrl+Z.
void TMainForm::addShortcuts() {
  struct Key {
    QKeySequence sequence;
    QPushButton* button;
  };
  const Key keys[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_O), OpenBitBtn},
      {QKeySequence(Qt::Key_F5), ReloadBitBtn},
      {QKeySequence(Qt::CTRL | Qt::Key_S), SaveBitBtn},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), SaveAsBitBtn},
      {QKeySequence(Qt::CTRL | Qt::Key_Z), UndoBitBtn},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), RedoBitBtn},
      {QKeySequence(Qt::CTRL | Qt::Key_Y), RedoBitBtn},
  };
  for (const Key& k : keys) {
    auto* shortcut = new QShortcut(k.sequence, this);
    QPushButton* button = k.button;
    connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled()) button->click();
    });
    if (button->toolTip().isEmpty())
      button->setToolTip(button->text() + QStringLiteral(" (") + k.sequence.toString(QKeySequence::NativeText) +
                         QLatin1Char(')'));
  }
  auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
  connect(quit, &QShortcut::activated, this, &QWidget::close);
}

void TMainForm::createTabForms() {
  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl");
  for (int i = 0; i < kTabCount; ++i) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(kTabs[i].pageName));
    auto* fill = new QVBoxLayout(page);
    fill->setContentsMargins(0, 0, 0, 0);
    forms[i] = kTabs[i].create(doc, page);
    forms[i]->setWindowFlags(Qt::Widget);
    connect(forms[i], &TabForm::recordsAddedElsewhere, this, [this, i] {
      for (int k = 0; k < kTabCount; ++k) stale_[k] = stale_[k] || k != i;
    });
    // A page scrolls rather than crushing its controls when the findings panel takes
    // part of its height (see fitPagesToPanel).
    auto* scroll = new QScrollArea(page);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setWidget(forms[i]);
    fill->addWidget(scroll);
    pageAreas_[i] = scroll;
    PageControl->addTab(page, QString::fromLatin1(kTabs[i].caption));
  }
  PageControl->setCurrentIndex(kDesignPageIndex);

  // The tabs above the findings panel, which the user can make taller or shorter.
  auto* tabsArea = new QWidget(this);
  auto* tabs = new QVBoxLayout(tabsArea);
  tabs->setContentsMargins(0, 0, 0, 0);
  tabs->setSpacing(0);
  tabs->addWidget(new PageTabRows(PageControl, tabsArea));
  tabs->addWidget(PageControl, 1);
  std::vector<QString> captions;  // of the tab that shows each section
  for (int s = 0; s < pw::kPlugSectionCount; ++s) {
    const int tab = tabOf(pw::PlugSection(s));
    captions.push_back(tab < 0 ? QString() : PageControl->tabText(tab).trimmed());
  }
  findings_ = new FindingsView(
      doc, [captions](pw::PlugSection s) { return captions[std::size_t(s)]; }, this);
  findings_->hide();
  connect(findings_, &FindingsView::countChanged, this, &TMainForm::showCheckCount);
  connect(findings_, &FindingsView::findingActivated, this, &TMainForm::showRecord);
  tabsAndFindings_ = new QSplitter(Qt::Vertical, this);
  tabsAndFindings_->setObjectName(QStringLiteral("FindingsSplitter"));
  tabsAndFindings_->setChildrenCollapsible(false);
  // The tab rows' own minimum (all rows of a narrow window) would push the panel out of
  // a window of the design height; the pages scroll instead (fitPagesToPanel).
  tabsArea->setMinimumHeight(200);
  findings_->setMinimumHeight(60);
  tabsAndFindings_->addWidget(tabsArea);
  tabsAndFindings_->addWidget(findings_);
  tabsAndFindings_->setStretchFactor(0, 1);
  fitPagesToPanel(false);
  static_cast<QVBoxLayout*>(layout())->addWidget(tabsAndFindings_, 1);
  recovery_ = new RecoveryService(doc, this);
}

// Keys in the order of the file's table; each missing or unreadable one keeps the
// current value as its default.
void TMainForm::readSettings() {
  const QSettings s(settingsPath_, QSettings::IniFormat);
  pw::Rect r;
  r.y = readSettingInt(s, "MainForm/Top", y());
  r.x = readSettingInt(s, "MainForm/Left", x());
  r.w = readSettingInt(s, "MainForm/Width", width());
  r.h = readSettingInt(s, "MainForm/Height", height());
  placeWithin(r);
  doc.fileName = pw::ui::stdPath(readSettingText(s, "CodePlug/File", pw::ui::qtPath(doc.fileName)));
  const int tab = readSettingInt(s, "Misc/Tab", PageControl->currentIndex());
  if (tab >= 0 && tab < kTabCount) PageControl->setCurrentIndex(tab);
  for (const TabForm* form : forms)
    for (const TabForm::Option& o : form->options())
      o.set(readSettingBool(s, QStringLiteral("Misc/") + o.key, o.get()));
}

// The old file is removed first so the new one holds only the keys written here.
void TMainForm::writeSettings() {
  QFile::remove(settingsPath_);
  QDir().mkpath(QFileInfo(settingsPath_).absolutePath());
  QSettings s(settingsPath_, QSettings::IniFormat);
  s.setValue("MainForm/Top", y());
  s.setValue("MainForm/Left", x());
  s.setValue("MainForm/Width", width());
  s.setValue("MainForm/Height", height());
  const QString lastFile = doc.fileName.empty() ? keptLastFile_ : pw::ui::qtPath(doc.fileName);
  if (!lastFile.isEmpty()) s.setValue("CodePlug/File", lastFile);
  s.setValue("Misc/Tab", PageControl->currentIndex());
  for (const TabForm* form : forms)
    for (const TabForm::Option& o : form->options()) s.setValue(QStringLiteral("Misc/") + o.key, o.get());
  s.sync();
}

void TMainForm::refreshAllTabs() {
  for (TabForm* form : forms) form->refresh(true, 0);
  stale_.fill(false);
  enableUndoCommands();
  findings_->recheck();
}

// After every edit step, undo and redo: the findings follow, and the unsaved image is
// kept safe.
void TMainForm::afterEdit(bool typing) {
  findings_->recheckSoon(typing);
  recovery_->changed();
}

void TMainForm::enableUndoCommands() {
  const pw::EditHistory& h = doc.history();
  UndoBitBtn->setEnabled(h.canUndo());
  RedoBitBtn->setEnabled(h.canRedo());
  UndoBitBtn->setToolTip(h.canUndo() ? QStringLiteral("Undo: ") + QString::fromStdString(h.undoLabel())
                                     : QStringLiteral("Undo (Ctrl+Z)"));
  RedoBitBtn->setToolTip(h.canRedo() ? QStringLiteral("Redo: ") + QString::fromStdString(h.redoLabel())
                                     : QStringLiteral("Redo (Ctrl+Y)"));
}

void TMainForm::UndoBitBtnClick() {
  if (doc.undo()) {
    showRestoredImage();
    afterEdit(false);
  }
  enableUndoCommands();
}

void TMainForm::RedoBitBtnClick() {
  if (doc.redo()) {
    showRestoredImage();
    afterEdit(false);
  }
  enableUndoCommands();
}

// The current tab shows the restored image at once, keeping the selection and scroll
// position of its lists where they still can (a bulk edit undone leaves the same records
// selected, showing their restored values); the others rebuild when they are next shown.
void TMainForm::showRestoredImage() {
  const int current = PageControl->currentIndex();
  TabForm* form = forms[current];
  const TabForm::Place place = form->place();
  form->refresh(true, -1);
  form->returnTo(place);
  for (int i = 0; i < kTabCount; ++i) stale_[i] = i != current;
}

void TMainForm::showFileName() {
  FilenameLabel->setText(QStringLiteral(" ") + pw::ui::qtPath(doc.fileName));
  FilenameLabel->setToolTip(pw::ui::qtPath(doc.fileName));
}

void TMainForm::enableFileCommands() {
  SaveBitBtn->setEnabled(true);
  SaveAsBitBtn->setEnabled(true);
  ReloadBitBtn->setEnabled(true);
  CheckBitBtn->setEnabled(true);
  CompareBitBtn->setEnabled(true);
  WizardBitBtn->setEnabled(true);
}

// The wizard asks; the channels it plans are made only on Finish, as one undo step, and
// every tab rebuilds from the new lists.
void TMainForm::WizardBitBtnClick() {
  if (!doc.hasImage()) return;
  CodePlugWizard wizard(doc, doc.prompt(), hooks_.chooseWizardFile, this);
  if (wizard.exec() != QDialog::Accepted) return;
  pw::wizard::generate(doc, wizard.plan(), wizard.sources());
  editSteps_->settle();
  refreshAllTabs();
}

void TMainForm::PageControlChange(int index) {
  if (index < 0 || index >= kTabCount) return;
  forms[index]->refresh(std::exchange(stale_[index], false), 0);
}

// ---- file commands ----

void TMainForm::OpenBitBtnClick() {
  if (doc.isModified() && doc.prompt().question(kQueryDiscard, false) != pw::Answer::Yes) return;
  const QString name = chooseFile(false);
  if (name.isEmpty()) return;
  if (doc.loadCodePlug(pw::ui::stdPath(name), true) != pw::kLoadOk) return;
  if (!doc.fileName.empty()) recovery_->discard(pw::ui::qtPath(doc.fileName));
  doc.fileName = pw::ui::stdPath(name);
  showFileName();
  offerRecovery();
  refreshAllTabs();
  listLeftovers();
}

void TMainForm::ReloadBitBtnClick() {
  if (doc.isModified() && doc.prompt().question(kQueryReload, false) != pw::Answer::Yes) return;
  if (doc.loadCodePlug(doc.fileName, true) != pw::kLoadOk) return;
  recovery_->discard(pw::ui::qtPath(doc.fileName));
  showFileName();
  refreshAllTabs();
}

// Never falls back to Save As: without a file name there is nothing to save to.
void TMainForm::SaveBitBtnClick() {
  if (!doc.hasImage() || doc.fileName.empty()) return;
  if (doc.saveCodePlug(doc.fileName) != pw::kSaveOk) return;
  recovery_->discard(pw::ui::qtPath(doc.fileName));
  showFileName();
}

void TMainForm::SaveAsBitBtnClick() {
  QString name = chooseFile(true);
  if (name.isEmpty()) return;
  // Asked here, about the name that will really be written (the dialog's own question
  // would ask about the name as typed, before ".rdt" is added).
  name = saveTarget(doc.prompt(), name, QStringLiteral(".rdt"));
  if (name.isEmpty()) return;
  if (doc.saveCodePlug(pw::ui::stdPath(name)) != pw::kSaveOk) return;
  recovery_->discard(pw::ui::qtPath(doc.fileName));
  doc.fileName = pw::ui::stdPath(name);
  showFileName();
}

QString TMainForm::chooseFile(bool save, const QString& title) {
  if (hooks_.chooseFile) return hooks_.chooseFile(save, dialogFolder_);
  const QString filter = QStringLiteral("*.rdt (*.rdt);;*.* (*)");
  // Save As asks about replacing a file itself, once ".rdt" is added.
  if (save)
    return QFileDialog::getSaveFileName(this, tr("Save As"), dialogFolder_, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
  return QFileDialog::getOpenFileName(this, title.isEmpty() ? tr("Open") : title, dialogFolder_, filter);
}

// ---- check, compare ----

void TMainForm::CheckBitBtnClick() {
  const bool show = CheckBitBtn->isChecked();
  if (show == findings_->isVisible()) return;
  findings_->setVisible(show);
  fitPagesToPanel(show);
  if (show) {
    const int total = tabsAndFindings_->height();
    tabsAndFindings_->setSizes({total - kFindingsHeight, kFindingsHeight});
  }
}

// Without the panel every page fills its tab as it always has, its controls sharing
// whatever height the window has. With it, a page keeps the height its controls need
// and scrolls when the tab is shorter.
void TMainForm::fitPagesToPanel(bool panelShown) {
  for (TabForm* form : forms) form->setMinimumSize(1, panelShown ? 0 : 1);
}

void TMainForm::showCheckCount(int count) {
  CheckBitBtn->setText(count > 0 ? QStringLiteral("Check (%1)").arg(count) : QStringLiteral("Check"));
  fitCaption(CheckBitBtn);
}

// The other file loads as Open loads it (its failure says why the same way), and is
// compared with the image as edited.
void TMainForm::CompareBitBtnClick() {
  if (!doc.hasImage()) return;
  const QString name = chooseFile(false, tr("Compare with"));
  if (name.isEmpty()) return;
  pw::CodePlugDocument other(&doc.prompt());
  if (other.loadCodePlug(pw::ui::stdPath(name), true) != pw::kLoadOk) return;
  if (compare_) compare_->close();
  const QString thisName =
      pw::ui::qtPath(doc.fileName) + (doc.isModified() ? QStringLiteral(" (with its unsaved edits)") : QString());
  // This plug as Save would write it: a CRC that follows the bytes is no difference to show.
  compare_ =
      new CompareDialog(pw::text::compareFiles(doc.imageAsSaved(), other.workingImage), thisName, name, this);
  connect(compare_, &CompareDialog::recordActivated, this, &TMainForm::showRecord);
  compare_->show();
}

// The tab that shows `section`, or -1.
int TMainForm::tabOf(pw::PlugSection section) const {
  for (int i = 0; i < kTabCount; ++i)
    if (forms[i]->shows(section)) return i;
  return -1;
}

// The tab is refreshed as it is shown, so its rows are the image's. With the findings
// panel shown the page may show only part of the tab: it scrolls to the row too.
void TMainForm::showRecord(pw::PlugSection section, int number) {
  const int tab = tabOf(section);
  if (tab < 0) return;
  PageControl->setCurrentIndex(tab);
  if (const std::optional<QRect> row = forms[tab]->showRecord(section, number))
    pageAreas_[tab]->ensureVisible(row->center().x(), row->center().y(), row->width() / 2, row->height() / 2);
}

// ---- recovery ----

// Edits a crash or a power cut kept from being saved are offered back as an unsaved edit
// of the file just opened (Undo returns to the file).
void TMainForm::offerRecovery() {
  std::optional<std::vector<std::uint8_t>> image = recovery_->offerBack();
  if (!image) return;
  doc.restoreImage(*image, "restore unsaved changes");
}

// Edits kept of files that are gone are listed for the user to save or discard.
void TMainForm::listLeftovers() {
  std::vector<Leftover> leftovers = recovery_->leftovers();
  if (leftovers.empty()) return;
  if (!leftovers_)
    leftovers_ = new LeftoverEditsDialog(*recovery_, doc.prompt(), [this] { return chooseFile(true); }, this);
  leftovers_->setLeftovers(std::move(leftovers));
  // Shown once the window is: at start-up it comes first.
  QMetaObject::invokeMethod(leftovers_, &QWidget::show, Qt::QueuedConnection);
}

// ---- window events ----

void TMainForm::closeEvent(QCloseEvent* event) {
  if (doc.hasImage() && doc.isModified()) {
    const pw::Answer answer = doc.prompt().question(kQuerySaveBeforeExit, true);
    const bool stay = answer == pw::Answer::Cancel ||
                      (answer == pw::Answer::Yes && doc.saveCodePlug(doc.fileName) != pw::kSaveOk);
    if (stay) {
      event->ignore();
      return;
    }
  }
  // Saved, discarded, or nothing left unsaved: no edits to recover.
  if (!doc.fileName.empty()) recovery_->discard(pw::ui::qtPath(doc.fileName));
  if (compare_) compare_->close();
  if (leftovers_) leftovers_->close();
  event->accept();
}

// Escape closes only when no control of the window holds the focus: a control that
// ignores the key passes it on to here, and then it must not close the window.
void TMainForm::keyPressEvent(QKeyEvent* event) {
  const QWidget* focus = QApplication::focusWidget();
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && (!focus || focus == this)) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TMainForm::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  keepPlaced();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  keepPlaced();
}

// ---- placement ----

pw::ScreenMetrics TMainForm::screenMetrics() const {
  if (hooks_.screens) return hooks_.screens();
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return {};
  return {toRect(primary->virtualGeometry()), toRect(primary->availableGeometry()), primary->geometry().width()};
}

void TMainForm::placeWithin(pw::Rect proposed) {
  const pw::ScreenMetrics screens = screenMetrics();
  // Without a screen there is nothing to place against.
  const pw::Rect r = screens.desktop.w > 0 ? pw::placeWindow(proposed, screens) : proposed;
  placing_ = true;
  move(r.x, r.y);
  resize(r.w, r.h);
  placing_ = false;
}

// Re-applies the rule after a move or resize; the move it causes itself is not
// adjusted again from inside this call.
void TMainForm::keepPlaced() {
  if (placing_ || isMaximized() || isFullScreen()) return;
  const pw::Rect now{x(), y(), width(), height()};
  const pw::ScreenMetrics screens = screenMetrics();
  if (screens.desktop.w <= 0) return;
  if (!(pw::placeWindow(now, screens) == now)) placeWithin(now);
}
