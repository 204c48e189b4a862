// The program's file on macOS, from _NSGetExecutablePath with symbolic
// links resolved.
#include <mach-o/dyld.h>
#include <stdlib.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/application/application.h"
#include "platform/codec/codec.h"

namespace velmora {

namespace {

std::string NativeProgramPath() {
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);  // asks for the size it needs
  std::string raw(size + 1, '\0');
  if (_NSGetExecutablePath(raw.data(), &size) != 0) return {};
  std::unique_ptr<char, decltype(&::free)> resolved(::realpath(raw.c_str(), nullptr), ::free);
  return resolved ? std::string(resolved.get()) : std::string(raw.c_str());
}

}  // namespace

Text ProgramPath() {
  const std::string path = NativeProgramPath();
  return path.empty() ? Text() : FromNativePath(path);
}

}  // namespace velmora
