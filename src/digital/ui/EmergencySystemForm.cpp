#include "digital/ui/EmergencySystemForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "codeplug/RecordList.h"
#include "widgets/FixedTable.h"
#include "widgets/ListEditor.h"

namespace {

using pw::EmergencyField;
using pw::RemoteSetting;

enum Column { NumberColumn, NameColumn, FirstFieldColumn };
constexpr int kNameLength = 16;

// The columns after "No." and "Name", each showing and editing one record field.
struct FieldColumn {
  const char* caption;
  int width;
  EmergencyField field;
};
// clang-format off
constexpr FieldColumn kFieldColumns[] = {
    {.caption = "Alarm Type", .width = 130, .field = EmergencyField::AlarmType},
    {.caption = "Alarm Mode", .width = 200, .field = EmergencyField::AlarmMode},
    {.caption = "Revert Channel", .width = 130, .field = EmergencyField::RevertChannel},
    {.caption = "Impolite Replies", .width = 110, .field = EmergencyField::ImpoliteRetries},
    {.caption = "Polite Retries", .width = 110, .field = EmergencyField::PoliteRetries},
    {.caption = "Hot Mic Duration", .width = 130, .field = EmergencyField::HotMicDuration},
};

struct SettingControl {
  const char* caption;
  const char* name;
  RemoteSetting field;
  int placeholder;  // drop-down: the entry shown without a code plug; toggle: 1 = down
};
constexpr SettingControl kSettingBoxes[] = {
    {.caption = "Remote Monitor Duration ", .name = "RemoteMonitorDurationComboBox",
     .field = RemoteSetting::RemoteMonitorDuration, .placeholder = 0},
    {.caption = "Remote Sync Wakeup Tx Timeout ", .name = "RemoteSyncWakeupComboBox",
     .field = RemoteSetting::RemoteSyncWakeup, .placeholder = 1},
    {.caption = "Tx Wakeup Message Limit ", .name = "TxWakeupMessageLimitComboBox",
     .field = RemoteSetting::TxWakeupMessageLimit, .placeholder = 2},
};
constexpr SettingControl kSettingToggles[] = {
    {.caption = "Radio Disable Decode", .name = "RadioDisableDecodeSpeedButton",
     .field = RemoteSetting::RadioDisableDecode, .placeholder = 0},
    {.caption = "Remote Monitor Decode", .name = "RemoteMonitorDecodeSpeedButton",
     .field = RemoteSetting::RemoteMonitorDecode, .placeholder = 0},
    {.caption = "Emergency Remote Monitor Decode", .name = "EmergencyRemoteMonitorDecodeSpeedButton",
     .field = RemoteSetting::EmergencyRemoteMonitorDecode, .placeholder = 1},
};
// clang-format on

}  // namespace

