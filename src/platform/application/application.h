// Application facts: the program's folder, its command-line text, the
// application title, environment variables and clock-seeded random numbers.
#pragma once

#include "platform/text/text.h"

namespace velmora {

/// The running program file's full path (links resolved on POSIX); empty
/// when the platform cannot tell.
Text ProgramPath();

/// The folder of the running program file, without a trailing separator.
/// Empty when the platform cannot tell.
Text ProgramFolder();

/// The user's folders for state and for settings, used when the program's
/// own folder cannot be written: $XDG_STATE_HOME and $XDG_CONFIG_HOME (an
/// absolute path), otherwise ~/.local/state and ~/.config; on Windows both are
/// the user's local application data (%LOCALAPPDATA%). Empty when no such
/// folder is known.
Text UserStateFolder();
Text UserConfigFolder();

/// The name of the program's folder inside those: "velmora", as XDG folders
/// are named, or "Velmora" on Windows.
Text OwnDataFolderName();

/// The command-line text as one string: on POSIX the arguments after the
/// program name joined with single spaces (decoded losslessly), on Windows the
/// raw text after the program name.
Text CommandLineText(int argc, const char* const* argv);

/// The application-wide title, used as the caption of run-time error reports.
void SetAppTitle(const Text& title);
Text AppTitle();

/// The value of an environment variable; empty when unset.
Text Environ(const Text& name);

/// Seeds the random generator from the clock.
void Randomize();
/// The next random number in [0, 1).
double Rnd();

}  // namespace velmora
