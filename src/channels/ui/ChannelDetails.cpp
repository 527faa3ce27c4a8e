#include "channels/ui/ChannelDetails.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScopedValueRollback>
#include <QToolButton>
#include <algorithm>

#include "codeplug/Encodings.h"
#include "widgets/InputFilter.h"

using pw::ChannelField;

// ===================================================================== frequency box

FrequencyEdit::FrequencyEdit(QWidget* parent) : QLineEdit(parent) {
  setMaxLength(9);
  setContextMenuPolicy(Qt::NoContextMenu);
  pw::ui::installCharFilter(this, pw::ui::CharRule::Frequency);
}

void FrequencyEdit::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->accept();
      if (enterPressed) enterPressed();
      return;
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QLineEdit::keyPressEvent(event);  // characters pass the filter
  }
}

// ===================================================================== controls

struct ChannelDetails::Radio {
  struct Button {
    QAbstractButton* button;
    std::uint32_t value;
  };
  ChannelField field;
  std::vector<Button> buttons;
};

struct ChannelDetails::Toggle {
  ChannelField field;
  QAbstractButton* button;
};

struct ChannelDetails::Choice {
  enum class Kind { Fixed, Reference, Privacy };
  ChannelField field;
  Kind kind;
  QComboBox* box;
  pw::ChannelChoices shown;  // what the box lists, with the value each entry stores
};

struct ChannelDetails::Frequency {
  ChannelField field;
  FrequencyEdit* edit;
};

namespace {

QToolButton* speedButton(QWidget* parent, const char* text, const char* name) {
  auto* button = new QToolButton(parent);
  button->setText(QString::fromLatin1(text));
  button->setObjectName(QString::fromLatin1(name));
  button->setCheckable(true);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return button;
}

void fill(QComboBox* box, const pw::ChannelChoices& choices) {
  QStringList texts;
  texts.reserve(qsizetype(choices.size()));
  for (const pw::ChannelChoice& c : choices) texts << QString::fromLatin1(c.text);
  box->clear();
  box->addItems(texts);
  box->setCurrentIndex(-1);
}

bool sameChoices(const pw::ChannelChoices& a, const pw::ChannelChoices& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const pw::ChannelChoice& x, const pw::ChannelChoice& y) {
                      return x.code == y.code && x.text == y.text;
                    });
}

constexpr const char* kDecodeCaptions[] = {"Decode 1", "Decode 2", "Decode 3", "Decode 4",
                                           "Decode 5", "Decode 6", "Decode 7", "Decode 8"};
constexpr const char* kDecodeNames[] = {"Decode1SpeedButton", "Decode2SpeedButton", "Decode3SpeedButton",
                                        "Decode4SpeedButton", "Decode5SpeedButton", "Decode6SpeedButton",
                                        "Decode7SpeedButton", "Decode8SpeedButton"};

}  // namespace

// ===================================================================== building

