#pragma once
// Where the main window may stand: every proposed position and size is pulled back
// onto the desktop, snapped to the work area's edges when it comes close to them,
// and kept between the minimum size and the desktop's size.

namespace pw {

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  int right() const { return x + w; }
  int bottom() const { return y + h; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct ScreenMetrics {
  Rect desktop;         // all monitors together
  Rect workArea;        // the desktop less the task bar
  int screenWidth = 0;  // width of the primary screen
};

constexpr int kMinimumWindowWidth = 700;
constexpr int kMinimumWindowHeight = 584;
constexpr int kSnapDistance = 10;

// Adjusts a proposed window rectangle (position and size) for the given screens.
Rect placeWindow(Rect proposed, const ScreenMetrics& screens);

}  // namespace pw
