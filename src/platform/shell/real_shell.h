// The operating system's shell behind the Shell seam: the desktop's file
// associations, its "Open With" chooser and starting a command line; and the
// desktop's own file chooser, asked at start when no file was given.
#pragma once

#include <memory>

#include "platform/shell/shell.h"
#include "platform/text/text.h"

namespace velmora {

/// The shell of this platform: ShellExecuteW on Windows; on Linux the
/// desktop's associations as GIO sees them and the XDG desktop portal's
/// chooser; on macOS none yet (every file answers 31). "Open" never starts
/// Velmora itself: when the desktop would, the next program for the type is
/// used, or none (31, so the chooser follows).
std::unique_ptr<Shell> MakeRealShell();

/// What the desktop's own file chooser gave.
struct ChosenFile {
  enum Outcome { Chosen, Cancelled, Unavailable };
  Outcome outcome;
  Text path;  ///< the full path, when Chosen
};

/// Asks for one existing file with the desktop's file chooser (the XDG desktop
/// portal). Unavailable, without waiting, when there is no session bus or no
/// portal, and on systems whose toolkit dialog is the desktop's own.
ChosenFile ChooseFileWithDesktop(const Text& title);

/// POSIX: the desktop id of the program Execute would start for `file`, chosen
/// the same way, without starting it; `self` stands for this program's
/// executable (empty: the running one). Empty when there is none.
Text ProgramIdFor(const Text& file, const Text& self);

}  // namespace velmora
