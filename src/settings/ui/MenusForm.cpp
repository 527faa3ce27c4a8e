#include "settings/ui/MenusForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>

#include "settings/MenuSettings.h"
#include "settings/ui/SettingsControls.h"
#include "widgets/FixedTable.h"

using pw::MenuField;

namespace {

struct ToggleDef {
  const char* frame;  // null: beside the hang time
  const char* caption;
  const char* name;
  MenuField entry;
};

// In the order shown, frame by frame.
// clang-format off
constexpr ToggleDef kToggles[] = {
    {nullptr, "Text Message", "TextMessageSpeedButton", MenuField::TextMessage},
    {" Contacts ", "Call Alert", "ContactsCallAlertSpeedButton", MenuField::ContactsCallAlert},
    {" Contacts ", "Edit", "ContactsEditSpeedButton", MenuField::ContactsEdit},
    {" Contacts ", "Manual Dial", "ContactsManualDialSpeedButton", MenuField::ContactsManualDial},
    {" Contacts ", "Radio Check", "ContactsRadioCheckSpeedButton", MenuField::ContactsRadioCheck},
    {" Contacts ", "Remote monitor", "ContactsRemoteMonitorSpeedButton", MenuField::ContactsRemoteMonitor},
    {" Contacts ", "Radio Enable", "ContactsRadioEnableSpeedButton", MenuField::ContactsRadioEnable},
    {" Contacts ", "Radio Disable", "ContactsRadioDisableSpeedButton", MenuField::ContactsRadioDisable},
    {" Contacts ", "Program Key", "ContactsProgramKeySpeedButton", MenuField::ContactsProgramKey},
    {" Call Log ", "Missed", "CallLogMissedSpeedButton", MenuField::CallLogMissed},
    {" Call Log ", "Answered", "CallLogAnsweredSpeedButton", MenuField::CallLogAnswered},
    {" Call Log ", "Outgoing Radio", "CallLogOutgoingRadioSpeedButton", MenuField::CallLogOutgoingRadio},
    {" Utilities ", "Talk Around", "UtilitiesTalkAroundSpeedButton", MenuField::UtilitiesTalkAround},
    {" Utilities ", "Tone or Alert", "UtilitiesToneOrAlertSpeedButton", MenuField::UtilitiesToneOrAlert},
    {" Utilities ", "Power", "UtilitiesPowerSpeedButton", MenuField::UtilitiesPower},
    {" Utilities ", "Back Light", "UtilitiesBackLightSpeedButton", MenuField::UtilitiesBackLight},
    {" Utilities ", "Intro Screen", "UtilitiesIntroScreenSpeedButton", MenuField::UtilitiesIntroScreen},
    {" Utilities ", "Keypad Lock", "UtilitiesKeyPadLockSpeedButton", MenuField::UtilitiesKeyPadLock},
    {" Utilities ", "LED Indicator", "UtilitiesLEDIndicatorSpeedButton", MenuField::UtilitiesLedIndicator},
    {" Utilities ", "Squelch", "UtilitiesSquelchSpeedButton", MenuField::UtilitiesSquelch},
    {" Utilities ", "Password and Lock", "UtilitiesPasswordAndLockSpeedButton", MenuField::UtilitiesPasswordAndLock},
    {" Utilities ", "VOX", "UtilitiesVOXSpeedButton", MenuField::UtilitiesVox},
    {" Utilities ", "Display Mode", "UtilitiesDisplayModeSpeedButton", MenuField::UtilitiesDisplayMode},
    {" Utilities ", "Program Radio", "UtilitiesProgramRadioSpeedButton", MenuField::UtilitiesProgramRadio},
    {" Utilities ", "GPS", "UtilitiesGPSSpeedButton", MenuField::UtilitiesGps},
    {" Scan ", "Scan", "ScanScanSpeedButton", MenuField::ScanScan},
    {" Scan ", "Edit List", "ScanEditListSpeedButton", MenuField::ScanEditList},
};
// clang-format on

}  // namespace

TMenusForm::TMenusForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName(QStringLiteral("MenusForm"));
  addSettingsBlock(pw::PlugSection::Menus);
  auto* page = new QVBoxLayout(this);
  page->addWidget(settings_ui::heading(this, "Enable/Disable various menu options on the radio "));

  auto* top = new QGridLayout;
  MenuHangTimeComboBox = settings_ui::choiceBox(
      this, "MenuHangTimeComboBox", "How long the radio remains in menu mode", pw::menuHangTimeChoices());
  MenuHangTimeComboBox->setMinimumContentsLength(8);
  settings_ui::addCaptioned(top, 0, "Menu Hang Time ", MenuHangTimeComboBox);
  top->setColumnStretch(3, 1);
  page->addLayout(top);
  connect(MenuHangTimeComboBox, &QComboBox::currentIndexChanged, this, &TMenusForm::hangTimeChosen);

  auto* frames = new QHBoxLayout;
  QGroupBox* group = nullptr;
  QGridLayout* grid = nullptr;
  for (const ToggleDef& def : kToggles) {
    QWidget* parent = this;
    if (def.frame && (!group || group->title() != QLatin1String(def.frame))) {
      group = settings_ui::frame(this, def.frame, grid);
      frames->addWidget(group, 0, Qt::AlignTop);
    }
    if (def.frame) parent = group;
    QToolButton* button = settings_ui::speedButton(parent, def.caption, def.name);
    button->setMinimumWidth(130);
    if (def.frame)
      grid->addWidget(button, grid->count(), 0);
    else
      top->addWidget(button, 0, 2);
    const std::size_t index = toggles_.size();
    connect(button, &QToolButton::clicked, this, [this, index](bool down) { toggled(index, down); });
    toggles_.push_back(button);
  }
  frames->addStretch(1);
  page->addLayout(frames);
  page->addStretch(1);
}

void TMenusForm::refresh(bool, int) {
  const QScopedValueRollback<bool> filling(filling_, true);
  selectCode(MenuHangTimeComboBox,
             doc.hasImage() ? std::optional(pw::menuField(doc, MenuField::HangTime)) : std::nullopt);
  for (std::size_t i = 0; i < toggles_.size(); ++i)
    toggles_[i]->setChecked(pw::menuEntryOffered(doc, kToggles[i].entry));
}

void TMenusForm::hangTimeChosen(int index) {
  if (filling_ || index < 0) return;
  if (!pw::setMenuField(doc, MenuField::HangTime, MenuHangTimeComboBox->itemData(index).toUInt()))
    refresh(false, 0);  // without a code plug nothing is chosen
}

void TMenusForm::toggled(std::size_t toggle, bool down) {
  if (!filling_ && !pw::setMenuEntryOffered(doc, kToggles[toggle].entry, down)) refresh(false, 0);
}
