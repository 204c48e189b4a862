// The operating system's shell behind the Shell seam: the desktop's file
// associations, its "Open With" chooser and starting a command line.
#pragma once

#include <memory>

#include "platform/shell.h"

namespace velmora {

/// The shell of this platform: ShellExecuteW on Windows; elsewhere the
/// desktop's associations as GIO sees them and the XDG desktop portal's chooser.
std::unique_ptr<Shell> MakeRealShell();

}  // namespace velmora
