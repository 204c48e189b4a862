// Facts about native paths that the POSIX files by number, files by name and
// shell share (internal to src/platform).
#pragma once

#include <string>

#include "platform/text/text.h"

namespace velmora::detail {

/// The native form of `path`; error 52 for an empty path or one no name can hold.
std::string NativeOf(const Text& path);

/// The text after the last slash of `native`.
std::string LastComponent(const std::string& native);

/// The folder holding the last component of `native`: "." for a bare name,
/// "/" for a name in the root.
std::string FolderOf(const std::string& native);

/// The error for a `native` path that names nothing: 53 (file not found) when
/// its folder is there, 76 (path not found) when the folder is missing too.
int MissingPathError(const std::string& native);

}  // namespace velmora::detail
