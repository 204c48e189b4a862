#include "shell/run_file.h"

namespace velmora {

void OpenWithFallback(Desktop&, Shell& shell, const Text& path) {
  // The path follows the literal directly, unquoted: the dialog takes the rest
  // of the command line as the file name, spaces included.
  shell.StartCommandLine(u"rundll32.exe shell32.dll,OpenAs_RunDLL " + path, show::kMinimized);
}

}  // namespace velmora
