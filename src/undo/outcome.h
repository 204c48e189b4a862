// How velmora-undo reaches a person: a console that shows its text, and the
// outcome of an undo shown on the desktop for a run without a terminal (the
// menu entry's "Undo last rename").
#pragma once

#include "platform/text/text.h"

namespace velmora {

/// Makes the console show the program's UTF-8 output where it would not.
void PrepareConsole();

/// Shows `message`, the outcome of an undo with exit status `exitStatus`, on
/// the desktop: a notification when one can be sent, otherwise a message box.
/// False when nothing could show it; the exit status still tells.
bool ShowOutcome(const Text& message, int exitStatus);

}  // namespace velmora
