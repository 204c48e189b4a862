// The undo log and the word list: where they are kept, the size rule, and the
// undo line, which the companion undo program reads back.
//
// Line format, one line per use of "Rename!", each ending in CR LF:
//   Ren "<path the file has now>" "<its old file name>"
// written as the names are, with no escaping. A blank line stands for a use
// that renamed nothing. A name holding CR or LF (possible on POSIX) would
// split that line, so such a line has another verb and escapes its names:
//   RenEsc "<path>" "<old name>"
// where \\ stands for a backslash, \r for CR, \n for LF and \" for a double
// quote, and every other character for itself. No real line starts with
// "RenEsc", so the two forms cannot be confused.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/fs/filesystem.h"
#include "platform/text/text.h"

namespace velmora {

/// A log past this many bytes is started afresh at the next start.
inline constexpr std::int64_t kUndoLogLimit = 65536;

/// Undo.log in `programFolder` when this program may write that folder;
/// otherwise <user state folder>/velmora/Undo.log, its folder made when
/// missing unless `makeFolder` is false (a reader has nothing to make). Where
/// the platform has no such folder (Windows) it stays in the program's folder.
Text UndoLogPath(const Text& programFolder, char16_t sep = NativeSeparator(), bool makeFolder = true);

/// words.txt in `programFolder` when there is one; otherwise
/// <user settings folder>/velmora/words.txt (which may not exist either).
Text WordListPath(const Text& programFolder, char16_t sep = NativeSeparator());

/// Deletes the log at `path` when it is larger than kUndoLogLimit bytes.
/// A log that a running copy holds open stays (its next line would be lost);
/// every failure is ignored.
void ApplyUndoLogSizeRule(const Text& path);

/// The undo line (without its line end) for a file now at `target` whose
/// file name was `oldName`.
Text UndoLine(const Text& target, const Text& oldName);

/// One rename as the log records it.
struct UndoRecord {
  Text target;   ///< the path the file got
  Text oldName;  ///< the file name it had
  bool operator==(const UndoRecord&) const = default;
};

/// Every way `line` (without its line end) reads as an undo line: none for a
/// blank, torn or foreign line; more than one only when a name of a Ren line
/// holds `" "`, which that form cannot tell from the gap between the names.
std::vector<UndoRecord> ParseUndoLine(TextView line);

}  // namespace velmora
