// Asking for the file to rename when the command line names none.
#pragma once

#include <optional>

#include "platform/text/text.h"

namespace velmora {

/// The seam between start-up and the desktop's file chooser; tests pass a fake.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  /// The full path of the file the person chose; nothing when they cancelled.
  virtual std::optional<Text> ChooseFile() = 0;
};

/// The desktop's file chooser: the XDG desktop portal's where a session bus
/// offers one, otherwise Qt's own dialog, in which a full path typed into the
/// name field and Enter choose that file.
class DesktopFileChooser final : public FileChooser {
 public:
  std::optional<Text> ChooseFile() override;
};

}  // namespace velmora
