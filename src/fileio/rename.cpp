// RenameWithUndo: the rename behind "Rename!". A taken name is never replaced;
// numbered variants are tried instead, each derived from the requested path.
#include "fileio/rename.h"

#include <cstdint>

#include "fileio/paths.h"
#include "fileio/undo_log.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"

namespace velmora {

namespace {

/// "<newPath without its extension and dot> (counter).<extension>". When the
/// file name has no dot at all nothing is cut, so README gives README (1).
Text NumberedTarget(const Text& newPath, std::int32_t counter, char16_t sep) {
  const Text ext = GetFileExt(newPath, sep);
  const bool hasDot = GetFileName(newPath, sep).find(u'.') != Text::npos;
  const std::size_t cut = ext.size() + (hasDot ? 1 : 0);
  return newPath.substr(0, newPath.size() - cut) + u" (" + Str(counter) + u")." + ext;
}

/// `path` up to and including its last separator.
TextView FolderPart(TextView path, char16_t sep) {
  const std::size_t at = path.find_last_of(PathSeparators(sep));
  return at == TextView::npos ? TextView() : path.substr(0, at + 1);
}

Text Report(const Text& description, const Text& oldPath, const Text& newPath) {
  return u"Error: \"" + description + u"\" while trying to rename\r\n\"" + oldPath +
         u"\"  to  \"" + newPath + u"\"\r\n\r\n";
}

/// `path` as the file system keeps it: without trailing dots on its name.
Text WithoutTrailingDots(const Text& path) {
  std::size_t end = path.size();
  while (end > 0 && path[end - 1] == u'.') --end;
  return path.substr(0, end);
}

/// The length a file system measures a name by: bytes where names are
/// bytes, UTF-16 units where the separator is Windows'.
std::size_t StoredLength(const Text& name, char16_t sep) {
  if (sep == u'\\') return name.size();
  return TrapErrors([&] { return ToNativePath(name).size(); }, name.size());
}

}  // namespace

RenameResult RenameWithUndo(const Text& oldPath, const Text& newPath, char16_t sep) {
  if (newPath == oldPath) return {oldPath, {}, {}};

  Text target = newPath;
  Text landed;
  ErrState last;
  IgnoreErrors(last, [&] { landed = RenameNoReplace(oldPath, target); });
  std::int32_t counter = 0;
  while (last.number == err::kFileAlreadyExists) {
    last.Clear();
    if (counter == INT32_MAX) {
      last.number = err::kOverflow;
      last.description = ErrorDescription(err::kOverflow);
      break;
    }
    ++counter;
    // A target that cannot be computed ends the attempt before any rename,
    // so the error never hides a rename that did happen.
    if (IgnoreErrors(last, [&] { target = NumberedTarget(newPath, counter, sep); }) != 0) break;
    IgnoreErrors(last, [&] { landed = RenameNoReplace(oldPath, target); });
  }

  if (last.number != 0) return {{}, {}, Report(last.description, oldPath, newPath)};
  // A name that only lost its trailing dots is the old one: nothing to undo.
  if (landed == oldPath) return {oldPath, {}, {}};
  const Text oldName = TrapErrors([&] { return GetFileName(oldPath, sep); }, oldPath);
  // The line must work from any folder, also when the file was named relative.
  const Text absolute = TrapErrors([&] { return AbsolutePath(landed); }, landed);
  return {landed, UndoLine(absolute, oldName), {}};
}

void CheckNewFileName(TextView name, char16_t sep) {
  const std::size_t at = name.find_first_of(PathSeparators(sep));
  if (at != TextView::npos) {
    Raise(err::kBadFileNameOrNumber, u"A file name cannot hold \"" + Text(1, name[at]) +
                                         u"\": the file would leave its folder");
  }
  if (name.find_first_not_of(u'.') == TextView::npos) {
    Raise(err::kBadFileNameOrNumber, u"A file name cannot be made of dots only");
  }
}

RenameResult RenameFromFields(const Text& oldPath, const Text& folder, const Text& baseName,
                              const Text& ext, char16_t sep) {
  const Text name = Trim(baseName) + u"." + Trim(ext);
  const Text newPath = Trim(folder) + name;
  ErrState refused;
  IgnoreErrors(refused, [&] {
    CheckNewFileName(name, sep);
    // Trimming a relative folder that starts with a space names another folder.
    if (FolderPart(newPath, sep) != FolderPart(oldPath, sep)) {
      Raise(err::kBadFileNameOrNumber, u"The new path names another folder: the file would leave its folder");
    }
  });
  if (refused.number != 0) return {{}, {}, Report(refused.description, oldPath, newPath)};
  return RenameWithUndo(oldPath, newPath, sep);
}

RenameHint HintForFields(const Text& oldPath, const Text& folder, const Text& baseName, const Text& ext,
                         char16_t sep) {
  using Kind = RenameHint::Kind;
  const Text name = Trim(baseName) + u"." + Trim(ext);
  const Text newPath = Trim(folder) + name;
  ErrState refused;
  if (IgnoreErrors(refused, [&] { CheckNewFileName(name, sep); }) != 0) return {Kind::Refused, refused.description};
  const Text stored = WithoutTrailingDots(newPath);
  // Unchanged, or only in letter case: "Rename!" gives exactly this name.
  if (stored.empty() || LCase(stored) == LCase(oldPath)) return {};
  const Text storedName = TrapErrors([&] { return GetFileName(stored, sep); }, stored);
  if (const std::size_t length = StoredLength(storedName, sep); length > kLongestFileName) {
    return {Kind::TooLong, u"The name is too long for the file system: " + Str(static_cast<long long>(length)) +
                               (sep == u'\\' ? u" characters" : u" bytes") + u", and at most " +
                               Str(static_cast<long long>(kLongestFileName)) + u" fit."};
  }
  if (PathExists(stored)) {
    // The first free number, as "Rename!" counts: a long chain is not walked.
    constexpr std::int32_t kLookAhead = 100;
    for (std::int32_t n = 1; n <= kLookAhead; ++n) {
      const Text numbered = TrapErrors([&] { return WithoutTrailingDots(NumberedTarget(newPath, n, sep)); }, Text());
      if (numbered.empty()) break;
      if (!PathExists(numbered)) {
        return {Kind::Taken, u"\"" + storedName + u"\" is taken: Rename! will name the file \"" +
                                 TrapErrors([&] { return GetFileName(numbered, sep); }, numbered) + u"\"."};
      }
    }
    return {Kind::Taken, u"\"" + storedName + u"\" is taken: Rename! will give it the next free number."};
  }
  // Only where a leading dot hides a file: Windows shows such names.
  if (sep == u'/' && storedName.front() == u'.') {
    return {Kind::Hidden, u"A name that starts with \".\" is hidden: file managers do not show it."};
  }
  return {};
}

}  // namespace velmora
