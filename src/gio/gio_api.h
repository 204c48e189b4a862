// The desktop module's entry points: what the program asks of GIO (file
// associations, the XDG desktop portal's choosers), loaded with dlopen when
// first needed so that a start that never uses them does not pay for GIO.
// Plain C types only: the module and the program share nothing else but the
// Shell seam's result codes (open_result), which the program hands on.
#pragma once

#include "platform/shell/shell.h"

extern "C" {

/// Bumped whenever an entry point changes; a module of another version is
/// not used.
inline constexpr int kVelmoraGioApiVersion = 2;

/// What programs_for answers once it has read the file's type; nothing has
/// been started. Its number is kStarted's, as modules have always answered.
inline constexpr long kProgramFound = velmora::open_result::kStarted;

/// The outcomes of asking for a file.
inline constexpr int kFileChosen = 0;
inline constexpr int kFileCancelled = 1;
inline constexpr int kNoFileChooser = 2;

/// The programs the desktop offers for a file, in its order: the default,
/// then the recommended, then the other registered ones, each once. Both
/// arrays hold `count` texts; an executable is the full path of what the
/// entry starts, found as a shell finds it, or "" when it is not found.
struct VelmoraPrograms {
  int count;
  char** ids;
  char** executables;
};

struct VelmoraGioApi {
  int version;
  /// The programs for the existing file `path` into `*programs` (release with
  /// free_programs): kProgramFound, possibly with none, or a failure code of
  /// velmora::open_result when the file's type cannot be read. Which of them
  /// to start is the program's choice.
  long (*programs_for)(const char* path, VelmoraPrograms* programs);
  void (*free_programs)(VelmoraPrograms* programs);
  /// Opens `path` with the program of desktop id `id` in the working folder
  /// `folder` ("" for the current one): velmora::open_result::kStarted once
  /// started, otherwise one of the other kOpen codes.
  long (*open_with)(const char* id, const char* path, const char* folder);
  /// Shows the portal's "Open With" chooser for `path`; false when there is
  /// no session bus or no portal.
  bool (*choose_program)(const char* path);
  /// Starts `commandLine` (parsed as a shell would, without a shell); the
  /// outcome is not reported.
  void (*start_command_line)(const char* commandLine);
  /// Asks for one existing file with the portal's file chooser, titled
  /// `title`; on kFileChosen its path is in `*path` (release with free_text).
  /// kNoFileChooser at once when there is no session bus or no portal.
  int (*choose_file)(const char* title, char** path);
  void (*free_text)(char* text);
};

/// The module's one exported symbol.
const VelmoraGioApi* velmora_gio_api(void);
using VelmoraGioApiEntry = const VelmoraGioApi* (*)(void);

}  // extern "C"
