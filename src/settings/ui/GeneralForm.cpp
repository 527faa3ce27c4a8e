#include "settings/ui/GeneralForm.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "settings/GeneralSettings.h"
#include "settings/ui/SettingsControls.h"
#include "widgets/FixedTable.h"
#include "widgets/InputFilter.h"

using pw::GeneralField;

namespace general_form {

// Where a control sits: the left column, or a frame.
enum class Frame { Left, BatterySaver, Passwords, BootUp, MonitorType, Scan, LoneWorker, TalkAround };

// The edit boxes; each has its own way of reading and storing its text.
enum class BoxKind { None, RadioName, RadioId, BootLine1, BootLine2, PowerOn, PcProgramming, RadioProgram };

// One control: an edit box when `box` is set, else a drop-down list when the field has
// choices, else a toggle. Consecutive toggles of a frame share one row.
struct ControlDef {
  Frame frame;
  const char* caption;  // the label before the control; a toggle's own text
  const char* name;
  const char* hint = nullptr;
  BoxKind box = BoxKind::None;
  GeneralField field = GeneralField::LedSetting;
  std::uint32_t downValue = 1;       // toggles: the value stored while down
  bool exclusive = false;            // toggles: one of a pair, pressing it leaves it down
  const char* rowCaption = nullptr;  // toggles: a label before the row
};

// clang-format off
const ControlDef kControls[] = {
    {.frame = Frame::Left, .caption = "Radio Name ", .name = "RadioNameEdit", .hint = "Name your radio",
     .box = BoxKind::RadioName},
    {.frame = Frame::Left, .caption = "Radio ID ", .name = "RadioIDEdit", .hint = "Your DMR ID number",
     .box = BoxKind::RadioId},
    {.frame = Frame::Left, .caption = "Monitor Type ", .name = "MonitorTypeComboBox", .hint = "erm",
     .field = GeneralField::MonitorType},
    {.frame = Frame::Left, .caption = "VOX Sensitivity ", .name = "VOXSensitivityComboBox",
     .hint = "Voice Operated Transmission sensitivity", .field = GeneralField::VoxSensitivity},
    {.frame = Frame::Left, .caption = "Tx Preamble Duration ", .name = "TxPreambleDurationComboBox",
     .hint = "Not sure", .field = GeneralField::TxPreambleDuration},
    {.frame = Frame::Left, .caption = "Rx Low Battery Interval ", .name = "RxLowBatteryIntervalComboBox",
     .hint = "Not sure", .field = GeneralField::RxLowBatteryInterval},
    {.frame = Frame::Left, .caption = "Backlight Time ", .name = "BacklightTimeComboBox",
     .hint = "How long the backlight stays on for", .field = GeneralField::BacklightTime},
    {.frame = Frame::Left, .caption = "Keypad Auto Lock Time ", .name = "KeyPadLockTimeComboBox",
     .hint = "How long before the keypad locks itself", .field = GeneralField::KeypadLockTime},
    // The radio's meaning of the LED bit is not known: down stores 1 and 1 shows down.
    {.frame = Frame::Left, .caption = "Disable All LEDs", .name = "DisableAllLEDsSpeedButton",
     .field = GeneralField::LedSetting},
    {.frame = Frame::BatterySaver, .caption = "Save Preamble", .name = "BatterySaverSavePreambleSpeedButton",
     .field = GeneralField::SavePreamble},
    {.frame = Frame::BatterySaver, .caption = "When in Receive Mode", .name = "BatterySaverSaveModeRxSpeedButton",
     .hint = "Enable the battery saver when in receive mode", .field = GeneralField::SaveModeRx},
    {.frame = Frame::Passwords, .caption = "Power On Password ", .name = "PowerOnPasswordEdit",
     .hint = "Another password to lock yourself out with .. If used it must be 8 characters in length ",
     .box = BoxKind::PowerOn},
    {.frame = Frame::Passwords, .caption = "PC Programming Password ", .name = "PCProgrammingPasswordEdit",
     .hint = "Set this and lock yourself out !! .. If used it must be 8 characters in length ",
     .box = BoxKind::PcProgramming},
    {.frame = Frame::Passwords, .caption = "Radio Program Password ", .name = "RadioProgramPasswordEdit",
     .hint = "Ditto .. If used it must be 8 characters in length ", .box = BoxKind::RadioProgram},

    {.frame = Frame::BootUp, .caption = "Text", .name = "IntroScreenTypeTextSpeedButton",
     .field = GeneralField::IntroScreenPicture, .downValue = 0, .exclusive = true, .rowCaption = "Type "},
    {.frame = Frame::BootUp, .caption = "Picture", .name = "IntroScreenTypePictureSpeedButton",
     .field = GeneralField::IntroScreenPicture, .downValue = 1, .exclusive = true},
    {.frame = Frame::BootUp, .caption = "Text Line 1 ", .name = "IntroScreenTextLine1Edit",
     .hint = "1st text line at boot up", .box = BoxKind::BootLine1},
    {.frame = Frame::BootUp, .caption = "Text Line 2 ", .name = "IntroScreenTextLine2Edit",
     .hint = "2nd text line at boot up", .box = BoxKind::BootLine2},
    {.frame = Frame::MonitorType, .caption = "Disable All Tones", .name = "MonitorTypeDisableAllTonesSpeedButton",
     .field = GeneralField::AllTones, .downValue = 0},
    {.frame = Frame::MonitorType, .caption = "Channel Free Indication Tone",
     .name = "MonitorTypeChannelFreeIndicationToneSpeedButton", .field = GeneralField::ChannelFreeTone,
     .downValue = 0},
    {.frame = Frame::MonitorType, .caption = "Talk Permit Tone  ", .name = "TalkPermitToneComboBox",
     .hint = "Beeps when you can start transmitting", .field = GeneralField::TalkPermitTone},
    {.frame = Frame::MonitorType, .caption = "Call Alert Tone Duration  ", .name = "CallAlertToneDurationComboBox",
     .hint = "Beeps if you receive a call alert", .field = GeneralField::CallAlertToneDuration},
    {.frame = Frame::Scan, .caption = "Digital Hang Time  ", .name = "ScanDigitalHangTimeComboBox",
     .hint = "The hang/pause time when scanning a digital channel", .field = GeneralField::ScanDigitalHangTime},
    {.frame = Frame::Scan, .caption = "Analogue Hang Time  ", .name = "ScanAnalogueHangTimeComboBox",
     .hint = "The hang/pause time when scanning an analogue channel", .field = GeneralField::ScanAnalogueHangTime},
    {.frame = Frame::LoneWorker, .caption = "Response Time  ", .name = "LoneWorkerResponseTimeComboBox",
     .field = GeneralField::LoneWorkerResponseTime},
    {.frame = Frame::LoneWorker, .caption = "Reminder Time  ", .name = "LoneWorkerReminderTimeComboBox",
     .field = GeneralField::LoneWorkerReminderTime},
    {.frame = Frame::TalkAround, .caption = "Group Call Hang Time ", .name = "GroupCallHangTimeComboBox",
     .field = GeneralField::GroupCallHangTime},
    {.frame = Frame::TalkAround, .caption = "Private Call Hang Time ", .name = "PrivateCallHangTimeComboBox",
     .field = GeneralField::PrivateCallHangTime},
};

struct FrameDef {
  Frame frame;
  const char* title;  // none: the column itself
  bool right;
};
const FrameDef kFrames[] = {
    {Frame::Left, nullptr, false},           {Frame::BatterySaver, " Battery Saver ", false},
    {Frame::Passwords, " Passwords ", false}, {Frame::BootUp, " Boot Up Message ", true},
    {Frame::MonitorType, " Monitor Type ", true}, {Frame::Scan, " Scan ", true},
    {Frame::LoneWorker, " Lone Worker ", true},  {Frame::TalkAround, " Talk Around ", true},
};

// clang-format on

// Each box: how many characters it takes, which ones, and what it shows without a code plug.
struct BoxRule {
  int maxLength;
  pw::ui::CharRule chars;
  const char* placeholder;
};
BoxRule ruleOf(BoxKind kind) {
  using pw::ui::CharRule;
  switch (kind) {
    case BoxKind::RadioName:
      return {16, CharRule::Printable, "Name your radio"};
    case BoxKind::BootLine1:
    case BoxKind::BootLine2:
      return {10, CharRule::Printable, "--------------------"};
    case BoxKind::RadioId:
      return {8, CharRule::Digits, "12345678"};
    case BoxKind::RadioProgram:
      return {8, CharRule::Digits, "12345678"};
    default:
      return {8, CharRule::Digits, ""};
  }
}

pw::GeneralBytes textField(BoxKind kind) {
  return kind == BoxKind::RadioName   ? pw::GeneralBytes::RadioName
         : kind == BoxKind::BootLine1 ? pw::GeneralBytes::BootLine1
                                      : pw::GeneralBytes::BootLine2;
}

std::string storedText(const pw::CodePlugDocument& doc, BoxKind kind) {
  switch (kind) {
    case BoxKind::RadioId:
      return std::to_string(pw::generalField(doc, GeneralField::RadioId));
    case BoxKind::PowerOn:
      return pw::powerOnPasswordText(doc);
    case BoxKind::PcProgramming:
      return pw::pcProgrammingPasswordText(doc);
    case BoxKind::RadioProgram:
      return pw::radioProgramPasswordText(doc);
    default:
      return pw::generalText(doc, textField(kind));
  }
}

void store(pw::CodePlugDocument& doc, BoxKind kind, const std::string& text) {
  switch (kind) {
    case BoxKind::RadioId:
      pw::setRadioId(doc, text);
      break;
    case BoxKind::PowerOn:
      pw::setPowerOnPassword(doc, text);
      break;
    case BoxKind::PcProgramming:
      pw::setPcProgrammingPassword(doc, text);
      break;
    case BoxKind::RadioProgram:
      pw::setRadioProgramPassword(doc, text);
      break;
    default:
      pw::setGeneralText(doc, textField(kind), text);
  }
}

bool checked(BoxKind kind) { return kind == BoxKind::PowerOn || kind == BoxKind::RadioProgram; }

// Focus that goes to a message box, a menu or another window is no leaving of the box.
bool leavesForAnotherControl(Qt::FocusReason reason) {
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
         reason != Qt::MenuBarFocusReason;
}

}  // namespace general_form

