#include "widgets/GridCellDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace {

// Enough for every text a screenful of any grid shows; beyond it the cache starts again.
constexpr qsizetype kCachedTexts = 4096;

QColor textColour(const QStyleOptionViewItem& option) {
  QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
  if (group == QPalette::Normal && !(option.state & QStyle::State_Active)) group = QPalette::Inactive;
  return option.palette.color(group,
                              option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
}

}  // namespace

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyleOptionViewItem cell = option;
  initStyleOption(&cell, index);
  const QString text = cell.text;
  // A text of several lines or with control characters (a stored name can hold any
  // byte) is left to the style.
  if (std::any_of(text.begin(), text.end(), [](QChar c) { return !c.isPrint(); })) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  cell.text.clear();
  cell.features &= ~QStyleOptionViewItem::HasDisplay;
  const QWidget* widget = cell.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
  if (text.isEmpty()) return;

  // The style's own text margins and alignment, as it would place the text itself.
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const QRect area = cell.rect.adjusted(margin, 0, -margin, 0);
  painter->save();
  painter->setPen(textColour(cell));
  painter->setFont(cell.font);
  const QStaticText& laid = laidOut(text, cell.font);
  const qreal width = laid.size().width();
  const Qt::Alignment align = QStyle::visualAlignment(cell.direction, cell.displayAlignment);
  if (width > area.width()) {
    const QString elided = cell.fontMetrics.elidedText(text, cell.textElideMode, area.width());
    painter->drawText(area, int(align), elided);
  } else {
    // Placed as the style places a line: centred on whole pixels by the height of one line,
    // and at the exact fraction across.
    const QRect line = QStyle::alignedRect(cell.direction, align, QSize(area.width(), cell.fontMetrics.height()), area);
    qreal x = line.left();
    if (align & Qt::AlignHCenter) x += (area.width() - width) / 2;
    else if (align & Qt::AlignRight) x += area.width() - width;
    painter->drawStaticText(QPointF(x, line.top()), laid);
  }
  painter->restore();
}

const QStaticText& GridCellDelegate::laidOut(const QString& text, const QFont& font) const {
  if (font != font_ || texts_.size() >= kCachedTexts) {
    texts_.clear();
    font_ = font;
  }
  auto found = texts_.find(text);
  if (found == texts_.end()) {
    QStaticText laid(text);
    laid.setTextFormat(Qt::PlainText);
    laid.prepare(QTransform(), font);
    found = texts_.insert(text, laid);
  }
  return *found;
}
