// Files by name on POSIX: delete, length, attributes, directory search and
// folders; the rename that never replaces is in rename_posix.cpp. Names are
// bytes here; codec.h turns them into Text and back without loss.
#include "platform/fs/filesystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>
#include <string_view>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/fs/filesystem_names.h"
#include "platform/fs/paths_posix.h"
#include "platform/text/unicode.h"

namespace velmora {

using detail::LastComponent;
using detail::NativeOf;

namespace {

bool IsFolder(const std::string& native) {
  struct stat st {};
  return ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

/// Attribute bits of an entry named `name` with status `st`.
int AttributesOf(const struct stat& st, const std::string& name) {
  int bits = attr::kNormal;
  if (S_ISDIR(st.st_mode)) bits |= attr::kDirectory;
  if ((st.st_mode & S_IWUSR) == 0) bits |= attr::kReadOnly;
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") bits |= attr::kHidden;
  return bits;
}

/// Code points of `t`; a lone surrogate counts as one.
std::u32string CodePoints(TextView t) {
  std::u32string out;
  out.reserve(t.size());
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (PairAt(t, i)) {
      out += CombinePair(t[i], t[i + 1]);
      ++i;
    } else {
      out += t[i];
    }
  }
  return out;
}

/// `*` matches any run of characters, `?` exactly one; everything else,
/// brackets and backslashes included, only itself.
bool WildcardMatch(std::u32string_view pattern, std::u32string_view name) {
  std::size_t p = 0, n = 0;
  std::size_t starP = std::u32string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == U'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::u32string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == U'*') ++p;
  return p == pattern.size();
}

}  // namespace

std::string detail::NativeOf(const Text& path) {
  if (path.empty()) Raise(err::kBadFileNameOrNumber);
  return ToNativePath(path);
}

std::string detail::LastComponent(const std::string& native) {
  const std::size_t slash = native.find_last_of('/');
  return slash == std::string::npos ? native : native.substr(slash + 1);
}

std::string detail::FolderOf(const std::string& native) {
  const std::size_t slash = native.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : native.substr(0, slash);
}

int detail::MissingPathError(const std::string& native) {
  return IsFolder(FolderOf(native)) ? err::kFileNotFound : err::kPathNotFound;
}

void Kill(const Text& path) {
  const std::string native = NativeOf(path);
  struct stat st {};
  if (::lstat(native.c_str(), &st) != 0) {
    if (errno == ENOENT) Raise(detail::MissingPathError(native));
    RaiseErrno(errno);
  }
  if (S_ISDIR(st.st_mode)) Raise(err::kPathFileAccessError);
  // A file that a program holds open through the file service is locked
  // shared: it is not deleted under its holder, as Windows refuses it too.
  // Our exclusive lock stays until the entry is gone, so nobody can take
  // the file up in between. A file we may not open is deleted unchecked.
  int fd = -1;
  if (S_ISREG(st.st_mode)) {
    fd = ::open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
      ::close(fd);
      Raise(err::kPathFileAccessError);
    }
  }
  const int r = ::unlink(native.c_str());
  const int e = errno;
  if (fd >= 0) ::close(fd);
  if (r != 0) {
    if (e == ENOENT) Raise(detail::MissingPathError(native));
    RaiseErrno(e);
  }
}

std::int64_t FileLen(const Text& path) {
  const std::string native = NativeOf(path);
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) {
    if (errno == ENOENT) Raise(detail::MissingPathError(native));
    RaiseErrno(errno);
  }
  return static_cast<std::int64_t>(st.st_size);
}

int GetAttr(const Text& path) {
  std::string native = NativeOf(path);
  struct stat st {};
  // A dangling symbolic link still is an entry: fall back to the link itself.
  if (::stat(native.c_str(), &st) != 0 && ::lstat(native.c_str(), &st) != 0) {
    if (errno == ENOENT) Raise(detail::MissingPathError(native));
    RaiseErrno(errno);
  }
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  return AttributesOf(st, LastComponent(native));
}

bool PathExists(const Text& path) {
  if (path.empty()) return false;
  std::string native;
  try {
    native = ToNativePath(path);
  } catch (const RuntimeError&) {
    return false;
  }
  struct stat st {};
  return ::lstat(native.c_str(), &st) == 0;
}

std::vector<Text> DirSearch(const Text& pattern, int attributeMask) {
  const std::string native = NativeOf(pattern);
  const std::size_t slash = native.find_last_of('/');
  const std::string folder =
      slash == std::string::npos ? std::string(".") : native.substr(0, slash + 1);
  const std::string last = slash == std::string::npos ? native : native.substr(slash + 1);
  const int admitted = attr::kHidden | attr::kSystem | attr::kDirectory;
  auto qualifies = [&](int bits) { return (bits & admitted & ~attributeMask) == 0; };

  std::vector<Text> found;
  if (last.empty()) {
    // "folder/" names the folder itself, reported as its "." entry.
    if (IsFolder(folder) && qualifies(attr::kDirectory)) found.push_back(u".");
    return found;
  }
  // "*.*" means every name on the system this search comes from, dotted or not.
  const std::u32string wanted = last == "*.*" ? U"*" : CodePoints(FromNativePath(last));

  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return found;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (!WildcardMatch(wanted, CodePoints(FromNativePath(name)))) continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir.get()), name.c_str(), &st, 0) != 0 &&
        ::fstatat(::dirfd(dir.get()), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      continue;  // vanished while we looked
    }
    if (qualifies(AttributesOf(st, name))) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) found.push_back(FromNativePath(name));
  return found;
}

char16_t NativeSeparator() { return u'/'; }

bool CanWriteFolder(const Text& folder) {
  std::string native;
  try {
    native = NativeOf(folder);
  } catch (const RuntimeError&) {
    return false;
  }
  // The effective ids decide, as they do for the writes that follow.
  return IsFolder(native) && ::faccessat(AT_FDCWD, native.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

void CreateFolders(const Text& folder) {
  const std::string native = NativeOf(folder);
  for (std::size_t at = native.find('/', 1);; at = native.find('/', at + 1)) {
    const std::string part = native.substr(0, at);
    // New folders hold per-user state: only their owner may look in.
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) RaiseErrno(errno);
    if (at == std::string::npos) break;
  }
  if (!IsFolder(native)) Raise(err::kPathNotFound);
}

Text AbsolutePath(const Text& path) {
  if (!path.empty() && path.front() == u'/') return path;
  std::string cwd(256, '\0');
  while (::getcwd(cwd.data(), cwd.size()) == nullptr) {
    if (errno != ERANGE) RaiseErrno(errno);
    cwd.resize(cwd.size() * 2);
  }
  cwd.resize(std::char_traits<char>::length(cwd.c_str()));
  const Text folder = FromNativePath(cwd);
  return folder.back() == u'/' ? folder + path : folder + u"/" + path;
}

}  // namespace velmora
