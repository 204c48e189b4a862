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
inline constexpr int kVelmoraGioApiVersion = 1;

/// What program_for answers once it has found a program; nothing has been
/// started. Its number is kStarted's, so modules of this version answer as
/// they always have.
inline constexpr long kProgramFound = velmora::open_result::kStarted;

/// The outcomes of asking for a file.
inline constexpr int kFileChosen = 0;
inline constexpr int kFileCancelled = 1;
inline constexpr int kNoFileChooser = 2;

struct VelmoraGioApi {
  int version;
  /// Opens the existing file `path` with the program the desktop associates
  /// with its type, never with this program itself, in the working folder
  /// `folder` ("" for the current one). Returns velmora::open_result::kStarted once started,
  /// otherwise one of the other kOpen codes.
  long (*open_file)(const char* path, const char* folder);
  /// The desktop id of the program open_file would start for `path`, into
  /// `*id` (release with free_text): kProgramFound, or open_file's failure
  /// codes; starts nothing. `self` stands for this program's executable ("" for
  /// the real one).
  long (*program_for)(const char* path, const char* self, char** id);
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
