// Application facts on Windows: the raw command-line text, the program folder
// and the environment.
#include "platform/application/application.h"

#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include <cstddef>
#include <string>

namespace velmora {

Text ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) return {};
    if (got < path.size()) {
      path.resize(got);
      break;
    }
    path.resize(path.size() * 2);  // cut short: try again with more room
  }
  return Text(path.begin(), path.end());
}

Text ProgramFolder() {
  const Text path = ProgramPath();
  const std::size_t slash = path.find_last_of(u"\\/");
  if (slash == Text::npos) return {};
  // "C:\velmora.exe" lives in "C:\", which keeps its separator.
  const std::size_t keep = (slash == 2 && path[1] == u':') ? slash + 1 : slash;
  return path.substr(0, keep);
}

Text CommandLineText(int /*argc*/, const char* const* /*argv*/) {
  // The raw text after the program name: argv has already lost the quotes.
  const wchar_t* p = GetCommandLineW();
  if (p == nullptr) return {};
  if (*p == L'"') {
    ++p;
    while (*p != L'\0' && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p != L'\0' && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  const std::wstring rest(p);
  return Text(rest.begin(), rest.end());
}

namespace {

/// The user's local application data: where a per-user program keeps what it
/// writes when its own folder is closed to it.
Text LocalAppData() {
  PWSTR path = nullptr;
  Text folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &path)) && path != nullptr) {
    const std::wstring wide(path);
    folder.assign(wide.begin(), wide.end());
  }
  CoTaskMemFree(path);
  if (folder.empty()) folder = Environ(u"LOCALAPPDATA");
  return folder;
}

}  // namespace

Text UserStateFolder() { return LocalAppData(); }

Text UserConfigFolder() { return LocalAppData(); }

Text OwnDataFolderName() { return u"Velmora"; }

Text Environ(const Text& name) {
  if (name.empty() || name.find(u'=') != Text::npos || name.find(u'\0') != Text::npos) return {};
  const std::wstring wide(name.begin(), name.end());
  const DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  const DWORD got = GetEnvironmentVariableW(wide.c_str(), value.data(), size);
  if (got == 0 || got >= size) return {};
  value.resize(got);
  return Text(value.begin(), value.end());
}

}  // namespace velmora
