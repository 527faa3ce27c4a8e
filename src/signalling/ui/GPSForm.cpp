#include "signalling/ui/GPSForm.h"

#include <QLabel>
#include <QVBoxLayout>

#include "signalling/Gps.h"
#include "widgets/FixedTable.h"
#include "widgets/ListEditor.h"

namespace {

// Data column c > 0 shows GPS field c - 1.
pw::GpsField fieldOf(int column) { return static_cast<pw::GpsField>(column - 1); }

ListColumn choiceColumn(const char* caption, int width) {
  return ListColumn::centred(caption, width, ListColumn::Editor::DropDown);
}

}  // namespace

TGPSForm::TGPSForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName(QStringLiteral("GPSForm"));
  setWindowTitle(QStringLiteral("  GPS  "));

  ListConfig config;
  config.title = QStringLiteral("GPS List");
  config.capacity = pw::kGpsCount;
  config.columns = {
      ListColumn::centred("GPS", 40),
      choiceColumn("Revert Channel", 150),
      choiceColumn("Default GPS Report Interval", 200),
      choiceColumn("Destination Contact", 140),
  };
  for (int c = 1; c < int(config.columns.size()); ++c) {
    config.columns[c].choices = [this, c](int) { return listChoices(pw::gpsChoices(doc, fieldOf(c))); };
    config.columns[c].storedValue = [this, c](int row) -> std::optional<qint64> {
      return pw::gpsCode(doc, row, fieldOf(c));
    };
  }
  config.rowCount = [] { return pw::kGpsCount; };
  config.cellText = [this](int row, int column) {
    return column == 0 ? QString::number(row + 1)
                       : QString::fromLatin1(pw::gpsText(doc, row, fieldOf(column)));
  };
  config.applyEdit = [this](int row, int column, const CellEdit& edit) {
    if (column > 0 && edit.value) pw::setGpsField(doc, row, fieldOf(column), std::uint32_t(*edit.value));
  };

  TitleLabel = new QLabel(QStringLiteral("GPS List "), this);
  TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
  TitleLabel->setStyleSheet(QStringLiteral("font-weight: bold; color: maroon;"));

  list_ = new ListEditor(doc, std::move(config), this);
  addRecordGrid({pw::PlugSection::Gps, list_});
  setUpFixedTable(*list_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TitleLabel);
  layout->addWidget(list_->view(), 1);
}

void TGPSForm::refresh(bool, int) { list_->rebuild(); }
