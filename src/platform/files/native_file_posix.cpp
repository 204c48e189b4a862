// Native files over POSIX descriptors. Append opens with O_APPEND, so that
// each write lands at the end in one piece even when several programs append
// to one log; reading a folder, pipe or terminal is refused at open.
//
// A file open for append (a log) holds a shared flock, and Kill deletes only
// what it can lock exclusively: as on Windows, a log that a running copy holds
// open cannot be deleted under it (the undo log's size rule relies on that).
// Readers take no lock, so no other program's lock can make them wait.
#include "platform/files/native_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/fs/paths_posix.h"

namespace velmora::detail {

namespace {

int Descriptor(NativeFile file) { return static_cast<int>(file); }

[[noreturn]] void RaiseOpenError(int e, const std::string& native) {
  if (e == ENOENT) Raise(MissingPathError(native));
  if (e == EISDIR) Raise(err::kPathFileAccessError);
  RaiseErrno(e);
}

/// Takes a shared lock on `fd`. An exclusive lock is only ever held for the
/// moment of a delete, so a short wait is enough; a file system without
/// locks (some network shares) simply leaves the file unlocked.
void HoldShared(int fd) {
  using namespace std::chrono_literals;
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > deadline) return;
    std::this_thread::sleep_for(1ms);
  }
}

/// Whether `fd` is still the entry that `native` names. A file deleted
/// between our open and our lock must not be written to: its lines would be lost.
bool StillNamed(int fd, const std::string& native) {
  struct stat opened {}, named {};
  if (::fstat(fd, &opened) != 0) return true;  // cannot tell: keep what we have
  return ::lstat(native.c_str(), &named) == 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

const std::size_t kLongestCharacter = 4;

void CheckFileName(const Text& path) {
  if (path.empty()) Raise(err::kBadFileNameOrNumber);
  ToNativePath(path);  // raises 52 for what no file name can hold
}

NativeFile OpenNativeFile(const Text& path, const OpenRequest& request) {
  // request.share is not used: POSIX has no mandatory sharing.
  const std::string native = ToNativePath(path);
  // Non-blocking: a FIFO must not hang the open, and a file that only looks
  // regular (/proc/kmsg) must not hang a read; writers drop it after the open.
  int flags = O_CLOEXEC | O_NONBLOCK;
  flags |= request.read && request.write ? O_RDWR : request.write ? O_WRONLY : O_RDONLY;
  if (request.create) flags |= O_CREAT;
  if (request.truncate) flags |= O_TRUNC;
  // An appended file is a log: through a symbolic link its lines would go to
  // whatever file the link names.
  if (request.append) flags |= O_APPEND | O_NOFOLLOW;

  for (int attempt = 0;; ++attempt) {
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
    if (S_ISDIR(st.st_mode) || (request.read && !S_ISREG(st.st_mode))) {
      ::close(fd);
      Raise(err::kPathFileAccessError);
    }
    if (request.write) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!request.append) return fd;
    // A log is held against a delete by another copy. It may have been
    // deleted between our open and our lock: then open it again by name, a
    // bounded number of times, rather than write lines nobody will see.
    HoldShared(fd);
    if (StillNamed(fd, native)) return fd;
    ::close(fd);
    if (attempt == 8) Raise(err::kPathFileAccessError);
  }
}

void CloseNativeFile(NativeFile file) {
  if (::close(Descriptor(file)) != 0 && errno != EINTR) RaiseErrno(errno);
}

std::size_t ReadNativeFile(NativeFile file, char* data, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(Descriptor(file), data, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    // Data that would only come later (a kernel message queue) is not part
    // of the file as it stands: the end.
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    if (errno != EINTR) RaiseErrno(errno);
  }
}

std::size_t WriteNativeFile(NativeFile file, std::string_view bytes) {
  for (;;) {
    const ssize_t put = ::write(Descriptor(file), bytes.data(), bytes.size());
    if (put >= 0) return static_cast<std::size_t>(put);
    if (errno != EINTR) RaiseErrno(errno);
  }
}

void TakeBackWrite(NativeFile file, std::size_t bytes) {
  const int fd = Descriptor(file);
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  struct stat st {};
  if (end < 0 || ::fstat(fd, &st) != 0) RaiseErrno(errno);
  // Only when the bytes are still the last ones: another program's line
  // appended after them must stay.
  if (st.st_size != end || end < static_cast<off_t>(bytes)) Raise(err::kDeviceIOError);
  const off_t start = end - static_cast<off_t>(bytes);
  if (::ftruncate(fd, start) != 0) RaiseErrno(errno);
  ::lseek(fd, start, SEEK_SET);
}

std::int64_t SeekNativeFile(NativeFile file, std::int64_t offset) {
  const off_t at = ::lseek(Descriptor(file), static_cast<off_t>(offset), SEEK_CUR);
  if (at < 0) RaiseErrno(errno);
  return static_cast<std::int64_t>(at);
}

std::int64_t NativeFileSize(NativeFile file) {
  struct stat st {};
  if (::fstat(Descriptor(file), &st) != 0) RaiseErrno(errno);
  return static_cast<std::int64_t>(st.st_size);
}

std::size_t CharacterBytes(std::string_view bytes, std::size_t& units) {
  return Utf8CharacterBytes(bytes, units);
}

}  // namespace velmora::detail
