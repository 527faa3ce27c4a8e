#include "signalling/ui/DTMFForm.h"

#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "signalling/Dtmf.h"
#include "widgets/FixedTable.h"
#include "widgets/ListEditor.h"

namespace {

using E = ListColumn::Editor;
using pw::DtmfDecodeField;
using pw::DtmfSystemField;

// Data column c > 0 of the System and Decode pages shows field c - 1.
template <typename Field>
Field fieldOf(int column) {
  return static_cast<Field>(column - 1);
}

ListColumn column(const char* caption, int width, E editor = E::DropDown) {
  ListColumn c = ListColumn::centred(caption, width, editor);
  if (editor == E::Edit) {
    c.maxLength = pw::kDtmfDigitLimit;
    c.accepts = pw::ui::charPredicate(pw::ui::CharRule::Dtmf);
  }
  return c;
}
ListColumn numberColumn() { return column("No.", 40, E::None); }

std::string latin1(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

TDTMFForm::TDTMFForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName(QStringLiteral("DTMFForm"));
  setWindowTitle(QStringLiteral("  DTMF  "));
  editors_ = new OverlayEditors(this);

  PageControl = new QTabWidget(this);
  PageControl->setObjectName(QStringLiteral("PageControl"));
  PageControl->setDocumentMode(true);
  PageControl->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { width: 130px; }"));
  setInnerPages(PageControl);
  struct Page {
    const char* caption;
    const char* name;
    ListEditor* (TDTMFForm::*make)(QWidget*);
    ListEditor** list;
    pw::PlugSection section;
  };
  const Page pages[] = {
      {"System", "SystemTabSheet", &TDTMFForm::makeSystemList, &system_, pw::PlugSection::DtmfSystems},
      {"Encode", "EncodeTabSheet", &TDTMFForm::makeEncodeList, &encode_, pw::PlugSection::DtmfEncode},
      {"Decode", "DecodeTabSheet", &TDTMFForm::makeDecodeList, &decode_, pw::PlugSection::DtmfDecode}};
  for (const Page& p : pages) {
    auto* page = new QWidget(PageControl);
    page->setObjectName(QString::fromLatin1(p.name));
    ListEditor* list = (this->*p.make)(page);
    setUpFixedTable(*list);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(list->view());
    PageControl->addTab(page, QString::fromLatin1(p.caption));
    *p.list = list;
    addRecordGrid({.section = p.section, .list = list, .page = page});
  }
  // Changing pages commits an open editor, as leaving it does.
  connect(PageControl, &QTabWidget::currentChanged, editors_, [this] { editors_->close(true); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl);
}

ListEditor* TDTMFForm::makeSystemList(QWidget* page) {
  ListConfig config;
  config.viewName = QStringLiteral("SystemListView");
  config.capacity = pw::kDtmfSystemCount;
  config.columns = {numberColumn(),
                    column("DTMF Side Tone", 115, E::Action),
                    column("PTT ID", 75),
                    column("Group Code", 90),
                    column("Next Sequence", 110),
                    column("Auto Reset Time", 110),
                    column("KeyUp Encode", 110, E::Edit),
                    column("KeyDown Encode", 120, E::Edit),
                    column("1st Digit Delay", 100),
                    column("1st Digit Time", 100),
                    column("Digit Duration Time", 130),
                    column("Digit Interval Time", 120),
                    column("*# Digit Time", 90),
                    column("D Key Assignment", 120)};
  for (int c = 1; c < int(config.columns.size()); ++c) {
    const auto field = fieldOf<DtmfSystemField>(c);
    config.columns[c].choices = [field](int) { return listChoices(pw::dtmfSystemChoices(field)); };
    config.columns[c].storedValue = [this, field](int row) -> std::optional<qint64> {
      return pw::dtmfSystemCode(doc, row, field);
    };
  }
  config.cellsKeepEnteredText = true;  // digits show as typed ("12ab") until the next refresh
  config.rowCount = [] { return pw::kDtmfSystemCount; };
  config.cellText = [this](int row, int column) {
    return column == 0 ? QString::number(row + 1)
                       : QString::fromLatin1(pw::dtmfSystemText(doc, row, fieldOf<DtmfSystemField>(column)));
  };
  config.cellAction = [this](int row, int) { pw::toggleSideTone(doc, row); };
  config.applyEdit = [this](int row, int column, const CellEdit& edit) {
    const auto field = fieldOf<DtmfSystemField>(column);
    if (edit.value)
      pw::setSystemCode(doc, row, field, std::uint32_t(*edit.value));
    else
      pw::setSystemDigits(doc, row, field, latin1(edit.text));
  };
  return new ListEditor(doc, std::move(config), page, editors_);
}

ListEditor* TDTMFForm::makeEncodeList(QWidget* page) {
  ListConfig config;
  config.viewName = QStringLiteral("EncodeListView");
  config.capacity = pw::kDtmfEncodeCount;
  ListColumn encode = column("Encode", 400, E::Edit);
  encode.stretch = true;
  config.columns = {numberColumn(), encode};
  config.editColumn = 1;  // a double-click anywhere on the row edits the digits
  config.cellsKeepEnteredText = true;
  config.rowCount = [] { return pw::kDtmfEncodeCount; };
  config.cellText = [this](int row, int column) {
    return column == 0 ? QString::number(row + 1) : QString::fromLatin1(pw::encodeDigits(doc, row));
  };
  config.applyEdit = [this](int row, int, const CellEdit& edit) {
    pw::setEncodeDigits(doc, row, latin1(edit.text));
  };
  return new ListEditor(doc, std::move(config), page, editors_);
}

ListEditor* TDTMFForm::makeDecodeList(QWidget* page) {
  ListConfig config;
  config.viewName = QStringLiteral("DecodeListView");
  config.capacity = pw::kDtmfDecodeCount;
  ListColumn id = column("DTMF ID", 50, E::Edit);
  id.stretch = true;
  config.columns = {numberColumn(),
                    column("Response Type", 120),
                    column("Decode Type", 120),
                    column("Ack", 80),
                    column("Revert Channel", 150),
                    id,
                    column("Ack Delay Time", 150)};
  for (int c = 1; c < int(config.columns.size()); ++c) {
    const auto field = fieldOf<DtmfDecodeField>(c);
    config.columns[c].choices = [this, field](int) { return listChoices(pw::dtmfDecodeChoices(doc, field)); };
    config.columns[c].storedValue = [this, field](int row) -> std::optional<qint64> {
      return pw::dtmfDecodeCode(doc, row, field);
    };
  }
  config.cellsKeepEnteredText = true;
  config.rowCount = [] { return pw::kDtmfDecodeCount; };
  config.cellText = [this](int row, int column) {
    return column == 0 ? QString::number(row + 1)
                       : QString::fromLatin1(pw::dtmfDecodeText(doc, row, fieldOf<DtmfDecodeField>(column)));
  };
  config.applyEdit = [this](int row, int column, const CellEdit& edit) {
    const auto field = fieldOf<DtmfDecodeField>(column);
    if (edit.value)
      pw::setDecodeCode(doc, row, field, std::uint32_t(*edit.value));
    else
      pw::setDecodeId(doc, row, latin1(edit.text));
  };
  return new ListEditor(doc, std::move(config), page, editors_);
}

void TDTMFForm::refresh(bool, int) {
  for (ListEditor* list : {system_, encode_, decode_}) list->rebuild();
}
