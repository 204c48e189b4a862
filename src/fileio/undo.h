// Undo from the log: the renames of Undo.log read back against the files as
// they are now, and one of them given its old name again, logged as a rename
// of its own. velmora-undo's command line is in src/undo/.
//
// An undo is a rename like any other: it never replaces a file and never
// numbers. A line counts as undone when a later line reverses it exactly,
// that is, names the first line's old path as its target and the file name
// of the first line's target as its old name, and that later line is not
// undone in turn.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "fileio/undo_log.h"
#include "platform/errors/errors.h"
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
  std::int64_t logOffset = 0;  ///< where its line starts in the log
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

/// What giving a file its old name did.
struct UndoAttempt {
  ErrState error;                ///< of the rename; the file is as it was when set
  std::optional<Text> notLogged;  ///< why the log could not take the undo's line
};

/// Gives the file of `entry` its old name through RenameNoReplaceExact and
/// appends UndoLine(restored path, name it had) to the log at `logPath`,
/// after the log's size rule. A failed append leaves the undo standing.
UndoAttempt UndoRename(const UndoEntry& entry, const Text& logPath, char16_t sep = NativeSeparator());

/// "C:\..." or "\\server\...": a path as Windows writes it.
bool LooksLikeWindowsPath(TextView path);

/// The folder part of `path`, empty when it cannot be had.
Text FolderOf(const Text& path, char16_t sep = NativeSeparator());

}  // namespace velmora