TEmergencySystemForm::TEmergencySystemForm(pw::CodePlugDocument& document, QWidget* parent)
    : TabForm(document, parent) {
  setObjectName(QStringLiteral("EmergencySystemForm"));
  setWindowTitle(QStringLiteral("  Digital Emergency System  "));

  ListConfig config;
  config.title = QStringLiteral("Emergency Systems");
  config.capacity = pw::kEmergencySystemCount;
  config.countLabelName = QStringLiteral("TitleLabel");
  config.columns = {
      ListColumn::centred("No.", 40),
      {.caption = "Name",
       .width = 130,
       .editor = ListColumn::Editor::Edit,
       .maxLength = kNameLength,
       .accepts = ListColumn::printable},
  };
  for (const FieldColumn& c : kFieldColumns)
    config.columns.push_back({
        .caption = QString::fromLatin1(c.caption),
        .width = c.width,
        .alignment = Qt::AlignCenter,
        .captionAlignment = Qt::AlignCenter,
        .editor = ListColumn::Editor::DropDown,
        .choices = [this, f = c.field](int) { return listChoices(pw::emergencyFieldChoices(doc, f)); },
        .storedValue = [this, f = c.field](int row) -> std::optional<qint64> {
          return qint64(pw::emergencyFieldCurrent(doc, row, f));
        },
    });
  config.selectAddedRow = true;
  config.cellsKeepEnteredText = true;  // "Infinite" shows as chosen until the next rebuild

  config.rowCount = [this] { return pw::usedCount(doc, pw::ListId::EmergencySystems); };
  config.cellText = [this](int row, int column) {
    if (column == NumberColumn) return QString::number(row + 1);
    if (column == NameColumn) return QString::fromLatin1(pw::emergencySystemName(doc, row));
    return QString::fromLatin1(
        pw::emergencyFieldText(doc, row, kFieldColumns[column - FirstFieldColumn].field));
  };
  config.applyEdit = [this](int row, int column, const CellEdit& edit) {
    if (column == NameColumn)
      pw::renameEmergencySystem(doc, row, edit.text.toLatin1().toStdString());
    else if (column >= FirstFieldColumn && edit.value)
      pw::setEmergencySystemField(doc, row, kFieldColumns[column - FirstFieldColumn].field,
                                  std::uint32_t(*edit.value));
  };
  config.add = [this] { return pw::addEmergencySystem(doc).value_or(-1); };
  config.deleteOne = [this](int number) { return pw::deleteEmergencySystem(doc, number); };
  config.moveOne = [this](int row, int delta) { pw::moveEmergencySystem(doc, row, delta); };
  config.moveRows = [this](const std::vector<int>& rows, int delta) {
    return pw::moveSelectedEmergencySystems(doc, rows, delta);
  };

  list_ = new ListEditor(doc, std::move(config), this);
  addSettingsBlock(pw::PlugSection::EmergencySettings);
  addRecordGrid({pw::PlugSection::EmergencySystems, list_});

  auto* heading = new QLabel(QStringLiteral("Emergency configurations "), this);
  heading->setObjectName(QStringLiteral("HeadingLabel"));
  heading->setStyleSheet(QStringLiteral("font-weight: bold; color: maroon;"));

  auto* top = new QHBoxLayout;
  top->addWidget(heading);
  top->addSpacing(20);
  top->addWidget(list_->countLabel());
  top->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->addLayout(top);
  layout->addWidget(list_->view(), 1);
  layout->addLayout(list_->makeButtonRow());
  layout->addLayout(makeRemoteSettings());

  showRemoteSettings();
}

QGridLayout* TEmergencySystemForm::makeRemoteSettings() {
  auto* grid = new QGridLayout;
  int row = 0;
  for (const SettingControl& c : kSettingBoxes) {
    auto* box = new QComboBox(this);
    box->setObjectName(QString::fromLatin1(c.name));
    fillComboBox(box, pw::remoteSettingChoices(c.field));
    auto* label = new QLabel(QString::fromLatin1(c.caption), this);
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    // Only a pick by the user writes, and only a different entry.
    connect(box, &QComboBox::activated, this, [this, field = c.field](int index) {
      const auto& choices = pw::remoteSettingChoices(field);
      if (doc.hasImage() && index >= 0 && index < int(choices.size()) &&
          choices[index].code != pw::remoteSetting(doc, field))
        pw::setRemoteSetting(doc, field, choices[index].code);
      showRemoteSettings();
    });
    boxes_.push_back({c.field, box, c.placeholder});
    ++row;
  }
  row = 0;
  for (const SettingControl& c : kSettingToggles) {
    auto* button = new QToolButton(this);
    button->setText(QString::fromLatin1(c.caption));
    button->setObjectName(QString::fromLatin1(c.name));
    button->setCheckable(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    grid->addWidget(button, row++, 3);
    connect(button, &QAbstractButton::clicked, this, [this, field = c.field](bool down) {
      if (doc.hasImage()) pw::setRemoteSetting(doc, field, down ? 1 : 0);
      showRemoteSettings();  // without a code plug the placeholder comes back
    });
    toggles_.push_back({c.field, button, c.placeholder != 0});
  }
  grid->setColumnMinimumWidth(2, 30);
  grid->setColumnStretch(4, 1);
  return grid;
}

void TEmergencySystemForm::showRemoteSettings() {
  const bool image = doc.hasImage();
  for (const SettingBox& s : boxes_) {
    if (image)
      selectCode(s.box, pw::remoteSetting(doc, s.field));
    else
      s.box->setCurrentIndex(s.placeholder);
  }
  for (const SettingToggle& t : toggles_)
    t.button->setChecked(image ? pw::remoteSetting(doc, t.field) != 0 : t.placeholder);
}

void TEmergencySystemForm::refresh(bool rebuild, int topRow) {
  if (rebuild) {
    list_->rebuild(topRow > 0 ? topRow : -1);
    if (topRow <= 0 && list_->model()->rowCount() > 0) list_->selectRows({0}, 0);
  }
  list_->refresh();
  showRemoteSettings();
  if (rebuild && !list_->selectedRows().empty() && list_->view()->isVisible()) list_->view()->setFocus();
}
