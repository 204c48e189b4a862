// The shell seam: open a file with its associated program, and start a command
// line. The program passes the real one, tests pass a recording fake.
#pragma once

#include "platform/text/text.h"

namespace velmora {

/// Window show states as the platform numbers them.
namespace show {
inline constexpr int kHide = 0;
inline constexpr int kNormal = 1;
inline constexpr int kMinimized = 2;
}  // namespace show

/// What Execute answers: the classic codes of opening a file. Above 32 the
/// file was opened; 32 and below say why not.
namespace open_result {
inline constexpr long kOtherFailure = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kPathNotFound = 3;
inline constexpr long kAccessDenied = 5;
inline constexpr long kOutOfMemory = 8;
inline constexpr long kInvalidProgram = 11;
inline constexpr long kInvalidLibrary = 20;
inline constexpr long kNoAssociation = 31;
inline constexpr long kStarted = 42;  ///< any value above 32 says the same
}  // namespace open_result

class Shell {
 public:
  virtual ~Shell() = default;
  /// Performs `verb` ("Open") on `file` with the associated program, in the
  /// working folder `directory`. Returns above 32 on success, otherwise the
  /// classic failure code: 2 file not found, 3 path not found, 5 access
  /// denied, 31 no associated program, 8 out of memory, 0 other.
  /// Does not wait for the started program.
  virtual long Execute(const Text& verb, const Text& file, const Text& parameters,
                       const Text& directory, int showCommand) = 0;
  /// Starts the program named at the head of `commandLine`; the outcome is
  /// not reported. On Windows a bare name is the system folder's program.
  virtual void StartCommandLine(const Text& commandLine, int showCommand) = 0;
  /// Lets the person choose a program for `file` (the desktop's "Open With"
  /// chooser). Returns false when the desktop offers no chooser.
  virtual bool ChooseProgram(const Text& file) = 0;
};

}  // namespace velmora
