// Files by name on Windows. MoveFileW never replaces an existing file (no
// MOVEFILE_REPLACE_EXISTING), renames case-only changes in place, and drops
// trailing dots of names itself.
#include "platform/fs/filesystem.h"

#include <windows.h>

#include <cwchar>
#include <string>

#include "platform/errors/errors.h"
#include "platform/errors/win_error.h"
#include "platform/fs/filesystem_names.h"

namespace velmora {

namespace {

std::wstring Wide(const Text& path) {
  if (path.empty() || path.find(u'\0') != Text::npos) Raise(err::kBadFileNameOrNumber);
  return std::wstring(path.begin(), path.end());
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

[[noreturn]] void RaiseError(DWORD error) {
  Raise(ErrorFromWin32(error));
}

}  // namespace

Text RenameNoReplace(const Text& from, const Text& to, NoReplaceMethod method) {
  if (to.empty()) Raise(err::kBadFileNameOrNumber);
  const std::wstring source = Wide(from);
  const Text kept = detail::DropTrailingDots(to, u"\\/");
  const std::wstring target = Wide(kept);
  if (kept == from) {
    if (GetFileAttributesW(source.c_str()) == INVALID_FILE_ATTRIBUTES) RaiseLastError();
    return kept;
  }
  switch (method) {
    case NoReplaceMethod::LinkUnlink: {
      // Hard links need a file; CreateHardLinkW fails when the target exists.
      if (!CreateHardLinkW(target.c_str(), source.c_str(), nullptr)) {
        const DWORD error = GetLastError();
        // A case-only change names the same file: only a real rename does it.
        if ((error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) &&
            _wcsicmp(source.c_str(), target.c_str()) == 0) {
          if (!MoveFileW(source.c_str(), target.c_str())) RaiseLastError();
          return kept;
        }
        RaiseError(error);
      }
      if (!DeleteFileW(source.c_str())) {
        const DWORD error = GetLastError();
        DeleteFileW(target.c_str());
        RaiseError(error);
      }
      return kept;
    }
    case NoReplaceMethod::CheckThenRename:
      // Racy: another program may create the target between the two calls.
      if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES &&
          _wcsicmp(source.c_str(), target.c_str()) != 0) {
        Raise(err::kFileAlreadyExists);
      }
      break;
    case NoReplaceMethod::Auto:
    case NoReplaceMethod::Atomic:
      break;
  }
  if (!MoveFileW(source.c_str(), target.c_str())) RaiseLastError();
  return kept;
}

Text RenameNoReplaceExact(const Text& from, const Text& to, NoReplaceMethod method) {
  // Windows itself drops trailing dots and refuses control characters.
  return RenameNoReplace(from, to, method);
}

void Kill(const Text& path) {
  const std::wstring wide = Wide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Raise(err::kPathFileAccessError);
  }
  if (!DeleteFileW(wide.c_str())) RaiseLastError();
}

std::int64_t FileLen(const Text& path) {
  const std::wstring wide = Wide(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) RaiseLastError();
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int GetAttr(const Text& path) {
  const std::wstring wide = Wide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) RaiseLastError();
  return static_cast<int>(attributes & (attr::kReadOnly | attr::kHidden | attr::kSystem |
                                        attr::kDirectory | attr::kArchive));
}

bool PathExists(const Text& path) {
  if (path.empty() || path.find(u'\0') != Text::npos) return false;
  const std::wstring wide(path.begin(), path.end());
  return GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<Text> DirSearch(const Text& pattern, int attributeMask) {
  const std::wstring wide = Wide(pattern);
  const int admitted = attr::kHidden | attr::kSystem | attr::kDirectory;
  auto qualifies = [&](DWORD bits) {
    return (static_cast<int>(bits) & admitted & ~attributeMask) == 0;
  };
  std::vector<Text> found;
  if (IsSeparator(wide.back())) {
    // "folder\" names the folder itself, reported as its "." entry.
    const DWORD bits = GetFileAttributesW(wide.c_str());
    if (bits != INVALID_FILE_ATTRIBUTES && (bits & FILE_ATTRIBUTE_DIRECTORY) && qualifies(bits)) {
      found.push_back(u".");
    }
    return found;
  }
  WIN32_FIND_DATAW data{};
  const HANDLE search = FindFirstFileW(wide.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    if (qualifies(data.dwFileAttributes)) {
      const std::wstring name(data.cFileName);
      found.emplace_back(name.begin(), name.end());
    }
  } while (FindNextFileW(search, &data));
  FindClose(search);
  return found;
}

char16_t NativeSeparator() { return u'\\'; }

bool CanWriteFolder(const Text& folder) {
  // Access rules on Windows are lists, not bits: the honest answer is to try.
  std::wstring probe = Wide(folder);
  if (!IsSeparator(probe.back())) probe += L'\\';
  probe += L"~velmora-probe-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  const HANDLE handle = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
  CloseHandle(handle);
  return true;
}

void CreateFolders(const Text& folder) {
  const std::wstring wide = Wide(folder);
  for (std::size_t at = wide.find_first_of(L"\\/", 3);; at = wide.find_first_of(L"\\/", at + 1)) {
    const std::wstring part = wide.substr(0, at);
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) RaiseLastError();
    if (at == std::wstring::npos) break;
  }
}

Text AbsolutePath(const Text& path) {
  const std::wstring wide = Wide(path);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) RaiseLastError();
  std::wstring full(size, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (got == 0 || got >= size) RaiseLastError();
  full.resize(got);
  return Text(full.begin(), full.end());
}

}  // namespace velmora
