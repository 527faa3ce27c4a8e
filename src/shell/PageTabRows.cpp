#include "shell/PageTabRows.h"

#include <QEvent>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

PageTabRows::PageTabRows(QTabWidget* pages, QWidget* parent) : QWidget(parent), pages_(pages) {
  setObjectName("PageTabRows");
  setMouseTracking(true);
  setAttribute(Qt::WA_Hover);
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
  pages_->tabBar()->hide();
  connect(pages_, &QTabWidget::currentChanged, this, [this] { update(); });
}

QSize PageTabRows::tabSize(int index) const {
  QStyleOptionTab opt;
  opt.initFrom(this);
  opt.shape = QTabBar::RoundedNorth;
  opt.text = pages_->tabText(index);
  const QSize text(fontMetrics().horizontalAdvance(opt.text) + style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &opt, this),
                   fontMetrics().height() + style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &opt, this));
  return style()->sizeFromContents(QStyle::CT_TabBarTab, &opt, text, this);
}

int PageTabRows::tabHeight() const {
  int h = 0;
  for (int i = 0; i < pages_->count(); ++i) h = std::max(h, tabSize(i).height());
  return h;
}

namespace {

// Tabs in order, a new row whenever the next tab would pass `capacity`.
std::vector<std::vector<int>> fillRows(const std::vector<int>& widths, int capacity) {
  std::vector<std::vector<int>> rows;
  int used = 0;
  for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
    if (rows.empty() || (used + widths[i] > capacity && !rows.back().empty())) {
      rows.emplace_back();
      used = 0;
    }
    rows.back().push_back(i);
    used += widths[i];
  }
  return rows;
}

}  // namespace

// As few rows as the width allows, and among those the split whose widest row is
// narrowest, so the rows come out about equally full.
std::vector<std::vector<int>> PageTabRows::rowsFor(int width) const {
  std::vector<int> widths;
  for (int i = 0; i < pages_->count(); ++i) widths.push_back(tabSize(i).width());
  const std::size_t rowCount = fillRows(widths, width).size();
  int low = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
  int high = std::max(low, width);
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (fillRows(widths, mid).size() <= rowCount) high = mid;
    else low = mid + 1;
  }
  return fillRows(widths, low);
}

std::vector<QRect> PageTabRows::layoutTabs(int width) const {
  std::vector<QRect> rects(pages_->count());
  const int h = tabHeight();
  const auto rows = rowsFor(width);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    int natural = 0;
    for (int i : rows[r]) natural += tabSize(i).width();
    // Every row spans the full width; the spare pixels go to the tabs in proportion.
    const int spare = std::max(0, width - natural);
    int x = 0, given = 0, sofar = 0;
    for (int i : rows[r]) {
      sofar += tabSize(i).width();
      const int share = natural > 0 ? static_cast<int>(static_cast<long long>(spare) * sofar / natural) - given : 0;
      given += share;
      const int w = tabSize(i).width() + share;
      rects[i] = QRect(x, static_cast<int>(r) * h, w, h);
      x += w;
    }
  }
  return rects;
}

QRect PageTabRows::tabRect(int index) const {
  const auto rects = layoutTabs(width());
  return index >= 0 && index < static_cast<int>(rects.size()) ? rects[index] : QRect();
}

int PageTabRows::heightForWidth(int width) const {
  return static_cast<int>(rowsFor(width).size()) * tabHeight();
}

QSize PageTabRows::sizeHint() const {
  int w = 0;
  for (int i = 0; i < pages_->count(); ++i) w += tabSize(i).width();
  return {w, tabHeight()};
}

QSize PageTabRows::minimumSizeHint() const {
  int w = 0;
  for (int i = 0; i < pages_->count(); ++i) w = std::max(w, tabSize(i).width());
  return {w, heightForWidth(w)};
}

int PageTabRows::tabAt(const QPoint& pos) const {
  const auto rects = layoutTabs(width());
  for (std::size_t i = 0; i < rects.size(); ++i)
    if (rects[i].contains(pos)) return static_cast<int>(i);
  return -1;
}

void PageTabRows::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  const auto rects = layoutTabs(width());
  const auto rows = rowsFor(width());
  const int current = pages_->currentIndex();
  for (const auto& row : rows) {
    for (std::size_t k = 0; k < row.size(); ++k) {
      const int i = row[k];
      QStyleOptionTab opt;
      opt.initFrom(this);
      opt.shape = QTabBar::RoundedNorth;
      opt.rect = rects[i];
      opt.text = pages_->tabText(i);
      opt.row = 0;
      opt.position = row.size() == 1 ? QStyleOptionTab::OnlyOneTab
                     : k == 0         ? QStyleOptionTab::Beginning
                     : k + 1 == row.size() ? QStyleOptionTab::End
                                           : QStyleOptionTab::Middle;
      opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
      if (i == current) opt.state |= QStyle::State_Selected;
      if (i == hovered_) opt.state |= QStyle::State_MouseOver;
      if (!pages_->isTabEnabled(i)) opt.state &= ~QStyle::State_Enabled;
      painter.drawControl(QStyle::CE_TabBarTab, opt);
    }
  }
}

void PageTabRows::mousePressEvent(QMouseEvent* event) {
  const int i = event->button() == Qt::LeftButton ? tabAt(event->position().toPoint()) : -1;
  if (i >= 0 && pages_->isTabEnabled(i)) pages_->setCurrentIndex(i);
  else QWidget::mousePressEvent(event);
}

bool PageTabRows::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::HoverMove:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave: {
      const int i = event->type() == QEvent::HoverLeave ? -1 : tabAt(static_cast<QHoverEvent*>(event)->position().toPoint());
      if (i != hovered_) {
        hovered_ = i;
        update();
      }
      break;
    }
    case QEvent::FontChange:
    case QEvent::StyleChange: updateGeometry(); break;
    default: break;
  }
  return QWidget::event(event);
}
