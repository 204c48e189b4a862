// What an undo is: the log's renames read back against the files as they are
// now, and one of them given its old name again.
#include "fileio/undo.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include "fileio/paths.h"
#include "fileio/rename.h"
#include "fileio/text_file.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/files/files.h"
#include "platform/text/unicode.h"

namespace velmora {

namespace {

bool IsLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

/// Whether `path` is a full path on the system whose separator is `sep`.
bool IsFullPathHere(TextView path, char16_t sep) {
  if (sep == u'\\') return LooksLikeWindowsPath(path);
  return !path.empty() && path.front() == sep;
}

/// Whether `name` names an entry of one folder: not empty, not "." or "..",
/// and without a separator. (A name of three dots is a file's name.)
bool IsPlainName(TextView name, char16_t sep) {
  return !name.empty() && name != u"." && name != u".." && name.find_first_of(PathSeparators(sep)) == TextView::npos;
}

Text FileNameOf(const Text& path, char16_t sep) {
  return TrapErrors([&] { return GetFileName(path, sep); }, Text());
}

/// Whether a folder exists, the last answer kept: the lines of a log, and
/// the readings of one line, mostly name one folder after another.
class FolderLookup {
 public:
  bool operator()(const Text& folder) {
    if (folder.empty()) return true;
    if (folder != last_) {
      last_ = folder;
      there_ = PathExists(folder);
    }
    return there_;
  }

