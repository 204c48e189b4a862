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
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/files.h"
#include "platform/fs/filesystem.h"
#include "platform/text/text.h"

namespace velmora {

/// A log past this many bytes is started afresh at the next start.
inline constexpr std::int64_t kUndoLogLimit = 65536;

/// A line that reverses an earlier one lies within this many bytes after it:
/// every writer starts a log past kUndoLogLimit afresh before it adds a line,
/// and the few windows that may be open at once add one line each.
inline constexpr std::int64_t kUndoReach = 2 * kUndoLogLimit;

/// Undo.log in `programFolder` when this program may write that folder;
/// otherwise <user state folder>/velmora/Undo.log (%LOCALAPPDATA%\Velmora on
/// Windows), its folder made when missing unless `makeFolder` is false (a
/// reader has nothing to make). With no such folder it stays in the program's.
Text UndoLogPath(const Text& programFolder, char16_t sep = NativeSeparator(), bool makeFolder = true);

/// words.txt in `programFolder` when there is one; otherwise
/// <user settings folder>/velmora/words.txt (%LOCALAPPDATA%\Velmora on
/// Windows), which may not exist either.
Text WordListPath(const Text& programFolder, char16_t sep = NativeSeparator());

/// Deletes the log at `path` when it is larger than kUndoLogLimit bytes.
/// A log that a running copy holds open stays (its next line would be lost);
/// every failure is ignored.
void ApplyUndoLogSizeRule(const Text& path);

/// The undo line (without its line end) for a file now at `target` whose
/// file name was `oldName`.
Text UndoLine(const Text& target, const Text& oldName);

class CTextFile;

/// What appending a line to the log did.
struct UndoLogWrite {
  bool written = false;
  Text reason;  ///< why not, for a message that says where the line went
};

/// The log as its writers hold it: the window from load to unload, so that
/// another copy cannot delete it meanwhile, and velmora-undo for one line.
/// Opening applies the size rule first; every line goes in whole.
class UndoLogWriter {
 public:
  /// Applies the size rule to the log at `path`, then opens it for
  /// appending; a log that will not open makes every Append fail.
  explicit UndoLogWriter(Text path);
  ~UndoLogWriter();
  UndoLogWriter(const UndoLogWriter&) = delete;
  UndoLogWriter& operator=(const UndoLogWriter&) = delete;

  const Text& Path() const { return path_; }
  /// Appends `line` and CR LF in one write that lands whole or not at all.
  /// When the log's last line has no line end (edited by hand, or torn), a
  /// CR LF goes first, so that the new line stays a line of its own.
  UndoLogWrite Append(const Text& line);
  /// Closes the log; the reason when closing lost what was written.
  std::optional<Text> Close();

 private:
  Text path_;
  std::unique_ptr<CTextFile> file_;  // null once closed
};

/// The whole lines of the log at a path, read from the newest back in steps,
/// so that a recent line is found without reading the rest. CR LF, a lone CR
/// and a lone LF each end a line: a name holding one is always written
/// escaped, so none lies inside a name. A last piece without its line end is
/// left out, since lines are written whole and it may be torn.
class UndoLogLines {
 public:
  /// Raises as an input open does (53 for no log), and 75 for a file larger
  /// than any log grows, which is none of ours.
  explicit UndoLogLines(const Text& path);
  /// The line before the last one given (the newest, first), decoded as the
  /// log is written; false once the oldest is passed. Read errors are raised.
  bool Previous(Text& line);
  /// The file offset at which the line last given starts.
  std::int64_t Offset() const { return lineOffset_; }

 private:
  /// Reads the step before what is held; false at the start of the file.
  bool Extend();

  Text path_;               // opened for each step: the log is never held
                            // open, so an undo can start it afresh
  std::int64_t start_ = 0;  // the file offset of buffer_[0]
  std::int64_t lineOffset_ = 0;
  std::string buffer_;      // the lines not given yet, the last one's end included
};

/// One rename as the log records it.
struct UndoRecord {
  Text target;   ///< the path the file got
  Text oldName;  ///< the file name it had
  bool operator==(const UndoRecord&) const = default;
};

/// Every way `line` (without its line end) reads as an undo line: none for a
/// blank, torn or foreign line; more than one only when a name of a Ren line
/// holds `" "`, which that form cannot tell from the gap between the names.
/// Only readings a file could have count: names of at most kLongestFileName
/// characters and a target of at most kLongestPath, so that a crafted line
/// costs time in proportion to its length.
std::vector<UndoRecord> ParseUndoLine(TextView line);

/// The longest file name any supported system stores, in UTF-16 units.
inline constexpr std::size_t kLongestFileName = 255;
/// The longest path any supported system opens (Windows' long paths).
inline constexpr std::size_t kLongestPath = 32767;

}  // namespace velmora
