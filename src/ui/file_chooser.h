// Asking for the file to rename when the command line names none.
#pragma once

#include <optional>

#include "platform/text.h"

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

/// Whether the command-line text names no file: it is empty, or only the
/// "-st" switch.
bool AsksForFile(const Text& commandLine);

/// The text the window loads as if it were the command line: `commandLine`
/// itself when it names a file, otherwise the path the person chooses; nothing
/// when they cancel.
std::optional<Text> TextToLoad(const Text& commandLine, FileChooser& chooser);

}  // namespace velmora
