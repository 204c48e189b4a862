// The desktop's file associations and choosers through GIO and the XDG
// desktop portal (Linux). The GIO work lives
// in the desktop module (src/gio), loaded beside the program on first use:
// a start that never presses "run" or asks for a file does not load GIO.
#include "platform/shell/real_shell.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "gio/gio_api.h"
#include "platform/application/application.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/fs/paths_posix.h"
#include "platform/shell/program_choice.h"
#include "platform/text/text.h"

#ifndef VELMORA_GIO_MODULE
#error "VELMORA_GIO_MODULE names the desktop module's file"
#endif

namespace velmora {
namespace {

/// The desktop module, loaded from the program's folder the first time it is
/// needed and kept for the life of the program; null when it cannot be loaded.
const VelmoraGioApi* DesktopModule() {
  static const VelmoraGioApi* const api = []() -> const VelmoraGioApi* {
    std::string folder;
    try {
      folder = ToNativePath(ProgramFolder());
    } catch (const RuntimeError&) {
      return nullptr;
    }
    if (folder.empty()) return nullptr;
    const std::string file = folder + "/" + VELMORA_GIO_MODULE;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    const auto entry = reinterpret_cast<VelmoraGioApiEntry>(dlsym(handle, "velmora_gio_api"));
    const VelmoraGioApi* loaded = entry != nullptr ? entry() : nullptr;
    if (loaded == nullptr || loaded->version != kVelmoraGioApiVersion) {
      dlclose(handle);
      return nullptr;
    }
    return loaded;
  }();
  return api;
}

/// Text the module gave, released with the module's own allocator.
Text TakeText(const VelmoraGioApi* module, char* chars) {
  if (chars == nullptr) return {};
  std::unique_ptr<char, void (*)(char*)> owned(chars, module->free_text);
  return FromNativePath(owned.get());
}

/// The native bytes of `path`, or false when no file can bear that name (an
/// embedded NUL, a stray surrogate) or the name is empty.
bool NativeOf(const Text& path, std::string& native) noexcept {
  try {
    native = ToNativePath(path);
    return !native.empty();
  } catch (const RuntimeError&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

/// Whether the folder that would hold `native` is missing too; a trailing
/// slash names the entry itself, so its parent decides.
bool FolderMissing(std::string native) {
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  return detail::MissingPathError(native) == err::kPathNotFound;
}

/// The code for a path that stat() refused with `error`.
long CodeForStatError(const std::string& native, int error) {
  switch (error) {
    case ENOENT: return FolderMissing(native) ? open_result::kPathNotFound : open_result::kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return open_result::kPathNotFound;
    case EACCES:
    case EPERM: return open_result::kAccessDenied;
    case ENOMEM: return open_result::kOutOfMemory;
    default: return open_result::kOtherFailure;
  }
}

/// 0 when `native` names a file this program may read, otherwise the code
/// that says why not: the program would fail on it, so say so before
/// starting one.
long CodeForUnopenable(const std::string& native) {
  struct stat status;
  if (stat(native.c_str(), &status) != 0) return CodeForStatError(native, errno);
  if (access(native.c_str(), R_OK) != 0) return errno == ENOMEM ? open_result::kOutOfMemory : open_result::kAccessDenied;
  return 0;
}

/// Whether `a` and `b` name the same file, through any links.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first;
  struct stat second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

/// The program "run" may start for the readable file `native`, by desktop
/// id: kProgramFound with `id` set, or the code that says why there is none.
/// `self` is this program's executable.
long ChooseProgramFor(const VelmoraGioApi* module, const std::string& native, const std::string& self,
                      std::string& id) {
  VelmoraPrograms programs{0, nullptr, nullptr};
  const long found = module->programs_for(native.c_str(), &programs);
  std::vector<ProgramCandidate> candidates;
  try {
    for (int i = 0; i < programs.count; ++i) candidates.push_back({programs.ids[i], programs.executables[i]});
  } catch (const std::bad_alloc&) {
    module->free_programs(&programs);
    return open_result::kOutOfMemory;
  }
  module->free_programs(&programs);
  if (found != kProgramFound) return found;
  const auto chosen = FirstProgramNotVelmora(
      candidates, [&](const std::string& executable) { return !self.empty() && SameFile(executable, self); });
  if (!chosen) return open_result::kNoAssociation;
  id = candidates[*chosen].id;
  return kProgramFound;
}

/// This program's executable, native; empty when unknown.
std::string OwnExecutable() {
  std::string native;
  if (!NativeOf(ProgramPath(), native)) native.clear();
  return native;
}

/// Opening files by their desktop association. Window show states have no
/// meaning here (the window manager places windows), and an association takes
/// files only, so `parameters` are not passed on.
class PosixShell final : public Shell {
 public:
  long Execute(const Text& verb, const Text& file, const Text&, const Text& directory,
               int) override {
    // Associations exist for opening only; another verb has no program.
    if (!verb.empty() && LCase(verb) != u"open") return open_result::kNoAssociation;
    std::string native;
    if (!NativeOf(file, native)) return open_result::kFileNotFound;
    std::string folder;
    if (!directory.empty() && !NativeOf(directory, folder)) folder.clear();
    if (const long refused = CodeForUnopenable(native)) return refused;
    const VelmoraGioApi* module = DesktopModule();
    if (module == nullptr) return open_result::kInvalidLibrary;
    std::string id;
    const long found = ChooseProgramFor(module, native, OwnExecutable(), id);
    if (found != kProgramFound) return found;
    return module->open_with(id.c_str(), native.c_str(), folder.c_str());
  }

  void StartCommandLine(const Text& commandLine, int) override {
    std::string native;
    if (!NativeOf(commandLine, native)) return;
    if (const VelmoraGioApi* module = DesktopModule()) module->start_command_line(native.c_str());
  }

  bool ChooseProgram(const Text& file) override {
    std::string native;
    if (!NativeOf(file, native)) return false;
    const VelmoraGioApi* module = DesktopModule();
    return module != nullptr && module->choose_program(native.c_str());
  }
};

}  // namespace

std::unique_ptr<Shell> MakeRealShell() { return std::make_unique<PosixShell>(); }

ChosenFile ChooseFileWithDesktop(const Text& title) {
  std::string nativeTitle;
  const VelmoraGioApi* module = DesktopModule();
  if (module == nullptr || !NativeOf(title, nativeTitle)) return {ChosenFile::Unavailable, {}};
  char* path = nullptr;
  const int outcome = module->choose_file(nativeTitle.c_str(), &path);
  Text chosen = TakeText(module, path);
  if (outcome == kFileChosen && !chosen.empty()) return {ChosenFile::Chosen, std::move(chosen)};
  return {outcome == kFileCancelled ? ChosenFile::Cancelled : ChosenFile::Unavailable, {}};
}

Text ProgramIdFor(const Text& file, const Text& self) {
  std::string native;
  std::string nativeSelf;
  const VelmoraGioApi* module = DesktopModule();
  if (module == nullptr || !NativeOf(file, native)) return {};
  if (!self.empty() && !NativeOf(self, nativeSelf)) return {};
  if (self.empty()) nativeSelf = OwnExecutable();
  if (CodeForUnopenable(native) != 0) return {};
  std::string id;
  if (ChooseProgramFor(module, native, nativeSelf, id) != kProgramFound) return {};
  return FromNativePath(id);
}

}  // namespace velmora
