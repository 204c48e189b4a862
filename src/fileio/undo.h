// Undo from the log: the renames of Undo.log read back against the files as
// they are now, and the command of the velmora-undo program, which gives a
// file its old name again and logs that as a rename of its own.
//
// An undo is a rename like any other: it never replaces a file and never
// numbers. A line counts as undone when a later line reverses it exactly,
// that is, names the first line's old path as its target and the file name
// of the first line's target as its old name.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "fileio/undo_log.h"
#include "platform/fs/filesystem.h"
#include "platform/text/text.h"

namespace velmora {

/// Why a rename of the log can or cannot be undone now.
enum class UndoStatus {
  Ready,        ///< the file is at its path and its old name is free
  Undone,       ///< a later line reverses it
  Gone,         ///< nothing is at its path any more
  NameTaken,    ///< another entry has the old name
  ForeignPath,  ///< its path is not a full path here (a Windows line on POSIX)
  BadName,      ///< the old name would take the file out of its folder
  Ambiguous,    ///< the line reads several ways, and more than one file fits (or
                ///< more than eight ways, which no real pair of names gives)
};

/// One rename of the log as velmora-undo lists it.
struct UndoEntry {
  std::size_t listNumber = 0;  ///< from 1, the newest first
  UndoRecord record;           ///< the reading of the line that fits the files
  UndoStatus status = UndoStatus::Ready;
  std::size_t undoneBy = 0;    ///< list number of the entry reversing it; 0 for none
};

/// Gives `visit` the renames of `lines`, newest first, each checked against
/// the file system now, until it returns false. Blank and unreadable lines
/// are left out; a line that reads several ways takes the reading whose
/// target exists. Time is in proportion to the lines walked, and no line is
/// held once passed.
void WalkUndoEntries(UndoLogLines& lines, const std::function<bool(const UndoEntry&)>& visit,
                     char16_t sep = NativeSeparator());

/// How many renames `lines` hold (all of them are read).
std::size_t CountUndoEntries(UndoLogLines& lines);

/// The path a rename came from: the target's folder and the old name.
Text OldPathOf(const UndoRecord& record, char16_t sep = NativeSeparator());

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
