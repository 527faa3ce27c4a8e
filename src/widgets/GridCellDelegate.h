#pragma once
// How a list grid paints its cells: the style draws each cell's background, selection
// and focus as usual, and the text comes from a cache of laid-out texts. Shaping every
// cell's text again at every paint is most of what filling a grid costs, and a grid's
// texts repeat ("Regular", "10 secs"), so each is laid out once.

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

class GridCellDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  const QStaticText& laidOut(const QString& text, const QFont& font) const;

  mutable QHash<QString, QStaticText> texts_;  // laid out in font_
  mutable QFont font_;
};
