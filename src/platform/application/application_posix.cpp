// Application facts on POSIX: the command-line text and the environment. The
// program folder is per system (program_folder_linux.cpp, _mac.cpp).
#include "platform/application/application.h"

#include <cstdlib>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"

namespace velmora {

Text CommandLineText(int argc, const char* const* argv) {
  Text text;
  for (int i = 1; i < argc && argv != nullptr; ++i) {
    if (argv[i] == nullptr) break;
    if (i > 1) text += u' ';
    text += FromNativePath(argv[i]);
  }
  return text;
}

namespace {

/// The folder the XDG variable `name` gives, when it is absolute (the base
/// directory rules ignore a relative one), otherwise `fallback` in the home folder.
Text XdgFolder(const Text& name, const Text& fallback) {
  const Text set = Environ(name);
  if (!set.empty() && set.front() == u'/') return set;
  const Text home = Environ(u"HOME");
  if (home.empty() || home.front() != u'/') return {};
  return (home.back() == u'/' ? home : home + u"/") + fallback;
}

}  // namespace

Text UserStateFolder() { return XdgFolder(u"XDG_STATE_HOME", u".local/state"); }

Text UserConfigFolder() { return XdgFolder(u"XDG_CONFIG_HOME", u".config"); }

Text OwnDataFolderName() { return u"velmora"; }

Text ProgramFolder() {
  const Text path = ProgramPath();  // from the system's own source (program_folder_<system>.cpp)
  const std::size_t slash = path.find_last_of(u'/');
  if (slash == Text::npos) return {};
  return slash == 0 ? Text(u"/") : path.substr(0, slash);
}

Text Environ(const Text& name) {
  if (name.empty() || name.find(u'=') != Text::npos) return {};
  std::string native;
  try {
    native = ToNativePath(name);
  } catch (const RuntimeError&) {
    return {};  // a name with NUL cannot be set, so it is unset
  }
  const char* value = std::getenv(native.c_str());
  return value == nullptr ? Text() : FromNativePath(value);
}

}  // namespace velmora
