// Opening the file with the program the desktop associates with its type,
// falling back to the desktop's "Open With" chooser, with failures reported
// in a message box.
#pragma once

#include "platform/shell/desktop.h"
#include "platform/shell/shell.h"
#include "platform/text/text.h"

namespace velmora {

/// The text of the "Error Message" box for a failed open's result code; the
/// empty text for codes the table does not name (32 among them).
Text RunFileMessage(long code);

/// Opens `path` with its associated program in the folder GetDirName gives,
/// without waiting for it. Code 31 (no association) offers the chooser
/// instead; any other failure shows its message. Returns once the program
/// has started or the person has closed the box.
void RunFile(Desktop& desktop, Shell& shell, const Text& path, int showCommand);

/// Lets the person pick a program for `path` when none is associated: the
/// shell's Open With dialog on Windows, the desktop's application chooser
/// elsewhere, and a message box where the desktop offers none.
void OpenWithFallback(Desktop& desktop, Shell& shell, const Text& path);

}  // namespace velmora
