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
#include <optional>
#include <vector>

#include "fileio/undo_log.h"
#include "platform/fs/filesystem.h"
#include "platform/text/text.h"

namespace velmora {

/// The lines of a log's text without their line ends, oldest first. CR LF,
/// a lone CR and a lone LF each end a line: a name holding one is always
/// written escaped, so none lies inside a name. A last piece without its line
/// end is left out, since lines are written whole and it may be torn.
std::vector<Text> UndoLogLines(TextView text);

/// The whole log at `path` decoded as the log is written; nothing when there
/// is no log. Other failures (no access) are raised.
std::optional<Text> ReadUndoLog(const Text& path);

/// Why a rename of the log can or cannot be undone now.
enum class UndoStatus {
  Ready,        ///< the file is at its path and its old name is free
  Undone,       ///< a later line reverses it
  Gone,         ///< nothing is at its path any more
  NameTaken,    ///< another entry has the old name
  ForeignPath,  ///< its path is not a full path here (a Windows line on POSIX)
  BadName,      ///< the old name would take the file out of its folder
  Ambiguous,    ///< the line reads several ways, and more than one file fits
};

/// One rename of the log as velmora-undo lists it.
struct UndoEntry {
  std::size_t lineNumber = 0;  ///< in the log, from 1
  UndoRecord record;           ///< the reading of the line that fits the files
  UndoStatus status = UndoStatus::Ready;
  std::size_t undoneBy = 0;    ///< list number of the entry reversing it; 0 for none
};

/// The renames of `lines` (as UndoLogLines gives them), newest first: entry
/// k of the result has list number k + 1. Blank and unreadable lines are
/// left out. Each entry is checked against the file system now; a line that
/// reads several ways takes the reading whose target exists.
std::vector<UndoEntry> ListUndoEntries(const std::vector<Text>& lines,
                                       char16_t sep = NativeSeparator());

/// The path a rename came from: the target's folder and the old name.
Text OldPathOf(const UndoRecord& record, char16_t sep = NativeSeparator());

/// `text` for a terminal or a message: non-UTF-8 bytes as \xNN, control and
/// direction-changing characters as \r, \n, \t or \uNNNN, and `"` as \";
/// where "\" is not the separator it is written \\, so that escapes cannot be
/// mistaken for names.
Text ShowText(TextView text, char16_t sep = NativeSeparator());

/// The list of `entries` for the terminal, one line each: list number, the
/// path the file got and the name it had, each quoted through ShowText, and a
/// note for entries that cannot be undone now.
Text FormatUndoList(const std::vector<UndoEntry>& entries, char16_t sep = NativeSeparator());

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
/// undo stands.
UndoOutcome RunUndo(const UndoRequest& request, const Text& logPath,
                    char16_t sep = NativeSeparator());

}  // namespace velmora
