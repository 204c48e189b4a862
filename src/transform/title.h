// Titles from file content: a proposed base name taken from the page title of
// an HTML file or from the first usable line of a text file. The readers only
// read the file, never report an error and do bounded work on any file.
#pragma once

#include "platform/text/text.h"

namespace velmora {

/// `text` with every character of `set` replaced by `replacement`; a
/// one-character replacement is not appended right after that same character.
/// Error 6 (overflow) for a text of 32,767 characters or more.
Text ReplaceChars(TextView text, TextView replacement, TextView set);

/// The longest title the window's title commands take, in UTF-16 units.
inline constexpr int kTitleLength = 100;

/// The page title of the file at `path` without the characters a file name
/// cannot hold and without line breaks, trimmed, cut to `maxLength` code units
/// (one fewer where the cut would split a surrogate pair) and trimmed again;
/// the empty text when there is none or anything fails.
Text GetHtmlTitle(const Text& path, int maxLength);

/// The first line of the file at `path` that holds more than spaces once the
/// characters a file name cannot hold are removed, cut to `maxLength` code
/// units as GetHtmlTitle cuts, and trimmed; the empty text when there is none
/// or anything fails.
Text GetTextTitle(const Text& path, int maxLength);

}  // namespace velmora
