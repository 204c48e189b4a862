// Files by number: the table of numbers, the mode checks and buffered reading,
// over the native files of native_file.h. Writing is not buffered: each
// PrintText is one native write, so that several programs appending to one log
// never interleave inside a line, and a write is whole or taken back.
#include "platform/files/files.h"

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/files/native_file.h"

namespace velmora {

namespace {

using detail::NativeFile;

constexpr int kLowestNumber = 1;
constexpr int kHighestNumber = 255;
constexpr std::size_t kReadChunk = 64 * 1024;

struct OpenEntry {
  NativeFile file = 0;
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

detail::OpenRequest RequestFor(FileMode mode, FileAccess access, FileShare share) {
  detail::OpenRequest r;
  r.share = share;
  switch (mode) {
    case FileMode::Input:
      r.read = true;
      break;
    case FileMode::Output:
      r.write = r.create = r.truncate = true;
      break;
    case FileMode::Append:
      r.write = r.create = r.append = true;
      break;
    case FileMode::Binary:
      if (access == FileAccess::Read) {
        r.read = true;
      } else if (access == FileAccess::Write) {
        r.write = r.create = true;
      } else {
        r.read = r.write = r.create = true;
      }
      break;
    default:
      Raise(err::kBadFileMode);
  }
  return r;
}

// Appends up to `want` bytes of `file` to `out`; returns how many, 0 at the
// end. On failure `out` is as it was.
std::size_t ReadAppend(NativeFile file, std::string& out, std::size_t want) {
  const std::size_t old = out.size();
  out.resize(old + want);
  try {
    const std::size_t got = detail::ReadNativeFile(file, out.data() + old, want);
    out.resize(old + got);
    return got;
  } catch (...) {
    out.resize(old);
    throw;
  }
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
    if (ReadAppend(e.file, e.buffer, std::max(kReadChunk, need - e.buffer.size())) == 0) {
      return false;
    }
  }
  return true;
}

// Gives back the bytes read ahead, so that the native position is the logical
// one again before a write in Binary mode.
void DropReadAhead(OpenEntry& e) {
  if (e.Unread() > 0) {
    IgnoreErrors([&] { detail::SeekNativeFile(e.file, -static_cast<std::int64_t>(e.Unread())); });
  }
  e.buffer.clear();
  e.bufferPos = 0;
}

void RequireReadable(const OpenEntry& e) {
  if (e.mode != FileMode::Input && e.mode != FileMode::Binary) Raise(err::kBadFileMode);
  if (!e.canRead) Raise(err::kPathFileAccessError);
}

// All of `bytes` or none: a write that stops short (a full disk) is taken
// back before its error goes on, so no torn line is left for the next one to
// be glued to. An appended line is one write or nothing: a second write for
// its rest could land after another program's line.
void WriteAll(NativeFile file, std::string_view bytes, bool append) {
  std::size_t done = 0;
  try {
    while (done < bytes.size()) {
      const std::size_t put = detail::WriteNativeFile(file, bytes.substr(done));
      done += put;
      if (put == 0 || (append && done < bytes.size())) Raise(err::kDiskFull);
    }
  } catch (...) {
    if (done > 0) IgnoreErrors([&] { detail::TakeBackWrite(file, done); });
    throw;
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
              FileShare share) {
  std::lock_guard lock(g_mutex);
  if (!ValidNumber(fileNumber)) Raise(err::kBadFileNameOrNumber);
  if (g_files[fileNumber]) Raise(err::kFileAlreadyOpen);
  detail::CheckFileName(path);  // a bad name is reported before a bad mode
  const detail::OpenRequest request = RequestFor(mode, access, share);

  auto entry = std::make_unique<OpenEntry>();
  entry->mode = mode;
  entry->canRead = request.read;
  entry->canWrite = request.write;
  entry->file = detail::OpenNativeFile(path, request);
  g_files[fileNumber] = std::move(entry);
}

void CloseFile(int fileNumber) {
  std::lock_guard lock(g_mutex);
  const NativeFile file = Entry(fileNumber).file;
  g_files[fileNumber].reset();  // the native file is gone after closing even when it fails
  detail::CloseNativeFile(file);
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
  // CR is never part of a longer character (in UTF-8 or a double-byte code
  // page), so decoding line by line is exact.
  return DecodeText(line);
}

Text InputChars(int fileNumber, std::size_t count) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  RequireReadable(e);
  std::string bytes;
  std::size_t chars = 0;
  while (chars < count) {
    if (!Fill(e, detail::kLongestCharacter) && e.Unread() == 0) {
      Raise(err::kInputPastEndOfFile);
    }
    std::size_t units = 1;
    const std::size_t n =
        detail::CharacterBytes(std::string_view(e.buffer).substr(e.bufferPos), units);
    chars += units;
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
  // Steps as large as the file, so that a whole file comes in one read, but
  // never room for all of `maxBytes` up front.
  std::size_t step = kReadChunk;
  const std::int64_t size =
      TrapErrors([&] { return detail::NativeFileSize(e.file); }, std::int64_t{0});
  if (size > 0) step = std::max<std::size_t>(step, static_cast<std::size_t>(size));
  while (out.size() < maxBytes) {
    if (ReadAppend(e.file, out, std::min(maxBytes - out.size(), step)) == 0) break;
  }
  return out;
}

std::string ReadBytesAt(int fileNumber, std::int64_t offset, std::size_t maxBytes) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  RequireReadable(e);
  DropReadAhead(e);
  detail::SeekNativeFile(e.file, offset - detail::SeekNativeFile(e.file, 0));
  std::string out;
  while (out.size() < maxBytes && ReadAppend(e.file, out, maxBytes - out.size()) != 0) {
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
  WriteAll(e.file, bytes, e.mode == FileMode::Append);
  e.written += static_cast<std::int64_t>(bytes.size());
}

InputFile::InputFile(const Text& path) : number_(FreeFile()) {
  OpenFile(number_, path, FileMode::Input, FileAccess::Read, FileShare::Shared);
}

InputFile::~InputFile() {
  IgnoreErrors([&] { CloseFile(number_); });
}

bool Eof(int fileNumber) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  if (!e.canRead) return true;  // nothing to read from a file open for writing
  return !Fill(e, 1);
}

std::int64_t Lof(int fileNumber) {
  std::lock_guard lock(g_mutex);
  return detail::NativeFileSize(Entry(fileNumber).file);
}

std::int64_t FilePosition(int fileNumber) {
  std::lock_guard lock(g_mutex);
  OpenEntry& e = Entry(fileNumber);
  if (e.mode == FileMode::Output || e.mode == FileMode::Append) return e.written;
  return detail::SeekNativeFile(e.file, 0) - static_cast<std::int64_t>(e.Unread());
}

FileMode FileAttr(int fileNumber) {
  std::lock_guard lock(g_mutex);
  return Entry(fileNumber).mode;
}

}  // namespace velmora
