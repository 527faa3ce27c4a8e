#include "digital/ui/TextMessageForm.h"

#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "widgets/ListEditor.h"
#include "digital/TextMessages.h"

namespace {
enum Column { NumberColumn, MessageColumn };
}  // namespace

TTextMessageForm::TTextMessageForm(pw::CodePlugDocument& document, QWidget* parent)
    : TabForm(document, parent) {
  setObjectName(QStringLiteral("TextMessageForm"));
  setWindowTitle(QStringLiteral("  Digital Text Msg  "));

  ListConfig config;
  config.title = QStringLiteral("Text Messages");
  config.capacity = pw::kTextMessageCount;
  config.columns = {
      ListColumn::centred("No.", 40),
      {.caption = "Message",
       .width = 400,
       .captionAlignment = Qt::AlignCenter,
       .stretch = true,
       .editor = ListColumn::Editor::Edit,
       .maxLength = pw::kTextMessageUnits,
       .accepts = ListColumn::printable},
  };
  config.editColumn = MessageColumn;
  config.addOnDoubleClickBelow = true;

  config.rowCount = [this] {
    rows_ = pw::shownMessages(doc);
    return int(rows_.size());
  };
  config.cellText = [this](int row, int column) {
    const int record = recordOfRow(row);
    if (record < 0) return QString();
    return column == NumberColumn ? QString::number(record + 1)
                                  : QString::fromLatin1(pw::messageText(doc, record));
  };
  config.applyEdit = [this](int row, int, const CellEdit& edit) {
    pw::setMessageText(doc, recordOfRow(row), edit.text.toLatin1().toStdString());
  };
  config.add = [this]() -> int {
    const int record = pw::addMessage(doc, {});
    const std::vector<int> rows = pw::shownMessages(doc);
    const auto at = std::find(rows.begin(), rows.end(), record);
    return record < 0 || at == rows.end() ? -1 : int(at - rows.begin());
  };
  config.deleteOne = [this](int number) {
    // Rows are counted afresh: earlier deletes of this action have moved them up.
    const std::vector<int> rows = pw::shownMessages(doc);
    if (number < 1 || number > int(rows.size())) return -1;
    return pw::deleteMessage(doc, rows[number - 1] + 1);
  };

  TitleLabel = new QLabel(QStringLiteral("Preset Text Messages available to send from the radio "), this);
  TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
  TitleLabel->setStyleSheet(QStringLiteral("font-weight: bold; color: maroon;"));

  list_ = new ListEditor(doc, std::move(config), this);
  // A message in use that shows no text has no row: rows and records part there.
  addRecordGrid({.section = pw::PlugSection::TextMessages, .list = list_, .rowOf = [this](int number) {
                   const auto at = std::find(rows_.begin(), rows_.end(), number - 1);
                   return at == rows_.end() ? -1 : int(at - rows_.begin());
                 }});

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TitleLabel);
  layout->addWidget(list_->countLabel());
  layout->addWidget(list_->view(), 1);
  layout->addLayout(list_->makeButtonRow());
}

int TTextMessageForm::recordOfRow(int row) const {
  return row >= 0 && row < int(rows_.size()) ? rows_[row] : -1;
}

void TTextMessageForm::refresh(bool rebuild, int topRow) {
  if (rebuild)
    list_->rebuild(topRow > 0 ? topRow : -1);
  else
    list_->refresh();
}
