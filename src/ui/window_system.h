// Start-up's dealings with the desktop's window system: which Qt platform and
// window frame to use, what a launcher hands over, and the window-manager
// conventions that Qt leaves to the program.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <vector>

class QWindow;

namespace velmora {

class frmQuickRen;

/// Reads one environment variable; empty when unset.
using EnvLookup = std::function<QByteArray(const char* name)>;

/// What start-up asks of Qt for this desktop.
struct QtChoices {
  QByteArray platform;    ///< the Qt platform to ask for; empty leaves Qt's own choice
  bool noQtFrame = false; ///< whether Qt must not draw a window frame of its own
};

/// The choices for the desktop that `env` describes. On a GNOME Wayland
/// session with XWayland: X11 first, where the compositor draws a frame that
/// honours the fixed size and the launcher's startup notification applies. On
/// Wayland: no frame drawn by Qt, whose frame always offers maximise and breaks
/// a fixed-size window (compositors that draw frames themselves still do).
/// What the user asked for through Qt's own variables stands.
QtChoices ChooseQt(const EnvLookup& env);

/// The X server time of the user action that started the program, from a
/// startup-notification ID ("..._TIME<time>"); 0 when it carries none.
std::uint32_t LaunchTime(const QByteArray& startupId);

/// What start-up keeps from before QApplication.
struct Launch {
  QByteArray startupId;               ///< DESKTOP_STARTUP_ID, which Qt takes from the environment
  std::vector<const char*> setForQt;  ///< variables set for Qt alone, removed once the window is up
};

/// Applies ChooseQt to the environment and reads the launch; call before
/// QApplication. DESKTOP_STARTUP_ID is left for Qt, which sends the
/// startup-notification "remove" message itself.
Launch PrepareWindowSystem();

/// Shows `window` as start-up does (minimised with `minimised`). On X11 the
/// window first carries the launch's startup ID and time, so the window
/// manager can apply the user's focus policy. The variables set for Qt are
/// removed afterwards, so programs started from the window do not inherit them.
void ShowForLaunch(frmQuickRen& window, Launch& launch, bool minimised);

/// Whether the program should ask for its window's activation itself. Not
/// under an X11 window manager: it decides from the launch time whether a new
/// window takes the focus, and a request from the program would override that.
bool ShouldRequestActivation();

/// Whether a minimise requested before the window was on screen may have been
/// dropped: Wayland compositors may ignore it before the first frame (weston
/// does) and never report the state back.
bool MinimiseMayBeDropped();

/// Ends the process at once with `code`, after flushing the C streams; call
/// when the window is gone and the undo log is closed. Qt's teardown is
/// skipped: on Wayland it can hang joining its event thread (Qt 6.4); on X11
/// it waits up to 5 s for a clipboard manager that never answers. A clipboard
/// this program owns is first offered to the clipboard manager, for a short
/// while only.
void EndProcessNow(int code);

// Per system (window_system_x11.cpp and its stand-ins elsewhere).

/// X11: marks the created, not yet mapped `window` with the launcher's
/// startup ID and, when the ID carries one, the launch time as its last user
/// time, as the window-manager conventions (EWMH) ask of a new window.
void MarkX11Launch(QWindow& window, const QByteArray& startupId);
/// X11: whether a window manager that follows the EWMH conventions runs.
bool X11WindowManagerRuns();
/// Called when this program owns the clipboard and is about to end. X11:
/// when a clipboard manager runs, asks it to save the clipboard (ICCCM
/// SAVE_TARGETS) and serves its requests until it answers or `waitMs` have
/// passed. Windows: renders the clipboard's data now (OleFlushClipboard), as
/// Qt's teardown would. macOS keeps the pasteboard itself.
void HandClipboardToManager(int waitMs);

}  // namespace velmora