using namespace general_form;

struct TGeneralForm::Choice {
  GeneralField field;
  QComboBox* box;
};

struct TGeneralForm::Toggle {
  const ControlDef* def;
  QToolButton* button;
};

struct TGeneralForm::Box {
  BoxKind kind;
  QLineEdit* edit;
};

TGeneralForm::TGeneralForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName(QStringLiteral("GeneralForm"));
  addSettingsBlock(pw::PlugSection::GeneralSettings);
  const QScopedValueRollback<bool> filling(filling_, true);
  build();
}

TGeneralForm::~TGeneralForm() = default;

void TGeneralForm::build() {
  auto* page = new QVBoxLayout(this);
  page->addWidget(settings_ui::heading(this, "General radio settings "));
  auto* columns = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  columns->addLayout(left);
  columns->addSpacing(12);
  columns->addLayout(right);
  columns->addStretch(1);
  page->addLayout(columns, 1);

  for (const FrameDef& f : kFrames) {
    QGridLayout* grid = nullptr;
    QWidget* host = this;
    if (f.title) {
      QGroupBox* group = settings_ui::frame(this, f.title, grid);
      host = group;
      (f.right ? right : left)->addWidget(group);
    } else {
      grid = new QGridLayout;
      (f.right ? right : left)->addLayout(grid);
    }
    int row = 0;
    QHBoxLayout* toggleRow = nullptr;
    for (const ControlDef& def : kControls) {
      if (def.frame != f.frame) continue;
      const bool toggle = def.box == BoxKind::None && pw::generalChoices(def.field).empty();
      if (toggle && toggleRow) {
        addControl(def, host, nullptr, 0);
        toggleRow->addWidget(toggles_.back()->button);
        continue;
      }
      toggleRow = nullptr;
      if (toggle) {
        toggleRow = new QHBoxLayout;
        addControl(def, host, nullptr, 0);
        toggleRow->addWidget(toggles_.back()->button);
        if (def.rowCaption) {
          grid->addWidget(new QLabel(QString::fromLatin1(def.rowCaption), host), row, 0);
          grid->addLayout(toggleRow, row++, 1);
        } else {
          grid->addLayout(toggleRow, row++, 0, 1, 2);
        }
        continue;
      }
      addControl(def, host, grid, row++);
    }
    grid->setColumnStretch(1, 1);
  }
  left->addStretch(1);
  right->addStretch(1);
}

