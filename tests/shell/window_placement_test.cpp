#include "shell/WindowPlacement.h"

#include <gtest/gtest.h>

using pw::placeWindow;
using pw::Rect;
using pw::ScreenMetrics;

namespace {

// One 1920 x 1080 monitor with a 40 pixel task bar at the bottom.
const ScreenMetrics kFullHd{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 1920};

Rect place(int x, int y, int w, int h, const ScreenMetrics& s = kFullHd) { return placeWindow({x, y, w, h}, s); }

}  // namespace

TEST(WindowPlacement, EdgesSnapToTheWorkArea) {
  // Near the left or top edge, also a little beyond it (the distance is taken as |x|).
  EXPECT_EQ(place(10, 100, 800, 600).x, 0);
  EXPECT_EQ(place(-7, 100, 800, 600).x, 0);
  EXPECT_EQ(place(11, 100, 800, 600).x, 11);
  EXPECT_EQ(place(100, 9, 800, 600).y, 0);
  // Right and bottom edges land exactly on the work area, not on the desktop.
  EXPECT_EQ(place(1112, 100, 800, 600).x, 1120);
  EXPECT_EQ(place(1129, 100, 800, 600).x, 1120);
  EXPECT_EQ(place(1109, 100, 800, 600).x, 1109);
  EXPECT_EQ(place(100, 445, 800, 600).y, 440);
  // The work area's own left edge counts when the task bar stands there.
  const ScreenMetrics leftBar{{0, 0, 1920, 1080}, {60, 0, 1860, 1080}, 1920};
  EXPECT_EQ(place(65, 100, 800, 600, leftBar).x, 60);
  EXPECT_EQ(place(70, 100, 800, 600, leftBar).x, 60);
  EXPECT_EQ(place(71, 100, 800, 600, leftBar).x, 71);
}

TEST(WindowPlacement, SizeSnapsToTheWorkAreaOnlyFromItsStart) {
  EXPECT_EQ(place(0, 0, 1912, 1035), (Rect{0, 0, 1920, 1040}));
  EXPECT_EQ(place(4, 3, 1925, 1048), (Rect{0, 0, 1920, 1040}));
  // Not at the start: the width stays (the right edge snaps instead).
  EXPECT_EQ(place(200, 200, 1715, 700), (Rect{205, 200, 1715, 700}));
  EXPECT_EQ(place(0, 0, 1909, 1029), (Rect{0, 0, 1909, 1029}));
}

TEST(WindowPlacement, SizeStaysBetweenTheMinimumAndTheDesktop) {
  EXPECT_EQ(place(100, 100, 300, 200), (Rect{100, 100, 700, 584}));
  const ScreenMetrics small{{0, 0, 640, 480}, {0, 0, 640, 450}, 640};
  const Rect r = place(0, 0, 300, 200, small);
  EXPECT_EQ(r.w, 640);
  EXPECT_EQ(r.h, 480);
}

TEST(WindowPlacement, EnoughOfTheWindowStaysOnTheDesktop) {
  // Far right: at most W - screen width / 15; far left: a fifteenth of the desktop stays visible.
  EXPECT_EQ(place(3000, 100, 800, 600).x, 1920 - 128);
  EXPECT_EQ(place(-3000, 100, 800, 600).x, -800 + 128);
  // Up: never above the desktop; down: a tenth of the desktop height from its bottom.
  EXPECT_EQ(place(100, -300, 800, 600).y, 0);
  EXPECT_EQ(place(100, 2000, 800, 600).y, 1080 - 108);
}

TEST(WindowPlacement, SecondMonitorOnTheLeft) {
  // Desktop spans -1280..1920; the left limit uses the desktop's left, the right one W.
  const ScreenMetrics two{{-1280, 0, 3200, 1080}, {0, 0, 1920, 1040}, 1920};
  EXPECT_EQ(place(-1000, 100, 800, 600, two).x, -1000);
  EXPECT_EQ(place(-5000, 100, 800, 600, two).x, -1280 - 800 + 3200 / 15);
  EXPECT_EQ(place(4000, 100, 800, 600, two).x, 3200 - 128);
}

TEST(WindowPlacement, RepeatedPlacementSettles) {
  // The main window applies the rule again to the move it causes itself, so the
  // rule must reach a fixed point quickly (a window pulled onto the desktop may
  // only then be close enough to the work area to snap to it).
  for (int x = -2500; x <= 2500; x += 37)
    for (int y = -400; y <= 1400; y += 41)
      for (int w : {300, 700, 1138, 1915, 2500})
        for (int h : {200, 584, 1036, 1100}) {
          Rect r = place(x, y, w, h);
          int passes = 0;
          for (Rect next = placeWindow(r, kFullHd); !(next == r); next = placeWindow(r, kFullHd)) {
            r = next;
            ASSERT_LT(++passes, 2) << x << "," << y << " " << w << "x" << h;
          }
        }
}
