// Start-up's dealings with the desktop's window system: the window-manager
// conventions that Qt leaves to the program.
#pragma once

namespace velmora {

/// Whether the program should ask for its window's activation itself. Not
/// under an X11 window manager: it decides whether a new window takes the
/// focus, and a request from the program would override that.
bool ShouldRequestActivation();

/// Whether a minimise requested before the window was on screen may have been
/// dropped: Wayland compositors may ignore it before the first frame (weston
/// does) and never report the state back.
bool MinimiseMayBeDropped();

// Per system (window_system_linux.cpp and its stand-ins elsewhere).

/// X11: whether a window manager that follows the EWMH conventions runs.
bool X11WindowManagerRuns();

}  // namespace velmora
