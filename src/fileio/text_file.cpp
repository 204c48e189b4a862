// CTextFile: one text file held open by runtime file number. Text goes through
// the file codec both ways, so bytes that are not valid text survive a read
// and a write unchanged.
#include "fileio/text_file.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "fileio/paths.h"
#include "platform/application/application.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/files/files.h"

namespace velmora {

namespace {

/// The folder temporary files go to, as the environment names it. Where
/// "Temp" is unset on POSIX, TMPDIR and then /tmp stand in, rather than the
/// root of the file system.
Text TempFolder() {
  Text folder = Environ(u"Temp");
  if (folder.empty() && NativeSeparator() == u'/') {
    folder = Environ(u"TMPDIR");
    if (folder.empty()) folder = u"/tmp";
  }
  return folder;
}

/// The path as the standard library wants it, without any lossy conversion.
std::filesystem::path FsPath(const Text& path) {
  if constexpr (sizeof(std::filesystem::path::value_type) == sizeof(char16_t)) {
    return std::filesystem::path(std::wstring(path.begin(), path.end()));
  } else {
    return std::filesystem::path(ToNativePath(path));
  }
}

/// True when both texts name the same existing folder.
bool SameFolder(const Text& a, const Text& b) {
  if (a == b) return true;
  try {
    std::error_code ec;
    return std::filesystem::equivalent(FsPath(a), FsPath(b), ec) && !ec;
  } catch (const RuntimeError&) {
    return false;
  }
}

/// The path in lower case where that still names the same folder (a file
/// system that ignores case); otherwise only the file name is lowered, so the
/// returned path is where the file really is.
Text LowerCasePath(const Text& path) {
  const Text lower = LCase(path);
  if (lower == path) return lower;
  const std::size_t at = path.rfind(NativeSeparator());
  const std::size_t cut = at == Text::npos ? 0 : at + 1;
  const Text folder = path.substr(0, cut);
  if (SameFolder(folder, lower.substr(0, cut))) return lower;
  return folder + lower.substr(cut);
}

}  // namespace

CTextFile::~CTextFile() {
  if (fileHandle_ != 0) IgnoreErrors([&] { CloseFile(fileHandle_); });
}

Text CTextFile::CreateTempFile() {
  Randomize();
  // nearbyint rounds halves to the even neighbour in the default rounding mode.
  const int number = static_cast<int>(std::nearbyint(Rnd() * 9999.0));
  Text digits = Str(number);
  digits.insert(0, 4 - std::min<std::size_t>(4, digits.size()), u'0');
  const Text name = u"~ctxtmp@" + digits + u".tmp";
  const Text path = LowerCasePath(Trim(AddBackslash(TempFolder()) + name));
  // The open is not checked and there is no retry: an existing file of this
  // name is emptied and reused.
  FileOpen(path, 1);
  return path;
}

Text CTextFile::FileName() const { return fileName_; }

bool CTextFile::FileOpen(const Text& sFileName, std::int32_t OpenMode) {
  FileMode mode;
  switch (OpenMode) {
    case 0: mode = FileMode::Input; break;
    case 1: mode = FileMode::Output; break;
    case 2: mode = FileMode::Append; break;
    default: return false;
  }
  return TrapErrors(
      [&] {
        // Copies made before opening: once the file is open nothing can fail.
        Text lower = LCase(sFileName);
        Text passed = sFileName;
        const int number = FreeFile();
        OpenFile(number, sFileName, mode);
        SetFileHandle(static_cast<std::int16_t>(number));
        fileName_ = std::move(lower);
        openedAs_ = std::move(passed);
        return true;
      },
      false);
}

void CTextFile::FileClose() {
  CloseFile(fileHandle_);
  SetFileHandle(0);
  SetFileName(Text());
  openedAs_.clear();
}

void CTextFile::Flush() {
  const FileMode mode = FileAttr(fileHandle_);
  const Text name = openedAs_;
  FileClose();
  if (mode == FileMode::Output || mode == FileMode::Append) FileOpen(name, 2);
}

Text CTextFile::ReadAll() {
  bool closed = false;
  int second = 0;
  try {
    if (Lof(fileHandle_) == 0) return {};
    CloseFile(fileHandle_);
    closed = true;
    second = FreeFile();
    OpenFile(second, openedAs_, FileMode::Binary, FileAccess::Read);
    const std::string bytes = ReadBytes(second, static_cast<std::size_t>(Lof(second)));
    const int opened = second;
    second = 0;
    CloseFile(opened);
    Text text = DecodeText(bytes);
    // The object's number is closed: should the reopen fail, it must not
    // keep naming a number that a later open may hand out again.
    if (!FileOpen(openedAs_, 0)) ForgetFile();
    return text;
  } catch (const RuntimeError&) {
  } catch (const std::bad_alloc&) {
  }
  if (second != 0) IgnoreErrors([&] { CloseFile(second); });
  if (closed) ForgetFile();
  return {};
}

std::vector<Text> CTextFile::ReadLnArray(bool IgnoreEmptyLines) {
  constexpr std::size_t kStep = 1000;
  std::vector<Text> lines(kStep);
  std::size_t count = 0;
  while (!::velmora::Eof(fileHandle_)) {
    Text line = LineInput(fileHandle_);
    if (line.empty() && IgnoreEmptyLines) continue;
    lines[count] = std::move(line);
    ++count;
    if (count > lines.size() - 1) lines.resize(lines.size() + kStep);
  }
  lines.resize(count);
  lines.shrink_to_fit();
  return lines;
}

bool CTextFile::Eof() const { return ::velmora::Eof(fileHandle_); }

Text CTextFile::ReadLn() { return LineInput(fileHandle_); }

void CTextFile::WriteLnStr(const Text& sStrToWrite) { PrintText(fileHandle_, sStrToWrite, true); }

void CTextFile::WriteStr(const Text& sStrToWrite) { PrintText(fileHandle_, sStrToWrite, false); }

std::int16_t CTextFile::FileHandle() const { return fileHandle_; }

void CTextFile::SetFileName(const Text& name) { fileName_ = LCase(name); }

void CTextFile::SetFileHandle(std::int16_t handle) { fileHandle_ = handle; }

void CTextFile::ForgetFile() noexcept {
  fileHandle_ = 0;
  fileName_.clear();
  openedAs_.clear();
}

}  // namespace velmora
