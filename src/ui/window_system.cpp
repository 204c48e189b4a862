#include "ui/window_system.h"

#include <QGuiApplication>
#include <QWindow>

#include "ui/frm_quick_ren.h"

namespace velmora {

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

Launch PrepareWindowSystem() { return Launch{qgetenv("DESKTOP_STARTUP_ID")}; }

void ShowForLaunch(frmQuickRen& window, const Launch& launch, bool minimised) {
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    window.winId();  // the X window exists from here on, not yet mapped
    if (QWindow* handle = window.windowHandle()) MarkX11Launch(*handle, launch.startupId);
  }
  window.ShowAtStartup(minimised);
}

bool ShouldRequestActivation() {
  return !(QGuiApplication::platformName() == QLatin1String("xcb") && X11WindowManagerRuns());
}

bool MinimiseMayBeDropped() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

}  // namespace velmora
