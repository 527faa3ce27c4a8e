#include "contacts/ui/UserDatabaseImportDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "widgets/FilePaths.h"
#include "widgets/InputFilter.h"

namespace {

constexpr int kProgressAfterMs = 300;
constexpr int kProgressSteps = 1000;
constexpr int kMalformedShown = 1000;  // lines listed; the rest are counted

std::vector<std::string> listOf(const QLineEdit* edit) {
  return pw::exchange::splitList(edit->text().toStdString());
}

}  // namespace

UserDatabaseImportDialog::UserDatabaseImportDialog(const pw::CodePlugDocument& doc,
                                                   const pw::exchange::Database& db, const QString& fileName,
                                                   QWidget* parent)
    : QDialog(parent), doc_(doc), db_(db) {
  setObjectName(QStringLiteral("UserDatabaseImportDialog"));
  setWindowTitle(QStringLiteral("Import from the DMR user database"));

  auto* fileLabel = new QLabel(
      QStringLiteral("%1: %2 rows with a radio ID and a callsign.")
          .arg(QFileInfo(fileName).fileName())
          .arg(db.rows().size()),
      this);
  fileLabel->setObjectName(QStringLiteral("FileLabel"));

  idPrefixes_ = new QLineEdit(this);
  idPrefixes_->setObjectName(QStringLiteral("IdPrefixEdit"));
  idPrefixes_->setPlaceholderText(QStringLiteral("for example 262,263"));
  pw::ui::installCharFilter(idPrefixes_, [](QChar c) { return c.isDigit() || c == u',' || c == u' '; });
  callsignPrefixes_ = new QLineEdit(this);
  callsignPrefixes_->setObjectName(QStringLiteral("CallsignPrefixEdit"));
  callsignPrefixes_->setPlaceholderText(QStringLiteral("for example DL,DM"));

  malformed_ = new QPlainTextEdit(this);
  malformed_->setObjectName(QStringLiteral("MalformedText"));
  malformed_->setReadOnly(true);
  malformed_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QStringList lines;
  for (const auto& row : db.malformed()) {
    if (lines.size() == kMalformedShown) {
      lines << QStringLiteral("... and %1 more").arg(qsizetype(db.malformed().size()) - kMalformedShown);
      break;
    }
    lines << QString::fromStdString(pw::exchange::skipLine(row));
  }
  malformed_->setPlainText(lines.isEmpty() ? QStringLiteral("none") : lines.join(u'\n'));

  countries_ = new QListWidget(this);
  countries_->setObjectName(QStringLiteral("CountryList"));
  for (const pw::exchange::Country& c : db.countries()) {
    const QString name = QString::fromStdString(c.name);
    auto* item = new QListWidgetItem(
        QStringLiteral("%1 (%2)").arg(name.isEmpty() ? QStringLiteral("(no country)") : name).arg(c.rows), countries_);
    // The bytes as read: a name in an 8-bit code would not come back the same through a QString.
    item->setData(Qt::UserRole, QByteArray::fromStdString(c.name));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }

  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("SummaryLabel"));
  summary_->setWordWrap(true);
  summary_->setStyleSheet(QStringLiteral("font-weight: bold;"));

  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

  // ---- layout: the prefixes and the malformed rows beside the countries ----
  auto* prefixes = new QFormLayout;
  prefixes->addRow(QStringLiteral("Radio ID prefixes "), idPrefixes_);
  prefixes->addRow(QStringLiteral("Callsign prefixes "), callsignPrefixes_);
  auto* left = new QVBoxLayout;
  left->addLayout(prefixes);
  left->addWidget(new QLabel(QStringLiteral("Malformed rows (never imported):"), this));
  left->addWidget(malformed_, 1);
  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(QStringLiteral("Countries (none ticked: every country):"), this));
  right->addWidget(countries_, 1);
  auto* filters = new QGroupBox(QStringLiteral(" Filters (rows must match every kind given) "), this);
  auto* columns = new QHBoxLayout(filters);
  columns->addLayout(left, 3);
  columns->addLayout(right, 2);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fileLabel);
  layout->addWidget(filters, 1);
  layout->addWidget(summary_);
  layout->addWidget(buttons_);
  resize(760, 480);

  connect(idPrefixes_, &QLineEdit::textChanged, this, &UserDatabaseImportDialog::updatePlan);
  connect(callsignPrefixes_, &QLineEdit::textChanged, this, &UserDatabaseImportDialog::updatePlan);
  connect(countries_, &QListWidget::itemChanged, this, &UserDatabaseImportDialog::updatePlan);
  updatePlan();
}

pw::exchange::Filter UserDatabaseImportDialog::filter() const {
  pw::exchange::Filter f{listOf(idPrefixes_), {}, listOf(callsignPrefixes_)};
  for (int i = 0; i < countries_->count(); ++i)
    if (countries_->item(i)->checkState() == Qt::Checked)
      f.countries.push_back(countries_->item(i)->data(Qt::UserRole).toByteArray().toStdString());
  return f;
}

void UserDatabaseImportDialog::updatePlan() {
  plan_ = pw::exchange::makePlan(doc_, db_, filter());
  const pw::exchange::Report& r = plan_.report;
  QString summary = QStringLiteral(
                        "%1 rows match: %2 to add, %3 already present, %4 do not fit. "
                        "%5 malformed rows are skipped. %6 of %7 contacts are free.")
                        .arg(pw::exchange::matching(plan_))
                        .arg(plan_.rows.size())
                        .arg(r.present)
                        .arg(r.noRoom)
                        .arg(db_.malformed().size())
                        .arg(pw::kContactCount - pw::usedCount(doc_, pw::ListId::Contacts))
                        .arg(pw::kContactCount);
  if (r.namesChanged > 0)
    summary += QStringLiteral(" %1 names will be written without accents.").arg(r.namesChanged);
  summary_->setText(summary);
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(!plan_.rows.empty());
}

pw::exchange::ReadStatus UserDatabaseImportDialog::readWithProgress(QWidget* parent, const QString& fileName,
                                                                    pw::exchange::Database& db) {
  QElapsedTimer clock;
  clock.start();
  std::unique_ptr<QProgressDialog> progress;
  const auto report = [&](std::uint64_t done, std::uint64_t total) {
    if (!progress && clock.elapsed() >= kProgressAfterMs) {
      progress = std::make_unique<QProgressDialog>(
          QStringLiteral("Reading %1 ...").arg(QFileInfo(fileName).fileName()), QStringLiteral("Cancel"), 0,
          kProgressSteps, parent);
      progress->setObjectName(QStringLiteral("ReadProgress"));
      progress->setWindowTitle(QStringLiteral("Import"));
      progress->setWindowModality(Qt::ApplicationModal);
      progress->setMinimumDuration(0);
      progress->setAutoClose(false);
      progress->show();
    }
    if (!progress) {
      // Repaints only: the window takes no input until the read ends or the bar shows.
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      return true;
    }
    progress->setValue(total ? int(std::min(done, total) * kProgressSteps / total) : 0);
    QCoreApplication::processEvents();
    return !progress->wasCanceled();
  };
  return pw::exchange::readDatabase(pw::ui::stdPath(fileName), db, report);
}
