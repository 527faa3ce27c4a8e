#include "settings/ui/ButtonsForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "settings/Buttons.h"
#include "widgets/FixedTable.h"
#include "widgets/ListEditor.h"

namespace {

using pw::ButtonSetting;
using pw::OneTouchColumn;

// Data column c > 0 of the one-touch grid shows column c - 1 of the entry.
OneTouchColumn oneTouchColumnOf(int column) { return static_cast<OneTouchColumn>(column - 1); }

ListColumn column(const char* caption, int width, bool choices = true) {
  return {.caption = caption,
          .width = width,
          .alignment = Qt::AlignCenter,
          .captionAlignment = Qt::AlignCenter,
          .editor = choices ? ListColumn::Editor::DropDown : ListColumn::Editor::None};
}

QLabel* heading(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setStyleSheet(QStringLiteral("font-weight: bold;"));
  return label;
}

}  // namespace

TButtonsForm::TButtonsForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName(QStringLiteral("ButtonsForm"));
  setWindowTitle(QStringLiteral("  Buttons  "));
  editors_ = new OverlayEditors(this);

  TitleLabel =
      new QLabel(QStringLiteral("Settings for the side buttons and keypad buttons on the radio "), this);
  TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
  TitleLabel->setStyleSheet(QStringLiteral("font-weight: bold; color: maroon;"));

  // Long press duration, then the four side-button functions in a block.
  auto* duration = new QHBoxLayout;
  duration->addWidget(new QLabel(QStringLiteral("Long Press Duration "), this));
  duration->addWidget(makeSettingBox(int(ButtonSetting::LongPressDuration), "LongPressDurationComboBox",
                                     "The required time for your side button long presses"));
  duration->addStretch(1);

  auto* sides = new QGridLayout;
  sides->addWidget(new QLabel(QStringLiteral(" Short Press "), this), 0, 1, Qt::AlignCenter);
  sides->addWidget(new QLabel(QStringLiteral(" Long Press "), this), 0, 2, Qt::AlignCenter);
  sides->addWidget(new QLabel(QStringLiteral(" Upper Side Button "), this), 1, 0);
  sides->addWidget(new QLabel(QStringLiteral(" Lower Side Button "), this), 2, 0);
  sides->addWidget(makeSettingBox(int(ButtonSetting::UpperSideShort), "UpperSideShortPressComboBox",
                                  "Upper side button function"),
                   1, 1);
  sides->addWidget(makeSettingBox(int(ButtonSetting::UpperSideLong), "UpperSideLongPressComboBox",
                                  "Upper side button function - long press"),
                   1, 2);
  sides->addWidget(makeSettingBox(int(ButtonSetting::LowerSideShort), "LowerSideShortPressComboBox",
                                  "Lower side button function"),
                   2, 1);
  sides->addWidget(makeSettingBox(int(ButtonSetting::LowerSideLong), "LowerSideLongPressComboBox",
                                  "Lower side button function - long press"),
                   2, 2);
  sides->setColumnStretch(3, 1);

  oneTouch_ = makeOneTouchList();
  numberKeys_ = makeNumberKeyList();
  for (ListEditor* list : {oneTouch_, numberKeys_}) setUpFixedTable(*list);
  addSettingsBlock(pw::PlugSection::SideButtons);
  addRecordGrid({pw::PlugSection::OneTouchAccess, oneTouch_});
  addRecordGrid(
      {.section = pw::PlugSection::NumberKeys, .list = numberKeys_, .rowOf = [](int key) { return key; }});

  auto* oneTouchBox = new QVBoxLayout;
  oneTouchBox->addWidget(heading(QStringLiteral("Side Button One Touch Call "), this));
  oneTouchBox->addWidget(oneTouch_->view(), 1);
  auto* keysBox = new QVBoxLayout;
  keysBox->addWidget(heading(QStringLiteral("Key Pad Number Key Quick Access "), this));
  keysBox->addWidget(numberKeys_->view(), 1);
  auto* grids = new QHBoxLayout;
  grids->addLayout(oneTouchBox, 3);
  grids->addLayout(keysBox, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TitleLabel);
  layout->addLayout(duration);
  layout->addLayout(sides);
  layout->addLayout(grids, 1);
}

