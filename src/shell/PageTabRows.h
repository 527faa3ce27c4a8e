#pragma once
// The page control's tabs on as many rows as their captions need. Fourteen tabs
// with their blank-padded captions are wider than the window, and a single row
// with scroll arrows would hide some of them; this strip stands above a
// QTabWidget whose own bar is hidden and selects its pages.

#include <QWidget>
#include <vector>

class QTabWidget;

class PageTabRows : public QWidget {
  Q_OBJECT
public:
  explicit PageTabRows(QTabWidget* pages, QWidget* parent = nullptr);

  // Where tab `index` is drawn at the current width (empty when there is no such tab).
  QRect tabRect(int index) const;
  int rowCount() const { return static_cast<int>(rowsFor(width()).size()); }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

private:
  QSize tabSize(int index) const;
  int tabHeight() const;
  // The tabs of each row, top row first, filled in tab order.
  std::vector<std::vector<int>> rowsFor(int width) const;
  // Tab rectangles at the given width, each row stretched to the full width.
  std::vector<QRect> layoutTabs(int width) const;
  int tabAt(const QPoint& pos) const;

  QTabWidget* pages_;
  int hovered_ = -1;
};
