#include "shell/LeftoverEditsDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "widgets/SaveTarget.h"

LeftoverEditsDialog::LeftoverEditsDialog(RecoveryService& recovery, pw::Prompt& prompt,
                                         std::function<QString()> chooseName, QWidget* parent)
    : QDialog(parent),
      recovery_(recovery),
      prompt_(prompt),
      chooseName_(std::move(chooseName)),
      list_(new QTreeWidget(this)),
      save_(new QPushButton(QStringLiteral("Save As..."), this)),
      discard_(new QPushButton(QStringLiteral("Discard"), this)) {
  setObjectName(QStringLiteral("LeftoverEditsDialog"));
  setWindowTitle(QStringLiteral("Unsaved changes of missing files"));
  setAttribute(Qt::WA_DeleteOnClose);
  resize(640, 300);

  auto* text =
      new QLabel(QStringLiteral("These code plug files cannot be found any more, but their unsaved "
                                "changes were kept. Save each under a name you choose, or discard it. "
                                "Those you leave are listed again next time."),
                 this);
  text->setWordWrap(true);
  list_->setObjectName(QStringLiteral("LeftoverListView"));
  list_->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Changes from")});
  list_->setRootIsDecorated(false);
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  list_->header()->setStretchLastSection(false);
  save_->setObjectName(QStringLiteral("SaveLeftoverBitBtn"));
  discard_->setObjectName(QStringLiteral("DiscardLeftoverBitBtn"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("CloseLeftoversBitBtn"));
  buttons->addButton(save_, QDialogButtonBox::ActionRole);
  buttons->addButton(discard_, QDialogButtonBox::ActionRole);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(list_, 1);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(save_, &QPushButton::clicked, this, &LeftoverEditsDialog::saveSelected);
  connect(discard_, &QPushButton::clicked, this, &LeftoverEditsDialog::discardSelected);
  connect(list_, &QTreeWidget::currentItemChanged, this, &LeftoverEditsDialog::enableButtons);
}

void LeftoverEditsDialog::setLeftovers(std::vector<Leftover> leftovers) {
  leftovers_ = std::move(leftovers);
  list_->clear();
  for (const Leftover& l : leftovers_)
    list_->addTopLevelItem(new QTreeWidgetItem({l.path, QLocale().toString(l.time, QLocale::ShortFormat)}));
  list_->setCurrentItem(list_->topLevelItem(0));
  enableButtons();
}

void LeftoverEditsDialog::saveSelected() {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  if (row < 0) return;
  const QString name = chooseName_();
  if (name.isEmpty()) return;
  const QString target = saveTarget(prompt_, name, QStringLiteral(".rdt"));
  if (!target.isEmpty() && recovery_.save(leftovers_[std::size_t(row)], target)) forget(row);
}

void LeftoverEditsDialog::discardSelected() {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  if (row < 0) return;
  const Leftover& l = leftovers_[std::size_t(row)];
  const QString question = QStringLiteral("Discard the unsaved changes of ") + l.path + QStringLiteral(" ?");
  if (prompt_.question(question.toLatin1().toStdString(), false) != pw::Answer::Yes) return;
  recovery_.remove(l);
  forget(row);
}

// Handled: off the list, and the dialog goes with the last one.
void LeftoverEditsDialog::forget(int row) {
  leftovers_.erase(leftovers_.begin() + row);
  delete list_->takeTopLevelItem(row);
  if (leftovers_.empty()) accept();
  enableButtons();
}

void LeftoverEditsDialog::enableButtons() {
  const bool selected = list_->currentItem() != nullptr;
  save_->setEnabled(selected);
  discard_->setEnabled(selected);
}
