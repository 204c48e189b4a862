// velmora-undo's command: its arguments, its usage, the list it prints and
// the messages that say what an undo did or why not.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "fileio/undo.h"
#include "platform/fs/filesystem.h"
#include "platform/text/text.h"

namespace velmora {

/// `text` for a terminal or a message: non-UTF-8 bytes as \xNN, control and
/// direction-changing characters as \r, \n, \t or \uNNNN, and `"` as \";
/// where "\" is not the separator it is written \\, so that escapes cannot be
/// mistaken for names.
Text ShowText(TextView text, char16_t sep = NativeSeparator());

/// One line of the list for the terminal: the list number right-aligned to
/// `width` digits, the path the file got and the name it had, each quoted
/// through ShowText, and a note when it cannot be undone now.
Text FormatUndoListLine(const UndoEntry& entry, std::size_t width, char16_t sep = NativeSeparator());

/// What the person asked of velmora-undo.
struct UndoRequest {
  enum class Kind { Newest, Entry, List, Help, Invalid } kind = Kind::Newest;
  std::size_t entry = 0;  ///< the list number, for Kind::Entry
  bool notify = false;    ///< show the outcome on the desktop as well
  Text problem;           ///< why the arguments are invalid
};

/// Reads the arguments (after the program name): none, `N`, `--list`,
/// `--help`; `--notify` goes with none or `N`.
UndoRequest ParseUndoArguments(const std::vector<Text>& args);

/// Exit statuses of velmora-undo.
inline constexpr int kUndoDone = 0;
inline constexpr int kNothingToUndo = 1;
inline constexpr int kUndoError = 2;

/// What one run of velmora-undo did.
struct UndoOutcome {
  int exitStatus = kUndoDone;
  Text output;   ///< for stdout: the list or the usage; empty otherwise
  Text message;  ///< for stderr, in plain words: what was done or why not
};

/// The usage text of --help.
Text UndoUsage();

/// Carries out `request` on the log at `logPath`. An undo renames through
/// RenameNoReplaceExact and appends UndoLine(restored path, name it had) to
/// the log, after the log's size rule; a failed append is reported, and the
/// undo stands. With `print`, the list goes to it line by line instead of
/// into the outcome, so that a long log is never held as text.
UndoOutcome RunUndo(const UndoRequest& request, const Text& logPath,
                    char16_t sep = NativeSeparator(),
                    const std::function<void(const Text&)>& print = {});

}  // namespace velmora
