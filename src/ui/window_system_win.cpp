// Windows: no X11 to mark or ask; the clipboard's data is put in place before
// the process ends without Qt's teardown.
#include <ole2.h>

#include "ui/window_system.h"

namespace velmora {

void MarkX11Launch(QWindow&, const QByteArray&) {}
bool X11WindowManagerRuns() { return false; }
// Qt offers the clipboard's data on request (delayed rendering); without this
// a Copy or Cut would vanish with the window.
void HandClipboardToManager(int) { OleFlushClipboard(); }

}  // namespace velmora
