// No X11 here: no X11 window manager.
#include "ui/window_system.h"

namespace velmora {

bool X11WindowManagerRuns() { return false; }

}  // namespace velmora
