// Files by number over POSIX descriptors. Reading is buffered; writing is not:
// each PrintText is one write(), so that several programs appending to one log
// (O_APPEND) never interleave inside a line.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <mutex>

#include "platform/codec.h"
#include "platform/errors.h"

namespace velmora {

namespace {

constexpr int kLowestNumber = 1;
constexpr int kHighestNumber = 255;
constexpr std::size_t kReadChunk = 64 * 1024;

struct OpenEntry {
  int fd = -1;
  FileMode mode = FileMode::Input;
  bool canRead = false;
  bool canWrite = false;
  std::string buffer;         // bytes read ahead and not yet consumed from bufferPos on
  std::size_t bufferPos = 0;
  std::int64_t written = 0;   // bytes written through this number

  std::size_t Unread() const { return buffer.size() - bufferPos; }
};

// One pool for the process, guarded so that a stray second thread cannot
// corrupt it; the program itself uses it from its GUI thread only.
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

bool FolderOfExists(const std::string& native) {
  const std::size_t slash = native.find_last_of('/');
  const std::string folder =
      slash == std::string::npos ? std::string(".") : native.substr(0, slash == 0 ? 1 : slash);
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

[[noreturn]] void RaiseOpenError(int e, const std::string& native) {
  if (e == ENOENT) Raise(FolderOfExists(native) ? err::kFileNotFound : err::kPathNotFound);
  if (e == EISDIR) Raise(err::kPathFileAccessError);
  RaiseErrno(e);
}

// Ensures at least `need` unread bytes in the buffer; false when the file ends
// first (what is there stays readable).
bool Fill(OpenEntry& e, std::size_t need) {
  if (e.Unread() >= need) return true;
  if (e.bufferPos > 0) {
    e.buffer.erase(0, e.bufferPos);
    e.bufferPos = 0;
  }
  while (e.buffer.size() < need) {
    const std::size_t old = e.buffer.size();
    e.buffer.resize(old + std::max(kReadChunk, need - old));
    const ssize_t got = ::read(e.fd, e.buffer.data() + old, e.buffer.size() - old);
    const int savedErrno = errno;
    e.buffer.resize(old + (got > 0 ? static_cast<std::size_t>(got) : 0));
    if (got == 0) return false;
    if (got < 0) {
      if (savedErrno == EINTR) continue;
      RaiseErrno(savedErrno);
    }
  }
  return true;
}

// Gives back the bytes read ahead, so that the descriptor's position is the
// logical one again before a write in Binary mode.
void DropReadAhead(OpenEntry& e) {
  if (e.Unread() > 0) ::lseek(e.fd, -static_cast<off_t>(e.Unread()), SEEK_CUR);
  e.buffer.clear();
  e.bufferPos = 0;
}

void RequireReadable(const OpenEntry& e) {
  if (e.mode != FileMode::Input && e.mode != FileMode::Binary) Raise(err::kBadFileMode);
  if (!e.canRead) Raise(err::kPathFileAccessError);
}

void WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      RaiseErrno(errno);
    }
    if (put == 0) Raise(err::kDeviceIOError);
    done += static_cast<std::size_t>(put);
  }
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
              FileShare /*share: POSIX has no mandatory sharing*/) {
  std::lock_guard lock(g_mutex);
  if (!ValidNumber(fileNumber)) Raise(err::kBadFileNameOrNumber);
  if (g_files[fileNumber]) Raise(err::kFileAlreadyOpen);
  if (path.empty()) Raise(err::kBadFileNameOrNumber);
  const std::string native = ToNativePath(path);

  auto entry = std::make_unique<OpenEntry>();
  entry->mode = mode;
  int flags = O_CLOEXEC | O_NONBLOCK;  // non-blocking only for the open: a FIFO must not hang us
  switch (mode) {
    case FileMode::Input:
      flags |= O_RDONLY;
      entry->canRead = true;
      break;
    case FileMode::Output:
      flags |= O_WRONLY | O_CREAT | O_TRUNC;
      entry->canWrite = true;
      break;
    case FileMode::Append:
      flags |= O_WRONLY | O_CREAT | O_APPEND;
      entry->canWrite = true;
      break;
    case FileMode::Binary:
      if (access == FileAccess::Read) {
        flags |= O_RDONLY;
        entry->canRead = true;
      } else if (access == FileAccess::Write) {
        flags |= O_WRONLY | O_CREAT;
        entry->canWrite = true;
      } else {
        flags |= O_RDWR | O_CREAT;
        entry->canRead = entry->canWrite = true;
      }
      break;
    default:
      Raise(err::kBadFileMode);
  }

  int fd;
  do {
    fd = ::open(native.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) RaiseOpenError(errno, native);

  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int e = errno;
    ::close(fd);
    RaiseErrno(e);
  }
  // Reading is for regular files only: a folder is an access error, and a
  // pipe or terminal could block the program forever.
  if (S_ISDIR(st.st_mode) || (entry->canRead && !S_ISREG(st.st_mode))) {
    ::close(fd);
    Raise(err::kPathFileAccessError);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  entry->fd = fd;
  g_files[fileNumber] = std::move(entry);
}

void CloseFile(int fileNumber) {
  std::lock_guard lock(g_mutex);
  const int fd = Entry(fileNumber).fd;
  g_files[fileNumber].reset();  // the descriptor is gone after close() even when it fails
  if (::close(fd) != 0 && errno != EINTR) RaiseErrno(errno);
}

void CloseAllFiles() {
  std::lock_guard lock(g_mutex);
  for (auto& entry : g_files) {
    if (entry) ::close(entry->fd);
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
  // CR never occurs inside a UTF-8 sequence, so decoding line by line is exact.
  return DecodeText(line);
}

Text InputChars(int fileNumber, std::size_t count) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  RequireReadable(e);
  std::string bytes;
  std::size_t chars = 0;
  while (chars < count) {
    if (!Fill(e, 4) && e.Unread() == 0) Raise(err::kInputPastEndOfFile);
    char32_t cp = 0;
    std::size_t n = DecodeUtf8Sequence(std::string_view(e.buffer).substr(e.bufferPos), cp);
    if (n == 0) {
      n = 1;  // an invalid byte stands for one character
      cp = 0;
    }
    chars += cp > 0xFFFF ? 2 : 1;
    bytes.append(e.buffer, e.bufferPos, n);
    e.bufferPos += n;
  }
  return DecodeText(bytes);
}

std::string ReadBytes(int fileNumber, std::size_t maxBytes) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  RequireReadable(e);
  std::string out = e.buffer.substr(e.bufferPos, std::min(maxBytes, e.Unread()));
  e.bufferPos += out.size();
  struct stat st {};
  std::size_t hint = kReadChunk;
  if (::fstat(e.fd, &st) == 0 && st.st_size > 0) {
    hint = std::max<std::size_t>(hint, static_cast<std::size_t>(st.st_size));
  }
  while (out.size() < maxBytes) {
    const std::size_t old = out.size();
    out.resize(old + std::min(maxBytes - old, hint));
    const ssize_t got = ::read(e.fd, out.data() + old, out.size() - old);
    const int savedErrno = errno;
    out.resize(old + (got > 0 ? static_cast<std::size_t>(got) : 0));
    if (got == 0) break;
    if (got < 0) {
      if (savedErrno == EINTR) continue;
      RaiseErrno(savedErrno);
    }
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
  WriteAll(e.fd, bytes);
  e.written += static_cast<std::int64_t>(bytes.size());
}

bool Eof(int fileNumber) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  if (!e.canRead) return true;  // nothing to read from a file open for writing
  return !Fill(e, 1);
}

std::int64_t Lof(int fileNumber) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  struct stat st {};
  if (::fstat(e.fd, &st) != 0) RaiseErrno(errno);
  return static_cast<std::int64_t>(st.st_size);
}

std::int64_t FilePosition(int fileNumber) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  if (e.mode == FileMode::Output || e.mode == FileMode::Append) return e.written;
  const off_t at = ::lseek(e.fd, 0, SEEK_CUR);
  if (at < 0) RaiseErrno(errno);
  return static_cast<std::int64_t>(at) - static_cast<std::int64_t>(e.Unread());
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
