#include "settings/ui/BasicForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "settings/BasicInfo.h"
#include "settings/ui/SettingsControls.h"

namespace {

struct Field {
  const char* caption;
  const char* name;
  std::string pw::BasicInfo::*text;
};

constexpr Field kFields[] = {
    {"Model Name ", "ModelNameEdit", &pw::BasicInfo::modelName},
    {"Serial Number ", "SerialNumberEdit", &pw::BasicInfo::serialNumber},
    {"CPS Software Version ", "CPSSoftwareVersionEdit", &pw::BasicInfo::cpsSoftwareVersion},
    {"Hardware Version ", "HardwareVersionEdit", &pw::BasicInfo::hardwareVersion},
    {"MCU Version ", "MCUVersionEdit", &pw::BasicInfo::mcuVersion},
    {"Unique Device ID ", "UniqueDeviceIDEdit", &pw::BasicInfo::uniqueDeviceId},
    {"Last Programmed Date ", "LastProgrammedDateEdit", &pw::BasicInfo::lastProgrammedDate},
};

}  // namespace

TBasicForm::TBasicForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName(QStringLiteral("BasicForm"));
  addSettingsBlock(pw::PlugSection::Radio);
  auto* page = new QVBoxLayout(this);
  page->addWidget(settings_ui::heading(this, "Basic radio information "));

  auto* grid = new QGridLayout;
  pw::Choices ranges;
  for (std::size_t code = 0; code < pw::kFrequencyRangeTexts.size(); ++code)
    ranges.push_back({pw::kFrequencyRangeTexts[code], std::uint32_t(code)});
  FrequencyRangeComboBox =
      settings_ui::choiceBox(this, "FrequencyRangeComboBox", "Your radios frequency range", ranges);
  FrequencyRangeComboBox->setEnabled(false);
  settings_ui::addCaptioned(grid, 0, "Frequency Range ", FrequencyRangeComboBox);
  int row = 1;
  for (const Field& f : kFields) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(f.name));
    edit->setReadOnly(true);
    edit->setMinimumWidth(260);
    settings_ui::addCaptioned(grid, row++, f.caption, edit);
    fields_.push_back(edit);
  }
  grid->setColumnStretch(2, 1);
  page->addLayout(grid);
  page->addStretch(1);
}

void TBasicForm::refresh(bool, int) {
  const pw::BasicInfo info = pw::readBasicInfo(doc);
  FrequencyRangeComboBox->setCurrentIndex(info.frequencyRange);
  for (std::size_t i = 0; i < fields_.size(); ++i)
    fields_[i]->setText(settings_ui::latin1(info.*kFields[i].text));
}
