// The rename of the "Rename!" command: never replaces, numbers taken names,
// never takes the file out of its folder, and produces the undo line.
#pragma once

#include "platform/fs/filesystem.h"
#include "platform/text/text.h"

namespace velmora {

/// Renames `oldPath` to `newPath`, trying "<newPath without .ext> (n).ext" for
/// n = 1, 2, ... while the target is taken (error 58). Returns the path the
/// file has afterwards: the target as it landed on success, `oldPath` when
/// nothing changed (equal paths, or a name that only loses trailing dots),
/// empty on failure. `undoText` is set only when the file got another name,
/// to the undo line (UndoLine) of its absolute path and the old file name.
/// On failure `report` (when given) receives the report text for the person;
/// otherwise it is untouched.
Text RenameWithUndo(const Text& oldPath, const Text& newPath, Text& undoText,
                    Text* report = nullptr, char16_t sep = NativeSeparator());

/// Error 52, with the reason in plain words, when the file name `name` would
/// not keep a file in its folder: it holds a separator ("/"; with "\" as the
/// separator both), or it is made of dots only ("." and ".." are folders).
void CheckNewFileName(TextView name, char16_t sep = NativeSeparator());

/// What the "Rename!" command did.
struct RenameOutcome {
  Text undoText;  ///< the undo line, empty when no file got another name
  Text report;    ///< the failure report for the person, empty on success
};

/// The "Rename!" command on the fields as the person left them: the new path
/// is `folder` + `baseName` + "." + `ext`, each without surrounding spaces.
/// A new name that CheckNewFileName refuses fails like any rename, before
/// anything is touched.
RenameOutcome RenameFromFields(const Text& oldPath, const Text& folder, const Text& baseName,
                               const Text& ext, char16_t sep = NativeSeparator());

}  // namespace velmora