QComboBox* TButtonsForm::makeSettingBox(int which, const char* name, const char* hint) {
  const auto setting = static_cast<ButtonSetting>(which);
  auto* box = new QComboBox(this);
  box->setObjectName(QString::fromLatin1(name));
  box->setToolTip(QString::fromLatin1(hint));
  box->setMaxVisibleItems(20);
  fillComboBox(box, pw::buttonSettingChoices(setting));
  // Only a user's pick writes; filling and selecting on refresh do not.
  connect(box, &QComboBox::activated, this, [this, box, setting](int index) {
    if (index >= 0) pw::setButtonSetting(doc, setting, box->itemData(index).toUInt());
  });
  settingBoxes_[which] = box;
  return box;
}

ListEditor* TButtonsForm::makeOneTouchList() {
  ListConfig config;
  config.viewName = QStringLiteral("OneTouchListView");
  config.capacity = pw::kOneTouchCount;
  config.columns = {column("No.", 40, false), column("Mode", 90), column("Contact", 160),
                    column("Call Type", 110), column("Message / Encode", 200)};
  config.columns.back().stretch = true;
  for (int c = 1; c < int(config.columns.size()); ++c) {
    const OneTouchColumn which = oneTouchColumnOf(c);
    config.columns[c].choices = [this, which](int row) {
      return listChoices(pw::oneTouchChoices(doc, row, which));
    };
    config.columns[c].storedValue = [this, which](int row) -> std::optional<qint64> {
      return pw::oneTouchCode(doc, row, which);
    };
  }
  config.rowCount = [] { return pw::kOneTouchCount; };
  config.cellText = [this](int row, int column) {
    return column == 0 ? QString::number(row + 1)
                       : QString::fromLatin1(pw::oneTouchText(doc, row, oneTouchColumnOf(column)));
  };
  config.applyEdit = [this](int row, int column, const CellEdit& edit) {
    if (column > 0 && edit.value)
      pw::setOneTouch(doc, row, oneTouchColumnOf(column), std::uint32_t(*edit.value));
  };
  auto* list = new ListEditor(doc, std::move(config), this, editors_);
  list->view()->setToolTip(QStringLiteral("The acction taken when a side is set to  One-Touch-Access mode"));
  return list;
}

ListEditor* TButtonsForm::makeNumberKeyList() {
  ListConfig config;
  config.viewName = QStringLiteral("NumberKeyListView");
  config.capacity = pw::kNumberKeyCount;
  config.columns = {column("Num Key", 70, false), column("Contact", 160)};
  config.columns.back().stretch = true;
  config.columns[1].choices = [this](int) { return listChoices(pw::numberKeyChoices(doc)); };
  config.columns[1].storedValue = [this](int row) -> std::optional<qint64> {
    return pw::numberKeyContact(doc, row);
  };
  config.editColumn = 1;  // a double-click anywhere on the row chooses the contact
  config.rowCount = [] { return pw::kNumberKeyCount; };
  config.cellText = [this](int row, int column) {
    return column == 0 ? QStringLiteral("Key %1").arg(row) : QString::fromLatin1(pw::numberKeyText(doc, row));
  };
  config.applyEdit = [this](int row, int, const CellEdit& edit) {
    if (edit.value) pw::setNumberKey(doc, row, std::uint32_t(*edit.value));
  };
  return new ListEditor(doc, std::move(config), this, editors_);
}

void TButtonsForm::refresh(bool, int) {
  for (int which = 0; which < int(settingBoxes_.size()); ++which)
    selectCode(settingBoxes_[which], pw::buttonSetting(doc, static_cast<ButtonSetting>(which)));
  oneTouch_->rebuild();
  numberKeys_->rebuild();
}
