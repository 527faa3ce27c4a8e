#pragma once
// Scrolling a page never edits: drop-downs and spin boxes take wheel events only while
// they have the keyboard focus. Otherwise the wheel event goes on to the parent, so the
// page or list under the pointer scrolls instead.

class QWidget;

namespace pw::ui {

// Guards every drop-down and spin box under `root` (and root itself), now; call it
// again for controls created later. A guarded control no longer takes the focus from
// the wheel.
void guardWheel(QWidget* root);

}  // namespace pw::ui
