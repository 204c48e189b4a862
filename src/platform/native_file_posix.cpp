// Native files over POSIX descriptors. Append opens with O_APPEND, so that
// each write lands at the end in one piece even when several programs append
// to one log; reading a folder, pipe or terminal is refused at open.
#include "platform/native_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/codec.h"
#include "platform/errors.h"

namespace velmora::detail {

namespace {

int Descriptor(NativeFile file) { return static_cast<int>(file); }

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

}  // namespace

const std::size_t kLongestCharacter = 4;

void CheckFileName(const Text& path) {
  if (path.empty()) Raise(err::kBadFileNameOrNumber);
  ToNativePath(path);  // raises 52 for what no file name can hold
}

NativeFile OpenNativeFile(const Text& path, const OpenRequest& request) {
  // request.share is not used: POSIX has no mandatory sharing.
  const std::string native = ToNativePath(path);
  int flags = O_CLOEXEC | O_NONBLOCK;  // non-blocking only for the open: a FIFO must not hang us
  flags |= request.read && request.write ? O_RDWR : request.write ? O_WRONLY : O_RDONLY;
  if (request.create) flags |= O_CREAT;
  if (request.truncate) flags |= O_TRUNC;
  if (request.append) flags |= O_APPEND;

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
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

void CloseNativeFile(NativeFile file) {
  if (::close(Descriptor(file)) != 0 && errno != EINTR) RaiseErrno(errno);
}

std::size_t ReadNativeFile(NativeFile file, char* data, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(Descriptor(file), data, size);
    if (got >= 0) return static_cast<std::size_t>(got);
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
  char32_t cp = 0;
  const std::size_t n = DecodeUtf8Sequence(bytes, cp);
  if (n == 0) {
    units = 1;  // an invalid byte stands for one character
    return 1;
  }
  units = cp > 0xFFFF ? 2 : 1;
  return n;
}

}  // namespace velmora::detail
