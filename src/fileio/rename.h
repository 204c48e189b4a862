// The rename of the "Rename!" command: never replaces, numbers taken names,
// and produces the undo line.
#pragma once

#include "platform/filesystem.h"
#include "platform/text.h"

namespace velmora {

/// Renames `oldPath` to `newPath`, trying "<newPath without .ext> (n).ext" for
/// n = 1, 2, ... while the target is taken (error 58). Returns the path the
/// file has afterwards: the target on success, `oldPath` when both are equal
/// (no file operation), empty on failure. `undoText` is set only on success,
/// to: Ren "<target>" "<file name of oldPath>". On failure `report` (when
/// given) receives the report text for the person; otherwise it is untouched.
Text RenameWithUndo(const Text& oldPath, const Text& newPath, Text& undoText,
                    Text* report = nullptr, char16_t sep = NativeSeparator());

}  // namespace velmora
