// The window's button in the desktop's task bar, through the window state the desktop reads
// (EWMH _NET_WM_STATE_SKIP_TASKBAR). Only an X11 desktop has it: elsewhere nothing changes. A
// window manager may ignore the state, and a withdrawn (hidden) window loses it: set it again
// before every showing.
#pragma once

class QWidget;

namespace platform {

// Hides or shows the button of a top-level window; false when the desktop has no such state.
bool setTaskbarButtonHidden(QWidget* window, bool hidden);

// Whether the window's own state says its button is hidden (as the desktop last recorded it).
bool taskbarButtonHidden(QWidget* window);

}  // namespace platform