ChannelDetails::ChannelDetails(pw::CodePlugDocument& doc, QWidget* host,
                               std::function<std::vector<int>()> selectedRows)
    : QObject(host), doc_(doc), selectedRows_(std::move(selectedRows)) {
  using F = ChannelField;
  const QScopedValueRollback<bool> filling(filling_, true);  // filling a drop-down picks its first entry
  QGridLayout* grid = nullptr;

  common_ = makeGroup(host, "Analogue and Digital ", "Settings common to both Analogue and Digital", grid);
  addRadio(grid, 0, " Mode ", F::Mode,
           {"ModeAutoSpeedButton", "ModeAnalogueSpeedButton", "ModeDigitalSpeedButton"});
  addRadio(grid, 1, " Bandwidth ", F::Bandwidth,
           {"Bandwidth_12_5kHz_SpeedButton", "Bandwidth_20kHz_SpeedButton", "Bandwidth_25kHz_SpeedButton"});
  addRadio(grid, 2, " Squelch ", F::Squelch, {"SquelchTightSpeedButton", "SquelchNormalSpeedButton"});
  addRadio(grid, 3, " Tx Power ", F::TxPower, {"TxPowerLowSpeedButton", "TxPowerHighSpeedButton"});
  addRadio(grid, 4, " Rx Rel Frequency ", F::RxRefFrequency,
           {"RxRelFreqLowSpeedButton", "RxRelFreqMedSpeedButton", "RxRelFreqHighSpeedButton"});
  addRadio(grid, 5, " Tx Rel Frequency ", F::TxRefFrequency,
           {"TxRelFreqLowSpeedButton", "TxRelFreqMedSpeedButton", "TxRelFreqHighSpeedButton"});
  addFrequency(grid, 6, "Rx Freq (MHz) ", "RxFrequencyEdit", F::RxFrequency);
  addFrequency(grid, 7, "Tx Freq (MHz) ", "TxFrequencyEdit", F::TxFrequency);
  addChoice(grid, 8, "Admit Criteria ", "AdmitCriteriaComboBox", F::AdmitCriteria);
  addChoice(
      grid, 9, "Scan List ", "ScanListComboBox", F::ScanList,
      "The scan list (scan lists tab) to scan when you press your assigned scan button (buttons tab)  ");
  addChoice(grid, 10, "Tx Time Out ", "TxTimeoutComboBox", F::TxTimeout);
  addChoice(grid, 11, "Tx Time Out Rekey Delay ", "TxTimeoutRekeyDelayComboBox", F::RekeyDelay);
  addToggles(
      grid, 12,
      {{"Auto Scan", "AutoScanSpeedButton", F::AutoScan, "Starts scanning when this channel is selected"},
       {"Rx Only", "RxOnlySpeedButton", F::RxOnly, "Disables the PTT"},
       {"VOX", "VOXSpeedButton", F::Vox, "Voice Operated Transmission"}});
  addToggles(grid, 13,
             {{"Lone Worker", "LoneWorkerSpeedButton", F::LoneWorker},
              {"Allow TalkAround", "AllowTalkAroundSpeedButton", F::AllowTalkaround}});
  addToggles(grid, 14,
             {{"Rx GPS Info", "RxGPSInfoSpeedButton", F::RxGpsInfo},
              {"Tx GPS Info", "TxGPSInfoSpeedButton", F::TxGpsInfo}});
  grid->setRowStretch(15, 1);

  digital_ = makeGroup(host, "Digital ", "Settings that apply only to the Digital channels", grid);
  addToggles(grid, 0,
             {{"Private Call Confirmed", "PrivateCallConfirmedSpeedButton", F::PrivateCallConfirmed},
              {"Data Call Confirmed", "DataCallConfirmedSpeedButton", F::DataCallConfirmed}});
  addToggles(grid, 1,
             {{"Emergency Alarm Ack", "EmergencyAlarmAckSpeedButton", F::EmergencyAlarmAck},
              {"Compressed UDP Data Header", "CompressedUDPDataHeaderSpeedButton", F::CompressedUdpHeader}});
  addChoice(grid, 2, "Emergency System ", "EmergencySystemComboBox", F::EmergencySystem);
  addChoice(grid, 3, "Contact Name ", "ContactNameComboBox", F::Contact);
  addChoice(grid, 4, "Group List ", "GroupListComboBox", F::RxGroupList);
  addChoice(grid, 5, "Colour Code ", "ColourCodeComboBox", F::ColourCode);
  addRadio(grid, 6, "Repeater Slot ", F::RepeaterSlot,
           {"RepeaterSlot1SpeedButton", "RepeaterSlot2SpeedButton"});
  addChoice(grid, 7, "Voice Encryption ", "VoiceEncryptionComboBox", F::PrivacyType);
  addChoice(grid, 8, "GPS System ", "GPSSystemComboBox", F::GpsSystem);
  grid->setRowStretch(9, 1);

  analogue_ = makeGroup(host, "Analogue ", "Settings that apply only to the Analogue channels", grid);
  addChoice(grid, 0, "Rx CTCSS / CDCSS ", "CTCSS_DCS_DecodeComboBox", F::RxTone);
  addChoice(grid, 1, "Tx CTCSS / CDCSS ", "CTCSS_DCS_EncodeComboBox", F::TxTone);
  addRadio(grid, 2, "CTCSS Tail Revert ", F::TailRevertPhase,
           {"QTReverse180SpeedButton", "QTReverse120SpeedButton"});
  addToggles(grid, 3,
             {{"Reverse Burst / Turn Off Code ", "ReverseBurstTurnOffCodeSpeedButton", F::ReverseBurst}});
  addChoice(grid, 4, "Rx Signalling System ", "RxSignallingSystemComboBox", F::RxSignalling);
  addChoice(grid, 5, "Tx Signalling System ", "TxSignallingSystemComboBox", F::TxSignalling);
  addToggles(grid, 6, {{"Display PTT ID", "DisplayPTTIDSpeedButton", F::DisplayPttId}});
  for (int half = 0; half < 2; ++half) {  // four to a row
    std::vector<ToggleDef> toggles;
    for (int k = 4 * half; k < 4 * half + 4; ++k)
      toggles.push_back({kDecodeCaptions[k], kDecodeNames[k], pw::dtmfDecodeField(k)});
    addToggles(grid, 7 + half, toggles);
  }
  grid->setRowStretch(9, 1);
}

ChannelDetails::~ChannelDetails() = default;

