#include "channels/ui/ChannelImportDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "exchange/Layouts.h"

namespace {

// A file of a million bad rows must not make a million lines of text to lay out.
constexpr int kShownLines = 2000;

QString fromModel(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The lines under a heading, the first kShownLines of them.
void appendLines(QString& out, const QString& heading, const std::vector<std::string>& lines) {
  out += heading.arg(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == std::size_t(kShownLines)) {
      out += QStringLiteral("... and %1 more\n").arg(lines.size() - i);
      break;
    }
    out += fromModel(lines[i]) + QLatin1Char('\n');
  }
}

}  // namespace

ChannelImportDialog::ChannelImportDialog(const pw::CodePlugDocument& doc, const QString& fileName,
                                         pw::exchange::ChannelPlan plan,
                                         std::function<pw::exchange::ChannelPlan(bool update)> reread,
                                         QWidget* parent)
    : QDialog(parent), doc_(doc), plan_(std::move(plan)), reread_(std::move(reread)) {
  setObjectName(QStringLiteral("ChannelImportDialog"));
  setWindowTitle(QStringLiteral("Import Channels"));
  resize(620, 440);

  const bool numbered = plan_.layout && plan_.layout->numbered;
  auto* source = new QLabel(this);
  source->setObjectName(QStringLiteral("SourceLabel"));
  source->setText(QStringLiteral("%1\nread as %2.")
                      .arg(QFileInfo(fileName).fileName(),
                           QString::fromLatin1(plan_.layout ? plan_.layout->name : "a channel list")));
  source->setToolTip(fileName);

  SummaryLabel = new QLabel(this);
  SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
  SummaryLabel->setStyleSheet(QStringLiteral("font-weight: bold;"));

  UpdateCheckBox = new QCheckBox(
      QStringLiteral("Update the channels whose number is in use (the other rows are added)"), this);
  UpdateCheckBox->setObjectName(QStringLiteral("UpdateCheckBox"));
  UpdateCheckBox->setToolTip(
      QStringLiteral("A row whose number names a channel in use overwrites the fields the file gives;\n"
                     "zone, scan list and button references to that channel stay as they are."));
  UpdateCheckBox->setVisible(numbered);
  connect(UpdateCheckBox, &QCheckBox::toggled, this, [this](bool on) {
    if (reread_) plan_ = reread_(on);
    showPlan();
  });

  ColumnsLabel = new QLabel(this);
  ColumnsLabel->setObjectName(QStringLiteral("ColumnsLabel"));
  ColumnsLabel->setWordWrap(true);

  ReportText = new QPlainTextEdit(this);
  ReportText->setObjectName(QStringLiteral("ReportText"));
  ReportText->setReadOnly(true);
  ReportText->setLineWrapMode(QPlainTextEdit::NoWrap);

  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(source);
  layout->addWidget(SummaryLabel);
  layout->addWidget(UpdateCheckBox);
  layout->addWidget(ColumnsLabel);
  layout->addWidget(ReportText, 1);
  layout->addWidget(buttons_);

  showPlan();
}

void ChannelImportDialog::showPlan() {
  const pw::exchange::Report preview = pw::exchange::previewChannelPlan(doc_, plan_, {});
  const auto added = preview.added.size(), updated = preview.updated.size();
  SummaryLabel->setText(added + updated == 0
                            ? QStringLiteral("Nothing will be imported.")
                            : QStringLiteral("%1 %2 will be added and %3 updated.")
                                  .arg(added)
                                  .arg(added == 1 ? QStringLiteral("channel") : QStringLiteral("channels"))
                                  .arg(updated));
  QStringList columns;
  for (const std::string& c : preview.unreadColumns) columns << fromModel(c);
  ColumnsLabel->setText(QStringLiteral("Columns not read: ") + columns.join(QStringLiteral(", ")));
  ColumnsLabel->setVisible(!columns.isEmpty());

  std::vector<std::string> skipped, remarks;
  for (const pw::exchange::Skip& s : preview.skipped) skipped.push_back(pw::exchange::skipLine(s));
  for (const pw::exchange::Note& n : preview.notes) remarks.push_back(pw::exchange::noteLine(n));
  QString report;
  appendLines(report, QStringLiteral("Skipped rows: %1\n"), skipped);
  report += QLatin1Char('\n');
  appendLines(report, QStringLiteral("Remarks: %1\n"), remarks);
  ReportText->setPlainText(report);
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(added + updated > 0);
}
