#include "digital/ui/VoiceEncryptionForm.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "widgets/FixedTable.h"
#include "widgets/ListEditor.h"

namespace {
enum Column { NumberColumn, KeyColumn };
}  // namespace

TVoiceEncryptionForm::TVoiceEncryptionForm(pw::CodePlugDocument& document, QWidget* parent)
    : TabForm(document, parent) {
  setObjectName(QStringLiteral("VoiceEncryptionForm"));
  setWindowTitle(QStringLiteral("  Digital Voice Encryption  "));

  auto* editors = new OverlayEditors(this);
  basic_ = makeKeyList(pw::KeyKind::Basic, editors);
  enhanced_ = makeKeyList(pw::KeyKind::Enhanced, editors);
  addRecordGrid({pw::PlugSection::BasicPrivacyKeys, basic_});
  addRecordGrid({pw::PlugSection::EnhancedPrivacyKeys, enhanced_});

  auto* heading = new QLabel(QStringLiteral("Basic and enhanced voice encryption keys "), this);
  heading->setObjectName(QStringLiteral("TitleLabel"));
  heading->setStyleSheet(QStringLiteral("font-weight: bold; color: maroon;"));
  auto* basicLabel = new QLabel(QStringLiteral("Basic Encryption Keys "), this);
  basicLabel->setObjectName(QStringLiteral("BasicLabel"));
  auto* enhancedLabel = new QLabel(QStringLiteral("Enhanced Encryption Keys "), this);
  enhancedLabel->setObjectName(QStringLiteral("EnhancedLabel"));

  auto* grids = new QGridLayout;
  grids->addWidget(basicLabel, 0, 0);
  grids->addWidget(enhancedLabel, 0, 1);
  grids->addWidget(basic_->view(), 1, 0, Qt::AlignTop);
  grids->addWidget(enhanced_->view(), 1, 1, Qt::AlignTop);
  grids->setColumnStretch(2, 1);
  grids->setRowStretch(2, 1);
  grids->setHorizontalSpacing(16);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addLayout(grids, 1);
}

ListEditor* TVoiceEncryptionForm::makeKeyList(pw::KeyKind kind, OverlayEditors* editors) {
  const bool basic = kind == pw::KeyKind::Basic;
  ListConfig config;
  config.capacity = pw::keyCount(kind);
  config.viewName = basic ? QStringLiteral("BasicListView") : QStringLiteral("EnhancedListView");
  config.countLabelName = basic ? QStringLiteral("BasicCountLabel") : QStringLiteral("EnhancedCountLabel");
  config.columns = {
      {.caption = "No.", .width = 60},
      {.caption = "Key",
       .width = basic ? 100 : 330,
       .editor = ListColumn::Editor::Edit,
       .maxLength = pw::keyDigits(kind),
       .accepts = ListColumn::hexDigit},
  };
  config.rowCount = [kind] { return pw::keyCount(kind); };
  config.cellText = [this, kind](int row, int column) {
    return column == NumberColumn ? QString::number(row + 1)
                                  : QString::fromLatin1(pw::keyText(doc, kind, row));
  };
  config.applyEdit = [this, kind](int row, int, const CellEdit& edit) {
    pw::setKey(doc, kind, row, edit.text.toLatin1().toStdString());
  };
  auto* list = new ListEditor(doc, std::move(config), this, editors);
  setUpFixedTable(*list);
  // Several keys can be selected, as in every list; the held button selects no range.
  list->view()->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->view()->setRangeDragEnabled(false);
  // Every key in view at once, with or without a code plug: the grid is as large as its rows.
  QTableView* view = list->view();
  int width = 2 * view->frameWidth();
  for (int c = 0; c < view->model()->columnCount(); ++c) width += view->columnWidth(c);
  view->setFixedSize(width, 2 * view->frameWidth() + view->horizontalHeader()->sizeHint().height() +
                                pw::keyCount(kind) * view->verticalHeader()->defaultSectionSize());
  return list;
}

void TVoiceEncryptionForm::refresh(bool rebuild, int) {
  // The tables never change size: showing the tab has nothing to bring up to date.
  if (!rebuild) return;
  basic_->rebuild();
  enhanced_->rebuild();
}
