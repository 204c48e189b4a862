// Path helpers: cut a path into folder, file name and extension, and test a
// path against the file system. Written once against a separator that
// defaults to the native one; tests also run them with "\".
#pragma once

#include "platform/fs/filesystem.h"
#include "platform/shell/desktop.h"
#include "platform/text/text.h"

namespace velmora {

/// The characters a file name cannot hold (on Windows): the name fields refuse
/// them when typed, and the title readers remove them.
inline constexpr TextView kRefusedNameChars = u"\\/:*?<>|\"";

/// The path the command-line text names: the text as it stands when it names
/// an existing entry (a POSIX name may hold a double quote), otherwise the
/// text with every double quote removed.
Text PathFromCommandLine(const Text& commandLine);

/// The text with a trailing separator ensured; an empty text gives the
/// separator alone.
Text AddBackslash(TextView path, char16_t sep = NativeSeparator());

/// The characters that end a folder where `sep` is the separator: with "\"
/// Windows takes "/" too.
TextView PathSeparators(char16_t sep = NativeSeparator());

/// The folder part up to and including the last separator, or empty.
/// Error 6 when a separator lies at position 32,767 or later.
Text GetFolderPath(TextView path, char16_t sep = NativeSeparator());

/// The text after the last separator (the whole path when there is none).
/// Error 6 as GetFolderPath.
Text GetFileName(TextView path, char16_t sep = NativeSeparator());

/// The text after the last dot of the file name, without the dot; empty when
/// the name has no dot or ends with one. Error 6 as GetFileName, or when the
/// last dot lies beyond position 32,767 of the file name.
Text GetFileExt(TextView path, char16_t sep = NativeSeparator());

/// True when a directory search finds an entry for the path and that entry is
/// a folder; every error gives false. The path goes to the file system as it
/// is, so the separator does not take part.
bool FolderExists(const Text& path, char16_t sep = NativeSeparator());

/// The folder to work in, ending with a separator, or empty. An error
/// (overflow past position 32,767) is shown in a box titled
/// "Error in [GetDirName()]" through `desktop`, and gives empty.
Text GetDirName(Desktop& desktop, const Text& path, char16_t sep = NativeSeparator());

}  // namespace velmora
