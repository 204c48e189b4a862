// The rename that never replaces on POSIX: the atomic primitive of the
// system when the file system has it, else a hard link, else a check; a
// case-only rename on a case-insensitive file system goes through a
// temporary name.
#include "platform/fs/filesystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <string_view>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/fs/filesystem_names.h"
#include "platform/fs/paths_posix.h"
#include "platform/fs/rename_native.h"

namespace velmora {

using detail::LastComponent;
using detail::NativeOf;

namespace {

[[noreturn]] void RaiseRenameError(int e, const std::string& from) {
  if (e == EEXIST || e == ENOTEMPTY) Raise(err::kFileAlreadyExists);
  if (e == ENOENT) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0) Raise(detail::MissingPathError(from));
    Raise(err::kPathNotFound);  // the source is there, so the target's folder is not
  }
  RaiseErrno(e);
}

int LinkThenUnlink(const std::string& from, const std::string& to) {
  // linkat without AT_SYMLINK_FOLLOW links a symbolic link itself, as rename would move it.
  if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0) != 0) return errno;
  if (::unlink(from.c_str()) != 0) {
    const int e = errno;
    ::unlink(to.c_str());  // the new link is the same file: dropping it restores the old state
    return e;
  }
  return 0;
}

// Racy by nature: another process may create `to` between the check and the
// rename, and rename() would then replace it. Used only where the file system
// offers neither an atomic no-replace rename nor hard links.
int CheckThenRename(const std::string& from, const std::string& to) {
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0) return EEXIST;
  if (errno != ENOENT) return errno;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool Unsupported(int e) { return e == EINVAL || e == ENOSYS || e == EOPNOTSUPP || e == ENOTSUP; }

/// One attempt with the chosen method; 0 or the errno value.
int RenameOnce(const std::string& from, const std::string& to, NoReplaceMethod method) {
  switch (method) {
    case NoReplaceMethod::Atomic:
      return detail::AtomicRenameNoReplace(from.c_str(), to.c_str());
    case NoReplaceMethod::LinkUnlink:
      return LinkThenUnlink(from, to);
    case NoReplaceMethod::CheckThenRename:
      return CheckThenRename(from, to);
    case NoReplaceMethod::Auto:
      break;
  }
  int e = detail::AtomicRenameNoReplace(from.c_str(), to.c_str());
  if (!Unsupported(e)) return e;
  struct stat st {};
  if (::lstat(from.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    e = LinkThenUnlink(from, to);
    // File systems without hard links (FAT, some network shares) say so here.
    if (e != EPERM && e != EMLINK && !Unsupported(e)) return e;
  }
  return CheckThenRename(from, to);
}

/// Whether `folder` holds an entry whose name `matches`. When the folder
/// cannot be listed the answer is yes, the cautious one.
template <class Matches>
bool HasEntry(const std::string& folder, Matches matches) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return true;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (matches(std::string_view(entry->d_name))) return true;
  }
  return false;
}

/// Whether `folder` holds an entry named exactly `name` (byte for byte).
bool HasExactEntry(const std::string& folder, const std::string& name) {
  return HasEntry(folder, [&](std::string_view entry) { return entry == name; });
}

/// True when `to` reaches the very entry `from` names, only through another
/// letter case (a case-insensitive file system). A second hard link of the
/// file under the exact name `to` is a different name and stays taken.
bool SameEntryOtherCase(const std::string& from, const std::string& to) {
  struct stat a {}, b {};
  if (::lstat(from.c_str(), &a) != 0 || ::lstat(to.c_str(), &b) != 0) return false;
  const std::string folder = detail::FolderOf(to);
  if (a.st_dev == b.st_dev && a.st_ino == b.st_ino) return !HasExactEntry(folder, LastComponent(to));
  // Some file systems (FAT through FUSE) number an entry anew for each
  // spelling it is looked up by. There the folder tells: it lists the name
  // `from` and not `to`, and the two differ only in letter case, so the
  // lookup of `to` found `from`'s entry, the only one of that spelling.
  if (a.st_dev != b.st_dev || detail::FolderOf(from) != folder) return false;
  const std::string fromName = LastComponent(from), toName = LastComponent(to);
  if (LCase(FromNativePath(fromName)) != LCase(FromNativePath(toName))) return false;
  return HasExactEntry(folder, fromName) && !HasExactEntry(folder, toName);
}

/// A case-only rename on a case-insensitive file system: the entry goes to a
/// free temporary name in its folder, then to `to`; when the second step
/// fails the entry is put back.
void RenameThroughTemporary(const std::string& from, const std::string& to,
                            NoReplaceMethod method) {
  const std::string prefix =
      detail::FolderOf(from) + "/.velmora-rename-" + std::to_string(::getpid()) + "-";
  std::string temporary;
  int e = EEXIST;
  for (int attempt = 0; attempt < 100 && e == EEXIST; ++attempt) {
    temporary = prefix + std::to_string(attempt) + ".tmp";
    e = RenameOnce(from, temporary, method);
  }
  if (e != 0) RaiseRenameError(e, from);
  e = RenameOnce(temporary, to, method);
  // A file system that numbers each spelling anew may still answer for the
  // spelling it has just freed. When the folder lists nothing of that name in
  // any case, the name is free, and the plain rename replaces nothing.
  if (e == EEXIST) {
    const Text folded = LCase(FromNativePath(LastComponent(to)));
    const bool listed = HasEntry(detail::FolderOf(to), [&](std::string_view entry) {
      return LCase(FromNativePath(entry)) == folded;
    });
    if (!listed) e = ::rename(temporary.c_str(), to.c_str()) == 0 ? 0 : errno;
  }
  if (e != 0) {
    if (RenameOnce(temporary, from, method) != 0) RaiseErrno(e);
    RaiseRenameError(e, from);
  }
}

/// The rename of RenameNoReplace once the name rules have given `kept`.
Text RenameKept(const Text& from, const Text& kept, NoReplaceMethod method) {
  const std::string source = NativeOf(from);
  const std::string target = NativeOf(kept);
  if (kept == from) {
    struct stat st {};
    if (::lstat(source.c_str(), &st) != 0) Raise(detail::MissingPathError(source));
    return kept;
  }
  const int e = RenameOnce(source, target, method);
  if (e == 0) return kept;
  if ((e == EEXIST || e == ENOTEMPTY) && SameEntryOtherCase(source, target)) {
    RenameThroughTemporary(source, target, method);
    return kept;
  }
  RaiseRenameError(e, source);
}

}  // namespace

Text RenameNoReplace(const Text& from, const Text& to, NoReplaceMethod method) {
  if (to.empty()) Raise(err::kBadFileNameOrNumber);
  return RenameKept(from, detail::DropTrailingDots(to, u"/"), method);
}

Text RenameNoReplaceExact(const Text& from, const Text& to, NoReplaceMethod method) {
  return RenameKept(from, to, method);
}

}  // namespace velmora
