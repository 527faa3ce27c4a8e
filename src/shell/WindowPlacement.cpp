#include "shell/WindowPlacement.h"

#include <algorithm>
#include <cstdlib>

namespace pw {

namespace {

// One axis of the edge snapping: near the start edge the window starts there; else,
// with its far edge near the area's far edge, it ends exactly there.
void snapEdge(int& pos, int length, int areaStart, int areaEnd) {
  if (std::abs(pos) <= areaStart + kSnapDistance)
    pos = areaStart;
  else if (std::abs(pos + length - areaEnd) <= kSnapDistance)
    pos = areaEnd - length;
}

// A window at the area's start whose length is close to the area's fills it exactly.
void snapLength(int pos, int& length, int areaStart, int areaLength) {
  if (pos == areaStart && std::abs(length - areaLength) <= kSnapDistance) length = areaLength;
}

}  // namespace

Rect placeWindow(Rect r, const ScreenMetrics& s) {
  const Rect& work = s.workArea;
  const Rect& desk = s.desktop;
  snapEdge(r.x, r.w, work.x, work.right());
  snapEdge(r.y, r.h, work.y, work.bottom());
  snapLength(r.x, r.w, work.x, work.w);
  snapLength(r.y, r.h, work.y, work.h);

  r.w = std::min(std::max(r.w, kMinimumWindowWidth), desk.w);
  r.h = std::min(std::max(r.h, kMinimumWindowHeight), desk.h);

  // Keep enough of the window on the desktop to grab it again; not std::clamp, whose
  // bounds may cross on a very narrow desktop (the upper bound then wins).
  r.x = std::min(std::max(r.x, desk.x - r.w + desk.w / 15), desk.w - s.screenWidth / 15);
  r.y = std::min(std::max(r.y, desk.y), desk.bottom() - desk.h / 10);
  return r;
}

}  // namespace pw