void TGeneralForm::addControl(const general_form::ControlDef& def, QWidget* parent, QGridLayout* grid,
                              int row) {
  if (def.box != BoxKind::None) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(def.name));
    edit->setToolTip(QString::fromLatin1(def.hint));
    pw::ui::installCharFilter(edit, ruleOf(def.box).chars);
    settings_ui::addCaptioned(grid, row, def.caption, edit);
    auto box = std::make_unique<Box>(Box{def.box, edit});
    Box* b = box.get();
    connect(edit, &QLineEdit::textEdited, this, [this, b](const QString& text) { boxEdited(*b, text); });
    if (checked(def.box)) edit->installEventFilter(this);
    boxes_.push_back(std::move(box));
    return;
  }
  const pw::Choices& choices = pw::generalChoices(def.field);
  if (!choices.empty()) {
    QComboBox* box = settings_ui::choiceBox(parent, def.name, def.hint, choices);
    box->setMinimumContentsLength(10);
    settings_ui::addCaptioned(grid, row, def.caption, box);
    const GeneralField field = def.field;
    connect(box, &QComboBox::currentIndexChanged, this, [this, box, field](int index) {
      if (filling_ || index < 0) return;
      if (!doc.hasImage()) {
        const QScopedValueRollback<bool> filling(filling_, true);
        box->setCurrentIndex(-1);  // nothing to store it in
        return;
      }
      pw::setGeneralField(doc, field, box->itemData(index).toUInt());
    });
    choices_.push_back(std::make_unique<Choice>(Choice{def.field, box}));
    return;
  }
  QToolButton* button = settings_ui::speedButton(parent, def.caption, def.name, def.hint);
  connect(button, &QToolButton::clicked, this, [this, s = &def](bool down) {
    if (!ignoring())
      pw::setGeneralField(doc, s->field, s->exclusive || down ? s->downValue : 1 - s->downValue);
    showToggles();  // a pair shows its other button up; without a code plug all stay up
  });
  toggles_.push_back(std::make_unique<Toggle>(Toggle{&def, button}));
}

