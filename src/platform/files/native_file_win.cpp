// Native files over Windows handles. Append opens with FILE_APPEND_DATA alone,
// so that each write lands at the end in one piece even when several programs
// append to one log; reading a folder, pipe or console is refused at open.
#include "platform/files/native_file.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/errors/win_error.h"

namespace velmora::detail {

namespace {

constexpr std::size_t kLargestCall = 1u << 30;  // what one ReadFile or WriteFile is given

HANDLE Handle(NativeFile file) { return reinterpret_cast<HANDLE>(file); }

DWORD ShareFlags(FileShare share) {
  switch (share) {
    case FileShare::LockRead: return FILE_SHARE_WRITE;
    case FileShare::LockWrite: return FILE_SHARE_READ;
    case FileShare::LockReadWrite: return 0;
    case FileShare::Shared: return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    case FileShare::Default: break;
  }
  // Others may read and write, but not delete a file we hold: the undo log's
  // size rule must not discard a log that a running copy still appends to.
  return FILE_SHARE_READ | FILE_SHARE_WRITE;
}

}  // namespace

const std::size_t kLongestCharacter = 4;  // UTF-8; a double-byte code page needs 2

void CheckFileName(const Text& path) {
  if (path.empty() || path.find(u'\0') != Text::npos) Raise(err::kBadFileNameOrNumber);
}

NativeFile OpenNativeFile(const Text& path, const OpenRequest& request) {
  const std::wstring wide(path.begin(), path.end());
  DWORD desired = 0;
  if (request.append) {
    // Append rights alone make every write land at the end, atomically.
    desired = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
  } else {
    if (request.read) desired |= GENERIC_READ;
    if (request.write) desired |= GENERIC_WRITE;
  }
  // OPEN_ALWAYS and an explicit truncation: CREATE_ALWAYS refuses hidden files.
  const DWORD disposition = request.create ? OPEN_ALWAYS : OPEN_EXISTING;

  const HANDLE handle = CreateFileW(wide.c_str(), desired, ShareFlags(request.share), nullptr,
                                    disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      Raise(err::kPathFileAccessError);  // a folder given as a file
    }
    Raise(ErrorFromWin32(error));
  }
  if (GetFileType(handle) != FILE_TYPE_DISK && request.read) {
    CloseHandle(handle);  // a pipe or console could block the program forever
    Raise(err::kPathFileAccessError);
  }
  if (request.truncate && !SetEndOfFile(handle)) {
    const DWORD error = GetLastError();
    CloseHandle(handle);
    Raise(ErrorFromWin32(error));
  }
  return reinterpret_cast<NativeFile>(handle);
}

void CloseNativeFile(NativeFile file) {
  if (!CloseHandle(Handle(file))) RaiseLastError();
}

std::size_t ReadNativeFile(NativeFile file, char* data, std::size_t size) {
  DWORD got = 0;
  const DWORD want = static_cast<DWORD>(std::min(size, kLargestCall));
  if (!ReadFile(Handle(file), data, want, &got, nullptr)) {
    const DWORD error = GetLastError();
    if (error != ERROR_HANDLE_EOF && error != ERROR_BROKEN_PIPE) Raise(ErrorFromWin32(error));
  }
  return got;
}

std::size_t WriteNativeFile(NativeFile file, std::string_view bytes) {
  DWORD put = 0;
  const DWORD want = static_cast<DWORD>(std::min(bytes.size(), kLargestCall));
  if (!WriteFile(Handle(file), bytes.data(), want, &put, nullptr)) RaiseLastError();
  return put;
}

void TakeBackWrite(NativeFile, std::size_t) {
  // A write to a disk file fails whole on Windows (the clusters are found
  // before any byte is written), so there is nothing to take back; and an
  // append handle could not cut the file anyway.
  Raise(err::kDeviceIOError);
}

std::int64_t SeekNativeFile(NativeFile file, std::int64_t offset) {
  LARGE_INTEGER move{}, at{};
  move.QuadPart = offset;
  if (!SetFilePointerEx(Handle(file), move, &at, FILE_CURRENT)) RaiseLastError();
  return at.QuadPart;
}

std::int64_t NativeFileSize(NativeFile file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(Handle(file), &size)) RaiseLastError();
  return size.QuadPart;
}

std::size_t CharacterBytes(std::string_view bytes, std::size_t& units) {
  if (FileTextIsUtf8()) return Utf8CharacterBytes(bytes, units);
  // One byte in a single-byte code page; a lead byte of a double-byte code
  // page brings its trail byte along.
  units = 1;
  return bytes.size() >= 2 && IsDBCSLeadByte(static_cast<BYTE>(bytes[0])) ? 2 : 1;
}

}  // namespace velmora::detail
