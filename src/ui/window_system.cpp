#include "ui/window_system.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

#include "ui/frm_quick_ren.h"

namespace velmora {
namespace {

bool IsGnome(const EnvLookup& env) {
  // XDG_CURRENT_DESKTOP is a list ("ubuntu:GNOME"); older sessions name only
  // the session desktop.
  for (const char* name : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP"}) {
    for (const QByteArray& desktop : env(name).toLower().split(':'))
      if (desktop == "gnome") return true;
  }
  return false;
}

QByteArray FromEnvironment(const char* name) { return qgetenv(name); }

}  // namespace

QtChoices ChooseQt(const EnvLookup& env) {
  QtChoices choices;
  const bool wayland = !env("WAYLAND_DISPLAY").isEmpty() || env("XDG_SESSION_TYPE") == "wayland";
  const QByteArray forced = env("QT_QPA_PLATFORM");
  if (!wayland && !forced.startsWith("wayland")) return choices;
  // mutter draws no frame for Wayland windows; for X11 windows it draws one.
  // Wayland stays the fall-back, should XWayland not answer.
  if (forced.isEmpty() && IsGnome(env) && !env("DISPLAY").isEmpty()) choices.platform = "xcb;wayland";
  // Qt's own frame always offers maximise, which the fixed-size window must
  // not, whoever chose the platform; a frame plugin the user picked is theirs
  // to judge.
  choices.noQtFrame = env("QT_WAYLAND_DISABLE_WINDOWDECORATION").isEmpty() && env("QT_WAYLAND_DECORATION").isEmpty();
  return choices;
}

std::uint32_t LaunchTime(const QByteArray& startupId) {
  // Read as GTK reads it: the digits after the last "_TIME".
  const qsizetype at = startupId.lastIndexOf("_TIME");
  if (at < 0) return 0;
  std::uint64_t time = 0;
  qsizetype i = at + 5;
  for (; i < startupId.size() && startupId[i] >= '0' && startupId[i] <= '9'; ++i) {
    time = time * 10 + std::uint64_t(startupId[i] - '0');
    if (time > 0xFFFFFFFFu) return 0;  // X server times are 32 bits
  }
  return std::uint32_t(time);
}

Launch PrepareWindowSystem() {
  Launch launch;
  launch.startupId = qgetenv("DESKTOP_STARTUP_ID");
  const QtChoices choices = ChooseQt(FromEnvironment);
  if (!choices.platform.isEmpty()) {
    qputenv("QT_QPA_PLATFORM", choices.platform);
    launch.setForQt.push_back("QT_QPA_PLATFORM");
  }
  if (choices.noQtFrame) {
    qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
    launch.setForQt.push_back("QT_WAYLAND_DISABLE_WINDOWDECORATION");
  }
  return launch;
}

void ShowForLaunch(frmQuickRen& window, Launch& launch, bool minimised) {
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    window.winId();  // the X window exists from here on, not yet mapped
    if (QWindow* handle = window.windowHandle()) MarkX11Launch(*handle, launch.startupId);
  }
  window.ShowAtStartup(minimised);
  // Qt has read its variables by now: the platform when it started, the frame
  // choice when it showed the first window.
  for (const char* name : launch.setForQt) qunsetenv(name);
  launch.setForQt.clear();
}

bool ShouldRequestActivation() {
  return !(QGuiApplication::platformName() == QLatin1String("xcb") && X11WindowManagerRuns());
}

bool MinimiseMayBeDropped() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

void EndProcessNow(int code) {
  // What was cut or copied must outlive the process, which skips Qt's
  // teardown. X11: Qt's own hand-over waits 5 s for a manager that does not
  // answer (as xfce4-clipman), and warns; one that answers does so well
  // within the bound, and without one the text goes with the process, as with
  // Qt's teardown. Windows: the text is rendered into the clipboard now.
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard != nullptr && clipboard->ownsClipboard()) HandClipboardToManager(250);
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace velmora
