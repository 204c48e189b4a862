// The rename of the "Rename!" command: never replaces, numbers taken names,
// never takes the file out of its folder, and produces the undo line.
#pragma once

#include "platform/fs/filesystem.h"
#include "platform/text/text.h"

namespace velmora {

/// What a rename did.
struct RenameResult {
  /// The path the file has afterwards: where it landed, the old path when
  /// nothing changed, empty when the rename failed.
  Text path;
  /// The undo line (UndoLine) of its absolute path and the old file name;
  /// empty when no file got another name.
  Text undoText;
  /// The report for the person when the rename failed, otherwise empty.
  Text report;
};

/// Renames `oldPath` to `newPath`, trying "<newPath without .ext> (n).ext" for
/// n = 1, 2, ... while the target is taken (error 58). Nothing changes for
/// equal paths, or for a name that only loses trailing dots.
RenameResult RenameWithUndo(const Text& oldPath, const Text& newPath, char16_t sep = NativeSeparator());

/// Error 52, with the reason in plain words, when the file name `name` would
/// not keep a file in its folder: it holds a separator ("/"; with "\" as the
/// separator both), or it is made of dots only ("." and ".." are folders).
void CheckNewFileName(TextView name, char16_t sep = NativeSeparator());

/// The "Rename!" command on the fields as the person left them: the new path
/// is `folder` + `baseName` + "." + `ext`, each without surrounding spaces.
/// A new name that CheckNewFileName refuses, or a new path in another folder
/// (a relative folder that starts with a space, trimmed), fails like any
/// rename, before anything is touched.
RenameResult RenameFromFields(const Text& oldPath, const Text& folder, const Text& baseName,
                              const Text& ext, char16_t sep = NativeSeparator());

/// What "Rename!" would do with the fields as they are now, said before it
/// is pressed: the numbered name a taken name gets, a name that file
/// managers hide, a name too long for a file system, or a refused name.
struct RenameHint {
  enum class Kind { None, Refused, TooLong, Taken, Hidden } kind = Kind::None;
  Text text;  ///< in plain words; empty for None
};

/// The hint for the fields of RenameFromFields. One look-up of the new name;
/// more only when it is taken, to find the number "Rename!" will give.
RenameHint HintForFields(const Text& oldPath, const Text& folder, const Text& baseName, const Text& ext,
                         char16_t sep = NativeSeparator());

}  // namespace velmora