QGroupBox* ChannelDetails::makeGroup(QWidget* host, const char* title, const char* hint, QGridLayout*& grid) {
  auto* group = new QGroupBox(QString::fromLatin1(title), host);
  group->setToolTip(QString::fromLatin1(hint));
  auto* outer = new QGridLayout(group);
  outer->setContentsMargins(6, 4, 6, 4);
  outer->setVerticalSpacing(3);
  grid = outer;
  return group;
}

// Each group's grid: captions in column 0, radio buttons one to a column from 1 on,
// other controls across columns 1..3; a row of toggles spans every column.
void ChannelDetails::addRadio(QGridLayout* grid, int row, const char* caption, ChannelField field,
                              std::vector<const char*> names) {
  QWidget* parent = grid->parentWidget();
  grid->addWidget(new QLabel(QString::fromLatin1(caption), parent), row, 0);
  auto radio = std::make_unique<Radio>();
  radio->field = field;
  const pw::Choices& choices = pw::buttonChoices(field);
  for (std::size_t i = 0; i < choices.size() && i < names.size(); ++i) {
    QToolButton* button = speedButton(parent, choices[i].text.c_str(), names[i]);
    grid->addWidget(button, row, int(i) + 1);
    radio->buttons.push_back({button, choices[i].code});
    connect(button, &QAbstractButton::clicked, this,
            [this, r = radio.get(), button] { radioClicked(*r, button); });
  }
  radios_.push_back(std::move(radio));
}

void ChannelDetails::addToggles(QGridLayout* grid, int row, const std::vector<ToggleDef>& toggles) {
  auto* line = new QHBoxLayout;
  for (const ToggleDef& control : toggles) {
    QToolButton* button = speedButton(grid->parentWidget(), control.caption, control.name);
    if (control.hint) button->setToolTip(QString::fromLatin1(control.hint));
    line->addWidget(button);
    const ChannelField field = control.field;
    connect(button, &QAbstractButton::clicked, this, [this, field](bool down) {
      if (!ignoring()) write(field, pw::toggleValue(field, down));
    });
    toggles_.push_back(std::make_unique<Toggle>(Toggle{field, button}));
  }
  grid->addLayout(line, row, 0, 1, 4);
}

QComboBox* ChannelDetails::addChoice(QGridLayout* grid, int row, const char* caption, const char* name,
                                     ChannelField field, const char* hint) {
  QWidget* parent = grid->parentWidget();
  grid->addWidget(new QLabel(QString::fromLatin1(caption), parent), row, 0);
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setEditable(false);
  box->setMaxVisibleItems(20);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(10);
  if (hint) box->setToolTip(QString::fromLatin1(hint));
  grid->addWidget(box, row, 1, 1, 3);

  auto choice = std::make_unique<Choice>();
  choice->field = field;
  choice->box = box;
  if (field == ChannelField::PrivacyType) {
    choice->kind = Choice::Kind::Privacy;
    choice->shown = pw::voiceEncryptionChoices();
  } else if (pw::referredList(field)) {
    choice->kind = Choice::Kind::Reference;
    choice->shown = pw::referenceChoices(doc_, *pw::referredList(field));
  } else {
    choice->kind = Choice::Kind::Fixed;
    choice->shown = pw::fixedChoices(field);
  }
  fill(box, choice->shown);
  connect(box, &QComboBox::currentIndexChanged, this,
          [this, c = choice.get()](int index) { choiceChosen(*c, index); });
  choices_.push_back(std::move(choice));
  return box;
}

void ChannelDetails::addFrequency(QGridLayout* grid, int row, const char* caption, const char* name,
                                  ChannelField field) {
  QWidget* parent = grid->parentWidget();
  grid->addWidget(new QLabel(QString::fromLatin1(caption), parent), row, 0);
  auto* edit = new FrequencyEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  grid->addWidget(edit, row, 1, 1, 3);
  auto frequency = std::make_unique<Frequency>(Frequency{field, edit});
  Frequency* f = frequency.get();
  connect(edit, &QLineEdit::textEdited, this, [this, f](const QString& text) { frequencyEdited(*f, text); });
  edit->enterPressed = [this, f] { frequencyEnter(*f); };
  frequencies_.push_back(std::move(frequency));
}

QAbstractButton* ChannelDetails::named(const char* name) const {
  return common_->findChild<QAbstractButton*>(QString::fromLatin1(name));
}

// ===================================================================== showing

