// What the rename window reads of the running program. Start-up fills it; the
// window knows nothing of how.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/text/text.h"

namespace velmora {

struct AppFacts {
  Text commandLine;    ///< the argument text, quotes and all
  /// The text is a path the person chose, not a command line: taken as it
  /// stands even when it no longer names a file.
  bool chosenPath = false;
  Text programFolder;  ///< the program's folder, first home of Undo.log and words.txt
  Text productName;    ///< the caption and the banner's text
  std::int32_t titleColor = 0;  ///< the banner's colour, 0x00BBGGRR
  /// Sets the product constants again; the first activation runs it, as
  /// start-up did.
  std::function<void()> initModes;
};

}  // namespace velmora
