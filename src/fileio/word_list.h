// The often-used names list, words.txt: one name per line.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/text/text.h"

namespace velmora {

/// At most this much of words.txt is read, and at most this many names kept,
/// so that a huge file cannot stall the window's start.
inline constexpr std::size_t kWordListBytes = 1024 * 1024;
inline constexpr std::size_t kWordListEntries = 10000;

/// The names in the word list at `path`, in file order and as a person reads
/// them (DecodeTextForDisplay): every line that holds more than spaces,
/// exactly as written (leading and trailing spaces kept).
/// Lines end at CR LF, and where a lone LF ends lines (POSIX) also at a lone
/// LF or CR. A UTF-8 byte order mark at the start is dropped, and so is a
/// line cut by the byte limit. Empty when the file cannot be read.
std::vector<Text> ReadWordList(const Text& path);

}  // namespace velmora
