// Files by number over Windows handles. Reading is buffered; writing is not:
// each PrintText is one WriteFile, and Append opens with FILE_APPEND_DATA
// alone, so that several programs appending to one log never interleave
// inside a line.
#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>

#include "platform/codec.h"
#include "platform/errors.h"
#include "platform/win_error.h"

namespace velmora {

namespace {

constexpr int kLowestNumber = 1;
constexpr int kHighestNumber = 255;
constexpr std::size_t kReadChunk = 64 * 1024;

struct OpenEntry {
  HANDLE handle = INVALID_HANDLE_VALUE;
  FileMode mode = FileMode::Input;
  bool canRead = false;
  bool canWrite = false;
  std::string buffer;  // bytes read ahead and not yet consumed from bufferPos on
  std::size_t bufferPos = 0;
  std::int64_t written = 0;

  std::size_t Unread() const { return buffer.size() - bufferPos; }
};

std::mutex g_mutex;
std::array<std::unique_ptr<OpenEntry>, kHighestNumber + 1> g_files;

bool ValidNumber(int fileNumber) {
  return fileNumber >= kLowestNumber && fileNumber <= kHighestNumber;
}

// REQUIRES: g_mutex held.
OpenEntry& Entry(int fileNumber) {
  if (!ValidNumber(fileNumber) || !g_files[fileNumber]) Raise(err::kBadFileNameOrNumber);
  return *g_files[fileNumber];
}

std::wstring Wide(const Text& path) {
  if (path.empty() || path.find(u'\0') != Text::npos) Raise(err::kBadFileNameOrNumber);
  return std::wstring(path.begin(), path.end());
}

bool Fill(OpenEntry& e, std::size_t need) {
  if (e.Unread() >= need) return true;
  if (e.bufferPos > 0) {
    e.buffer.erase(0, e.bufferPos);
    e.bufferPos = 0;
  }
  while (e.buffer.size() < need) {
    const std::size_t old = e.buffer.size();
    const DWORD want = static_cast<DWORD>(std::max(kReadChunk, need - old));
    e.buffer.resize(old + want);
    DWORD got = 0;
    const BOOL ok = ReadFile(e.handle, e.buffer.data() + old, want, &got, nullptr);
    const DWORD error = GetLastError();
    e.buffer.resize(old + got);
    if (!ok && error != ERROR_HANDLE_EOF && error != ERROR_BROKEN_PIPE) {
      Raise(ErrorFromWin32(error));
    }
    if (got == 0) return false;
  }
  return true;
}

void DropReadAhead(OpenEntry& e) {
  if (e.Unread() > 0) {
    LARGE_INTEGER back{};
    back.QuadPart = -static_cast<LONGLONG>(e.Unread());
    SetFilePointerEx(e.handle, back, nullptr, FILE_CURRENT);
  }
  e.buffer.clear();
  e.bufferPos = 0;
}

void RequireReadable(const OpenEntry& e) {
  if (e.mode != FileMode::Input && e.mode != FileMode::Binary) Raise(err::kBadFileMode);
  if (!e.canRead) Raise(err::kPathFileAccessError);
}

DWORD ShareFlags(FileShare share) {
  switch (share) {
    case FileShare::LockRead: return FILE_SHARE_WRITE;
    case FileShare::LockWrite: return FILE_SHARE_READ;
    case FileShare::LockReadWrite: return 0;
    case FileShare::Default:
    case FileShare::Shared: break;
  }
  return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}

}  // namespace

int FreeFile() {
  std::lock_guard lock(g_mutex);
  for (int n = kLowestNumber; n <= kHighestNumber; ++n) {
    if (!g_files[n]) return n;
  }
  Raise(err::kTooManyFiles);
}

void OpenFile(int fileNumber, const Text& path, FileMode mode, FileAccess access,
              FileShare share) {
  std::lock_guard lock(g_mutex);
  if (!ValidNumber(fileNumber)) Raise(err::kBadFileNameOrNumber);
  if (g_files[fileNumber]) Raise(err::kFileAlreadyOpen);
  const std::wstring wide = Wide(path);

  auto entry = std::make_unique<OpenEntry>();
  entry->mode = mode;
  DWORD desired = 0;
  DWORD disposition = OPEN_EXISTING;
  bool truncate = false;
  switch (mode) {
    case FileMode::Input:
      desired = GENERIC_READ;
      entry->canRead = true;
      break;
    case FileMode::Output:
      // OPEN_ALWAYS and an explicit truncation: CREATE_ALWAYS refuses hidden files.
      desired = GENERIC_WRITE;
      disposition = OPEN_ALWAYS;
      truncate = true;
      entry->canWrite = true;
      break;
    case FileMode::Append:
      // Append rights alone make every write land at the end, atomically.
      desired = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
      disposition = OPEN_ALWAYS;
      entry->canWrite = true;
      break;
    case FileMode::Binary:
      if (access == FileAccess::Read) {
        desired = GENERIC_READ;
        entry->canRead = true;
      } else if (access == FileAccess::Write) {
        desired = GENERIC_WRITE;
        disposition = OPEN_ALWAYS;
        entry->canWrite = true;
      } else {
        desired = GENERIC_READ | GENERIC_WRITE;
        disposition = OPEN_ALWAYS;
        entry->canRead = entry->canWrite = true;
      }
      break;
    default:
      Raise(err::kBadFileMode);
  }

  const HANDLE handle = CreateFileW(wide.c_str(), desired, ShareFlags(share), nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      Raise(err::kPathFileAccessError);  // a folder given as a file
    }
    Raise(ErrorFromWin32(error));
  }
  if (GetFileType(handle) != FILE_TYPE_DISK && entry->canRead) {
    CloseHandle(handle);  // a pipe or console could block the program forever
    Raise(err::kPathFileAccessError);
  }
  if (truncate && !SetEndOfFile(handle)) {
    const DWORD error = GetLastError();
    CloseHandle(handle);
    Raise(ErrorFromWin32(error));
  }
  entry->handle = handle;
  g_files[fileNumber] = std::move(entry);
}

