// The program's file on Linux, from /proc/self/exe.
#include <unistd.h>

#include <string>

#include "platform/application/application.h"
#include "platform/codec/codec.h"

namespace velmora {

namespace {

std::string NativeProgramPath() {
  std::string path(256, '\0');
  for (;;) {
    const ssize_t got = ::readlink("/proc/self/exe", path.data(), path.size());
    if (got < 0) return {};
    if (static_cast<std::size_t>(got) < path.size()) {
      path.resize(static_cast<std::size_t>(got));
      break;
    }
    path.resize(path.size() * 2);  // possibly cut short: try again with more room
  }
  return path;
}

}  // namespace

Text ProgramPath() {
  const std::string path = NativeProgramPath();
  return path.empty() ? Text() : FromNativePath(path);
}

}  // namespace velmora
