#include "membership/ui/ScanListsForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QScopedValueRollback>
#include <algorithm>

#include "membership/ui/MemberEditor.h"

namespace {

using pw::ScanListField;

struct SettingText {
  const char* caption;
  const char* name;
};

// Indexed by ScanListField.
constexpr SettingText kSettingTexts[] = {
    {"Priority Channel 1 ", "PriorityChannel1ComboBox"},
    {"Priority Channel 2 ", "PriorityChannel2ComboBox"},
    {"Tx Designated Channel ", "TxDesignatedChannelComboBox"},
    {"Signalling Hold Time ", "SignallingHoldTimeComboBox"},
    {"Priority Sample Time ", "PrioritySampleTimeComboBox"},
};

bool isTiming(ScanListField f) {
  return f == ScanListField::SignallingHoldTime || f == ScanListField::PrioritySampleTime;
}

}  // namespace

TScanListsForm::TScanListsForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName(QStringLiteral("ScanListsForm"));
  setWindowTitle(QStringLiteral("  Scan Lists  "));
  editor_ = new MemberEditor(doc,
                             {.owner = pw::ListId::ScanLists,
                              .title = "Scan Lists",
                              .noImageCaption = "Scan Lists .. up to 250 ",
                              .availableCaption = "Available Channels ",
                              .membersTitle = "Channel Members",
                              .severalShowCapacity = false,
                              .numberCaption = "Chan",
                              .detailCaption = "Mode",
                              .recordsNeedImage = true,
                              .memberSideChanged = [this] { showSettings(); }},
                             this);
  addRecordGrid({pw::PlugSection::ScanLists, editor_->records()});
  for (ListEditor* side : {editor_->available(), editor_->members()}) addKeptGrid(side);
  QGridLayout* channels = addSettings(
      {ScanListField::PriorityChannel1, ScanListField::PriorityChannel2, ScanListField::TxDesignatedChannel});
  QGridLayout* timings = addSettings({ScanListField::SignallingHoldTime, ScanListField::PrioritySampleTime});
  editor_->layOutTab(this, QStringLiteral("You can set your radio to scan one of these scan groups "),
                     channels, timings);
  refresh(true, 0);
}

QGridLayout* TScanListsForm::addSettings(std::vector<ScanListField> fields) {
  auto* grid = new QGridLayout;
  for (ScanListField field : fields) {
    const SettingText& text = kSettingTexts[int(field)];
    auto* label = new QLabel(QString::fromLatin1(text.caption), this);
    auto* box = new QComboBox(this);
    box->setObjectName(QString::fromLatin1(text.name));
    box->setEditable(false);
    box->setMaxVisibleItems(20);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(12);
    label->setBuddy(box);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    settings_.push_back({field, label, box});
    // Only a pick by the user writes; filling the lists never does.
    connect(box, &QComboBox::activated, this,
            [this, i = settings_.size() - 1](int index) { chosen(settings_[i], index); });
  }
  grid->setColumnStretch(1, 1);
  return grid;
}

ListEditor* TScanListsForm::listEditor() const { return editor_->records(); }

void TScanListsForm::refresh(bool rebuild, int topRow) { editor_->refresh(rebuild, topRow); }

void TScanListsForm::showSettings() {
  if (!editor_) return;  // the editor's first fill runs while it is being made
  const QScopedValueRollback<bool> busy(filling_, true);
  const std::vector<int> rows = editor_->selectedRecords();
  const int s = editor_->currentRecord();
  for (Setting& setting : settings_) {
    const ScanListField f = setting.field;
    pw::ScanChoices choices;
    if (isTiming(f))
      choices = f == ScanListField::SignallingHoldTime ? pw::signallingHoldTimeChoices()
                                                       : pw::prioritySampleTimeChoices();
    else if (s >= 0)
      choices = f == ScanListField::TxDesignatedChannel ? pw::txDesignatedChannelChoices(doc)
                                                        : pw::priorityChannelChoices(doc, s);
    int current = -1;
    if (s >= 0)
      current = pw::choiceIndex(choices, pw::scanListField(doc, s, f));
    else if (isTiming(f) && (rows.size() > 1 || !doc.hasImage()))
      // No single list gives a value: the lists show their defaults, the records keep theirs.
      current =
          f == ScanListField::SignallingHoldTime ? pw::kDefaultHoldTimeChoice : pw::kDefaultSampleTimeChoice;
    showChoices(setting, choices, current);
    setting.box->setEnabled(!rows.empty());
    setting.label->setEnabled(!rows.empty());
  }
}

void TScanListsForm::showChoices(Setting& setting, const pw::ScanChoices& choices, int current) {
  QComboBox* box = setting.box;
  // Selecting another scan list mostly offers the same 1000 channels again: keep them.
  const auto same = [](const pw::ScanChoice& a, const pw::ScanChoice& b) {
    return a.value == b.value && a.text == b.text;
  };
  if (!std::equal(choices.begin(), choices.end(), setting.shown.begin(), setting.shown.end(), same)) {
    QStringList texts;
    for (const pw::ScanChoice& c : choices) texts << QString::fromLatin1(c.text);
    box->clear();
    box->addItems(texts);
    for (int i = 0; i < int(choices.size()); ++i) box->setItemData(i, QVariant::fromValue(choices[i].value));
    setting.shown = choices;
  }
  box->setCurrentIndex(current);
}

void TScanListsForm::chosen(const Setting& setting, int index) {
  if (filling_ || editor_->busy() || !doc.hasImage() || index < 0) return;
  const std::vector<int> rows = editor_->selectedRecords();
  const bool oneListOnly = !isTiming(setting.field) && setting.field != ScanListField::TxDesignatedChannel;
  if (rows.empty() || (oneListOnly && rows.size() != 1)) return;
  pw::setScanListField(doc, rows, setting.field, setting.box->itemData(index).toUInt());
}