bool TGeneralForm::ignoring() const { return filling_ || !doc.hasImage(); }

void TGeneralForm::refresh(bool, int) {
  const QScopedValueRollback<bool> filling(filling_, true);
  const bool loaded = doc.hasImage();
  for (const auto& c : choices_) {
    selectCode(c->box, loaded ? std::optional(pw::generalField(doc, c->field)) : std::nullopt);
  }
  showToggles();
  for (const auto& b : boxes_) {
    const BoxRule rule = ruleOf(b->kind);
    const QString text =
        loaded ? settings_ui::latin1(storedText(doc, b->kind)) : QString::fromLatin1(rule.placeholder);
    // A placeholder may be longer than what the box takes.
    b->edit->setMaxLength(loaded ? rule.maxLength : std::max(rule.maxLength, int(text.size())));
    pw::ui::setStoredText(b->edit, text);
    b->edit->setCursorPosition(0);
  }
}

void TGeneralForm::showToggles() {
  const QScopedValueRollback<bool> filling(filling_, true);
  for (const auto& t : toggles_)
    t->button->setChecked(doc.hasImage() && pw::generalField(doc, t->def->field) == t->def->downValue);
}

void TGeneralForm::boxEdited(Box& box, const QString& text) {
  if (ignoring()) return;
  store(doc, box.kind, text.toLatin1().toStdString());
}

bool TGeneralForm::checkPassword(Box& box, bool leaving) {
  // A box left as it was filled stores nothing: its bytes may hold more than it shows.
  if (!pw::ui::changedSinceFilled(box.edit)) return true;
  const QScopedValueRollback<bool> checking(checking_, true);
  const std::string text = box.edit->text().toLatin1().toStdString();
  const bool ok =
      box.kind == BoxKind::PowerOn
          ? pw::checkPowerOnPassword(doc, text, leaving ? pw::PasswordExit::Leave : pw::PasswordExit::Key)
          : pw::checkRadioProgramPassword(doc, text);
  // Taken back while the check still runs, so the focus this takes from another box is
  // no leaving of that box.
  if (!ok && box.edit->isVisible()) box.edit->setFocus(Qt::OtherFocusReason);
  return ok;
}

// Runs after the focus has settled: a tab switch has hidden the box by then, and a
// closed window (or a destroyed form) asks nothing.
void TGeneralForm::leaveChecked(Box& box) {
  if (checking_ || !window()->isVisible() || box.edit->hasFocus()) return;
  checkPassword(box, true);
}

bool TGeneralForm::eventFilter(QObject* watched, QEvent* event) {
  const auto found =
      std::find_if(boxes_.begin(), boxes_.end(), [watched](const auto& b) { return b->edit == watched; });
  if (found == boxes_.end()) return TabForm::eventFilter(watched, event);
  Box& box = **found;
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
      if (!filling_ && !checking_) checkPassword(box, false);
      return true;  // swallowed
    }
  } else if (event->type() == QEvent::FocusOut) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (!filling_ && !checking_ && leavesForAnotherControl(reason))
      QMetaObject::invokeMethod(
          this, [this, &box] { leaveChecked(box); }, Qt::QueuedConnection);
  }
  return TabForm::eventFilter(watched, event);
}
