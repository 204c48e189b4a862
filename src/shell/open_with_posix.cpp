#include "shell/run_file.h"

namespace velmora {

void OpenWithFallback(Desktop& desktop, Shell& shell, const Text& path) {
  if (shell.ChooseProgram(path)) return;
  // Without a chooser the person would otherwise see nothing happen at all.
  desktop.MessageBox(
      u"No program is associated with this file, and no application chooser is available.",
      u"Error Message", MessageIcon::Critical);
}

}  // namespace velmora
