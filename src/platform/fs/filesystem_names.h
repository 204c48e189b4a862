// Name rules that every system's rename shares (internal to src/platform).
#pragma once

#include "platform/text/text.h"

namespace velmora::detail {

/// `to` with the trailing dots of its last component removed, as Windows
/// stores names. Error 52 when no name is left, or when the name holds a
/// control character (U+0001..U+001F), which Windows refuses: a line break in
/// a name would also split its line in the undo log. The description of the
/// latter names the first such character ("U+0009"). `separators` are the
/// characters that end a folder in `to`.
Text DropTrailingDots(const Text& to, TextView separators);

}  // namespace velmora::detail
