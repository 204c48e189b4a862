// Files by name: rename that never replaces, delete, length, directory search
// and attributes. Paths are Text; native encoding goes through codec.h.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/text/text.h"

namespace velmora {

/// File attributes as the runtime numbers them.
namespace attr {
inline constexpr int kNormal = 0;
inline constexpr int kReadOnly = 1;
inline constexpr int kHidden = 2;
inline constexpr int kSystem = 4;
inline constexpr int kVolume = 8;
inline constexpr int kDirectory = 16;
inline constexpr int kArchive = 32;
}  // namespace attr

/// How RenameNoReplace keeps from replacing a file. Auto picks the safest the
/// file system supports; the others exist so tests can reach every path.
enum class NoReplaceMethod {
  Auto,
  Atomic,          ///< renameat2(RENAME_NOREPLACE), renamex_np(RENAME_EXCL), MoveFileW
  LinkUnlink,      ///< link(to) then unlink(from): the link fails when `to` exists
  CheckThenRename  ///< last resort, racy: another process may create `to` between the steps
};

/// Renames the file or folder `from` to `to` without ever replacing anything,
/// and returns the path it has now. An existing `to` is error 58, unless it is
/// the same file as `from` (a case-only change on a case-insensitive file
/// system), which renames. The trailing dots of the final component of `to`
/// are dropped first, as Windows does; a name that then equals `from` is a
/// successful no-op that returns `from`. Other failures map through errno.
Text RenameNoReplace(const Text& from, const Text& to,
                     NoReplaceMethod method = NoReplaceMethod::Auto);

/// RenameNoReplace with `to` taken exactly as given, trailing dots and control
/// characters included, where the file system keeps them: for giving a file
/// back a name it had (an undo). Windows stores neither, so there it is
/// RenameNoReplace.
Text RenameNoReplaceExact(const Text& from, const Text& to,
                          NoReplaceMethod method = NoReplaceMethod::Auto);

/// Deletes a file (not a folder); 53 when missing.
void Kill(const Text& path);

/// Length in bytes of the file at `path`; 53 when missing.
std::int64_t FileLen(const Text& path);

/// Attribute bits of `path` (attr::); 53 when missing.
int GetAttr(const Text& path);

/// Whether the path names an existing entry (no error for a missing one).
bool PathExists(const Text& path);

/// Directory search: the names (without folder) of the entries that match the
/// last component of `pattern` (wildcards * and ?; an empty last component
/// matches ".", the folder itself) in the folder the pattern names. Normal
/// files always qualify; entries with the hidden, system or directory
/// attribute only when `attributeMask` admits it. An empty list when nothing
/// matches or the folder cannot be read; error 52 for an empty pattern.
std::vector<Text> DirSearch(const Text& pattern, int attributeMask);

/// The native separator: "/" on POSIX, "\" on Windows.
char16_t NativeSeparator();

/// Whether this program may create and delete entries in `folder`.
bool CanWriteFolder(const Text& folder);

/// Creates `folder` and its missing parents (on POSIX private to the user);
/// an existing folder is fine.
void CreateFolders(const Text& folder);

/// `path` made absolute against the current folder, without resolving links.
Text AbsolutePath(const Text& path);

}  // namespace velmora
