// Path helpers. Positions are held the way the 16-bit runtime held them, so a
// separator or dot too far into a path is an overflow error (6), not a cut.
#include "fileio/paths.h"

#include <new>

#include "platform/errors/errors.h"

namespace velmora {

namespace {

/// The largest character position (from 1) a 16-bit counter holds.
constexpr std::size_t kMaxPosition = 32767;

/// Position (from 1) of the last separator, 0 when there is none. The search
/// runs forward and restarts after each hit, so a separator at 32,767 or later
/// overflows: either its position or the next start cannot be held.
std::size_t LastSeparatorForward(TextView path, char16_t sep) {
  const std::size_t at = path.rfind(sep);
  if (at == TextView::npos) return 0;
  if (at + 1 >= kMaxPosition) Raise(err::kOverflow);
  return at + 1;
}

}  // namespace

Text PathFromCommandLine(const Text& commandLine) {
  if (PathExists(commandLine)) return commandLine;
  return ReplaceAll(commandLine, u"\"", u"");
}

TextView PathSeparators(char16_t sep) { return sep == u'\\' ? TextView(u"\\/") : TextView(u"/"); }

Text AddBackslash(TextView path, char16_t sep) {
  Text result(path);
  if (result.empty() || result.back() != sep) result += sep;
  return result;
}

Text GetFolderPath(TextView path, char16_t sep) {
  const std::size_t last = LastSeparatorForward(path, sep);
  return Text(path.substr(0, last));
}

Text GetFileName(TextView path, char16_t sep) {
  const std::size_t last = LastSeparatorForward(path, sep);
  return Text(path.substr(last));
}

Text GetFileExt(TextView path, char16_t sep) {
  const Text name = GetFileName(path, sep);
  const std::size_t dot = name.rfind(u'.');
  if (dot == Text::npos) return {};
  if (dot + 1 > kMaxPosition) Raise(err::kOverflow);
  return name.substr(dot + 1);
}

bool FolderExists(const Text& path, char16_t /*sep: the file system reads its own*/) {
  return TrapErrors(
      [&] {
        if (Trim(path).empty()) return false;
        // Two steps: the search must find an entry for the path at all (every
        // attribute but the volume label admitted), then that entry must be a folder.
        constexpr int kAllButVolume =
            attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kDirectory | attr::kArchive;
        if (DirSearch(path, kAllButVolume).empty()) return false;
        return (GetAttr(path) & attr::kDirectory) != 0;
      },
      false);
}

Text GetDirName(Desktop& desktop, const Text& path, char16_t sep) {
  int number = 0;
  Text description;
  try {
    // Searched backwards: only the last separator's own position must fit.
    const std::size_t at = path.rfind(sep);
    if (at == Text::npos) return {};
    if (at + 1 > kMaxPosition) Raise(err::kOverflow);
    if (FolderExists(path, sep)) return AddBackslash(path, sep);
    return path.substr(0, at + 1);
  } catch (const RuntimeError& e) {
    number = e.Number();
    description = e.Description();
  } catch (const std::bad_alloc&) {
    number = err::kOutOfMemory;
    description = ErrorDescription(number);
  }
  desktop.MessageBox(Str(number) + u"\t" + description, u"Error in [GetDirName()]",
                     MessageIcon::Critical);
  return {};
}

}  // namespace velmora
