// macOS: no X11, so nothing to mark and no X11 window manager; the pasteboard
// keeps what was copied without help.
#include "ui/window_system.h"

namespace velmora {

void MarkX11Launch(QWindow&, const QByteArray&) {}
bool X11WindowManagerRuns() { return false; }
void HandClipboardToManager(int) {}

}  // namespace velmora