 private:
  Text last_;
  bool there_ = false;
};

/// What the files say about `record`, leaving aside later lines.
UndoStatus StatusOf(const UndoRecord& record, char16_t sep, FolderLookup& folderThere) {
  if (!IsFullPathHere(record.target, sep)) return UndoStatus::ForeignPath;
  // A crafted line must not move a file out of its folder, nor rename "..".
  if (!IsPlainName(record.oldName, sep) || !IsPlainName(FileNameOf(record.target, sep), sep)) {
    return UndoStatus::BadName;
  }
  const Text oldPath = TrapErrors([&] { return OldPathOf(record, sep); }, Text());
  if (oldPath.empty() || oldPath == record.target) return UndoStatus::BadName;
  if (!folderThere(FolderOf(record.target, sep)) || !PathExists(record.target)) return UndoStatus::Gone;
  // Names that differ only in case may be this very file on a file system
  // that ignores case; the rename itself tells (error 58 when they are not).
  if (PathExists(oldPath) && LCase(oldPath) != LCase(record.target)) return UndoStatus::NameTaken;
  return UndoStatus::Ready;
}

/// The reading of a line that fits the files: the one whose target is there
/// (Ambiguous when several are); otherwise the first whose only fault is a
/// missing file, or else the first.
std::pair<UndoRecord, UndoStatus> Resolve(const std::vector<UndoRecord>& readings, char16_t sep,
                                          FolderLookup& folderThere) {
  // No real name holds the gap between the names that often; looking up
  // every reading of a crafted line would make a long log slow to list.
  constexpr std::size_t kMostReadings = 8;
  if (readings.size() > kMostReadings) return {readings.front(), UndoStatus::Ambiguous};
  std::vector<UndoStatus> statuses;
  for (const UndoRecord& r : readings) statuses.push_back(StatusOf(r, sep, folderThere));
  auto there = [](UndoStatus s) { return s == UndoStatus::Ready || s == UndoStatus::NameTaken; };
  const auto present = std::find_if(statuses.begin(), statuses.end(), there);
  if (present != statuses.end()) {
    const std::size_t at = static_cast<std::size_t>(present - statuses.begin());
    if (std::count_if(statuses.begin(), statuses.end(), there) > 1) {
      return {readings[at], UndoStatus::Ambiguous};
    }
    return {readings[at], statuses[at]};
  }
  const auto gone = std::find(statuses.begin(), statuses.end(), UndoStatus::Gone);
  const std::size_t at = gone == statuses.end() ? 0 : static_cast<std::size_t>(gone - statuses.begin());
  return {readings[at], statuses[at]};
}

/// Appends `line` to the log as velmora does: size rule, append open, one
/// whole write. The reason, when it failed.
std::optional<Text> AppendToLog(const Text& logPath, const Text& line) {
  UndoLogWriter log(logPath);
  const UndoLogWrite written = log.Append(line);
  const std::optional<Text> closeFailure = log.Close();
  if (!written.written) return written.reason;
  return closeFailure;
}

/// A fingerprint of a pair of names, 128 bits: two entries with equal
/// fingerprints are taken as equal, a collision being out of practical reach.
struct Fingerprint {
  std::uint64_t a = 0, b = 0;
  bool operator==(const Fingerprint&) const = default;
};
struct FingerprintHash {
  std::size_t operator()(const Fingerprint& f) const { return static_cast<std::size_t>(f.a ^ (f.b * 31)); }
};

Fingerprint FingerprintOf(TextView first, TextView second) {
  Text both;
  both.reserve(first.size() + 1 + second.size());
  both.append(first);
  both += u'\0';  // in no name
  both.append(second);
  std::uint64_t fnv = 14695981039346656037ull;
  for (char16_t c : both) fnv = (fnv ^ c) * 1099511628211ull;
  return {fnv, static_cast<std::uint64_t>(std::hash<Text>{}(both))};
}

}  // namespace

bool LooksLikeWindowsPath(TextView path) {
  const bool drive =
      path.size() >= 3 && IsLetter(path[0]) && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/');
  return drive || path.substr(0, 2) == u"\\\\";
}

Text FolderOf(const Text& path, char16_t sep) {
  return TrapErrors([&] { return GetFolderPath(path, sep); }, Text());
}

UndoAttempt UndoRename(const UndoEntry& entry, const Text& logPath, char16_t sep) {
  UndoAttempt attempt;
  const UndoRecord& r = entry.record;
  Text restored;
  if (IgnoreErrors(attempt.error, [&] { restored = RenameNoReplaceExact(r.target, OldPathOf(r, sep)); }) != 0) {
    return attempt;
  }
  const Text absolute = TrapErrors([&] { return AbsolutePath(restored); }, restored);
  attempt.notLogged = AppendToLog(logPath, UndoLine(absolute, FileNameOf(r.target, sep)));
  return attempt;
}

Text OldPathOf(const UndoRecord& record, char16_t sep) {
  return GetFolderPath(record.target, sep) + record.oldName;
}

void WalkUndoEntries(UndoLogLines& lines, const std::function<bool(const UndoEntry&)>& visit,
                     char16_t sep) {
  // The newer entries by {target, old name}, each with the list number of the
  // nearest one and whether it is undone itself: an entry is undone when one
  // of them reverses it, unless that undo was undone in turn (a rename put
  // back is in effect again, as in an editor's history).
  struct Newer {
    std::size_t listNumber;
    bool undone;
  };
  std::unordered_map<Fingerprint, Newer, FingerprintHash> newer;
  std::size_t listNumber = 0;
  FolderLookup folderThere;
  Text line;
  while (lines.Previous(line)) {
    const std::vector<UndoRecord> readings = ParseUndoLine(line);
    if (readings.empty()) continue;
    auto [record, status] = Resolve(readings, sep, folderThere);
    UndoEntry entry{++listNumber, std::move(record), status, 0, lines.Offset()};
    const Text oldPath = TrapErrors([&] { return OldPathOf(entry.record, sep); }, Text());
    const auto reverse = newer.find(FingerprintOf(oldPath, FileNameOf(entry.record.target, sep)));
    if (reverse != newer.end() && !reverse->second.undone) {
      entry.status = UndoStatus::Undone;
      entry.undoneBy = reverse->second.listNumber;
    }
    newer[FingerprintOf(entry.record.target, entry.record.oldName)] = {entry.listNumber, entry.undoneBy != 0};
    if (!visit(entry)) return;
  }
}

std::size_t CountUndoEntries(UndoLogLines& lines) {
  std::size_t count = 0;
  Text line;
  while (lines.Previous(line)) {
    if (!ParseUndoLine(line).empty()) ++count;
  }
  return count;
}

}  // namespace velmora
