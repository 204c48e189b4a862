#include "ui/window_system.h"

#include <QGuiApplication>

namespace velmora {

bool ShouldRequestActivation() {
  return !(QGuiApplication::platformName() == QLatin1String("xcb") && X11WindowManagerRuns());
}

bool MinimiseMayBeDropped() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

}  // namespace velmora