void ChannelDetails::show(const std::vector<int>& rows) {
  const QScopedValueRollback<bool> filling(filling_, true);
  for (const auto& radio : radios_) {
    const auto shared = pw::sharedValue(doc_, rows, radio->field);
    for (const Radio::Button& b : radio->buttons) b.button->setChecked(shared && *shared == b.value);
  }
  for (const auto& toggle : toggles_) toggle->button->setChecked(pw::toggleDown(doc_, rows, toggle->field));
  for (const auto& choice : choices_) {
    if (choice->kind == Choice::Kind::Reference) fillReferenceChoices(*choice);
    const auto shared = choice->kind == Choice::Kind::Privacy ? pw::sharedPrivacyCode(doc_, rows)
                                                              : pw::sharedValue(doc_, rows, choice->field);
    choice->box->setCurrentIndex(pw::choiceIndex(choice->field, choice->shown, shared));
  }
  for (const auto& f : frequencies_)
    pw::ui::setStoredText(f->edit, QString::fromLatin1(pw::sharedFrequencyText(doc_, rows, f->field)));
  enable(rows);
}

void ChannelDetails::fillReferenceChoices(Choice& choice) {
  pw::ChannelChoices now = pw::referenceChoices(doc_, *pw::referredList(choice.field));
  if (sameChoices(now, choice.shown)) return;  // a thousand contacts are slow to refill
  choice.shown = std::move(now);
  fill(choice.box, choice.shown);
}

void ChannelDetails::enable(const std::vector<int>& rows) {
  const bool sel = doc_.hasImage() && !rows.empty();
  for (const auto& radio : radios_)
    for (const Radio::Button& b : radio->buttons) b.button->setEnabled(sel);
  for (const auto& toggle : toggles_) toggle->button->setEnabled(sel);
  for (const auto& choice : choices_) choice->box->setEnabled(sel);
  for (const auto& f : frequencies_) f->edit->setEnabled(sel);
  // The radio offers neither automatic mode nor 20 kHz; a digital channel is never 25 kHz.
  named("ModeAutoSpeedButton")->setEnabled(false);
  named("Bandwidth_20kHz_SpeedButton")->setEnabled(false);
  if (rows.size() == 1 && sel && pw::channelField(doc_, rows.front(), ChannelField::Mode) == 2)
    named("Bandwidth_25kHz_SpeedButton")->setEnabled(false);
}

// ===================================================================== editing

bool ChannelDetails::ignoring() const { return filling_ || !doc_.hasImage() || (busy && busy()); }

void ChannelDetails::write(ChannelField field, std::uint32_t value) {
  for (int row : selectedRows_()) pw::setChannelField(doc_, row, field, value);
}

void ChannelDetails::radioClicked(Radio& radio, QAbstractButton* clicked) {
  if (ignoring()) return;
  std::uint32_t value = 0;
  for (const Radio::Button& b : radio.buttons) {
    b.button->setChecked(b.button == clicked);  // clicking the button that is down leaves it down
    if (b.button == clicked) value = b.value;
  }
  write(radio.field, value);
  if (radio.field == ChannelField::Mode) modeChosen(value);
}

void ChannelDetails::modeChosen(std::uint32_t mode) {
  QAbstractButton* narrow = named("Bandwidth_12_5kHz_SpeedButton");
  QAbstractButton* wide = named("Bandwidth_25kHz_SpeedButton");
  named("Bandwidth_20kHz_SpeedButton")->setEnabled(false);
  if (mode == 1) {
    narrow->setEnabled(true);
    wide->setEnabled(true);
  } else if (mode == 2) {
    // Digital channels are always 12.5 kHz.
    for (const auto& radio : radios_)
      if (radio->field == ChannelField::Bandwidth)
        for (const Radio::Button& b : radio->buttons) b.button->setChecked(b.button == narrow);
    narrow->setEnabled(true);
    wide->setEnabled(false);
    write(ChannelField::Bandwidth, 0);
  }
}

void ChannelDetails::choiceChosen(Choice& choice, int index) {
  if (ignoring() || index < 0 || index >= int(choice.shown.size())) return;
  const std::uint32_t code = choice.shown[index].code;
  if (choice.kind == Choice::Kind::Privacy) {
    for (int row : selectedRows_()) pw::setChannelPrivacy(doc_, row, code);
  } else {
    write(choice.field, code);
  }
}

void ChannelDetails::frequencyEdited(Frequency& frequency, const QString& text) {
  if (ignoring()) return;
  const std::string typed = text.toLatin1().toStdString();
  for (int row : selectedRows_()) pw::setChannelFrequency(doc_, row, frequency.field, typed);
}

void ChannelDetails::frequencyEnter(Frequency& frequency) {
  if (ignoring()) return;
  const std::vector<int> rows = selectedRows_();
  if (rows.empty()) return;
  const std::uint32_t word = pw::channelField(doc_, rows.front(), frequency.field);
  const QString text = word ? QString::fromLatin1(pw::frequencyText(word)) : QString();
  // A box already showing that frequency writes nothing; one showing another text (the
  // empty box of channels that differ) takes it, and the change is written like a typed one.
  if (text == frequency.edit->text()) return;
  pw::ui::setStoredText(frequency.edit, text);
  frequencyEdited(frequency, text);
}