void CloseFile(int fileNumber) {
  std::lock_guard lock(g_mutex);
  const HANDLE handle = Entry(fileNumber).handle;
  g_files[fileNumber].reset();
  if (!CloseHandle(handle)) RaiseLastError();
}

void CloseAllFiles() {
  std::lock_guard lock(g_mutex);
  for (auto& entry : g_files) {
    if (entry) CloseHandle(entry->handle);
    entry.reset();
  }
}

Text LineInput(int fileNumber) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  if (e.mode != FileMode::Input) Raise(err::kBadFileMode);
  if (!Fill(e, 1)) Raise(err::kInputPastEndOfFile);
  std::string line;
  for (;;) {
    const std::size_t cr = e.buffer.find('\r', e.bufferPos);
    if (cr != std::string::npos) {
      line.append(e.buffer, e.bufferPos, cr - e.bufferPos);
      e.bufferPos = cr + 1;
      if (Fill(e, 1) && e.buffer[e.bufferPos] == '\n') ++e.bufferPos;
      break;
    }
    line.append(e.buffer, e.bufferPos);
    e.bufferPos = e.buffer.size();
    if (!Fill(e, 1)) break;
  }
  return DecodeText(line);
}

Text InputChars(int fileNumber, std::size_t count) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  RequireReadable(e);
  // One byte per character in a single-byte code page; a lead byte of a
  // double-byte code page brings its trail byte along.
  std::string bytes;
  std::size_t chars = 0;
  while (chars < count) {
    if (!Fill(e, 1)) Raise(err::kInputPastEndOfFile);
    std::size_t n = 1;
    if (IsDBCSLeadByte(static_cast<BYTE>(e.buffer[e.bufferPos])) && Fill(e, 2)) n = 2;
    bytes.append(e.buffer, e.bufferPos, n);
    e.bufferPos += n;
    ++chars;
  }
  return DecodeText(bytes);
}

std::string ReadBytes(int fileNumber, std::size_t maxBytes) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  RequireReadable(e);
  std::string out = e.buffer.substr(e.bufferPos, std::min(maxBytes, e.Unread()));
  e.bufferPos += out.size();
  while (out.size() < maxBytes) {
    const std::size_t old = out.size();
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(maxBytes - old, 1u << 30));
    out.resize(old + want);
    DWORD got = 0;
    const BOOL ok = ReadFile(e.handle, out.data() + old, want, &got, nullptr);
    const DWORD error = GetLastError();
    out.resize(old + got);
    if (!ok && error != ERROR_HANDLE_EOF && error != ERROR_BROKEN_PIPE) {
      Raise(ErrorFromWin32(error));
    }
    if (got == 0) break;
  }
  return out;
}

void PrintText(int fileNumber, TextView text, bool newLine) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  if (e.mode == FileMode::Input) Raise(err::kBadFileMode);
  if (!e.canWrite) Raise(err::kPathFileAccessError);
  std::string bytes = EncodeText(text);
  if (newLine) bytes += "\r\n";
  if (e.mode == FileMode::Binary) DropReadAhead(e);
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    if (!WriteFile(e.handle, bytes.data() + done, want, &put, nullptr)) RaiseLastError();
    if (put == 0) Raise(err::kDeviceIOError);
    done += put;
  }
  e.written += static_cast<std::int64_t>(bytes.size());
}

bool Eof(int fileNumber) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  if (!e.canRead) return true;
  return !Fill(e, 1);
}

std::int64_t Lof(int fileNumber) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(e.handle, &size)) RaiseLastError();
  return size.QuadPart;
}

std::int64_t FilePosition(int fileNumber) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  if (e.mode == FileMode::Output || e.mode == FileMode::Append) return e.written;
  LARGE_INTEGER zero{}, at{};
  if (!SetFilePointerEx(e.handle, zero, &at, FILE_CURRENT)) RaiseLastError();
  return at.QuadPart - static_cast<std::int64_t>(e.Unread());
}

FileMode FileAttr(int fileNumber) {
  std::lock_guard lock(g_mutex);
  return Entry(fileNumber).mode;
}

bool IsFileOpen(int fileNumber) {
  std::lock_guard lock(g_mutex);
  return ValidNumber(fileNumber) && g_files[fileNumber] != nullptr;
}

}  // namespace velmora
