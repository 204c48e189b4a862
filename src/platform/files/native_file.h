// The system's side of files by number: an open file as a POSIX descriptor or
// a Windows handle, and the few calls the file service makes on it. Every
// failure is raised as a run-time error, mapped from errno or GetLastError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/files/files.h"
#include "platform/text/text.h"

namespace velmora::detail {

/// A descriptor (POSIX) or a HANDLE (Windows), held in an integer of pointer size.
using NativeFile = std::intptr_t;

/// What an open asks of the system; the file service derives it from the mode.
struct OpenRequest {
  bool read = false;
  bool write = false;
  bool create = false;    // made when missing
  bool truncate = false;  // emptied when opened
  bool append = false;    // every write lands at the end, in one piece
  FileShare share = FileShare::Default;
};

/// Error 52 unless `path` can name a file here: not empty, no NUL, and on
/// POSIX no lone surrogate that the lossless path codec cannot write.
void CheckFileName(const Text& path);

/// Opens `path`, already checked, as `request` asks. Error 53 for a missing
/// file, 76 for a missing folder, 70 when denied, 75 for a folder, and 75 when
/// reading something that is not a file on disk (a pipe could block forever).
NativeFile OpenNativeFile(const Text& path, const OpenRequest& request);

/// Closes `file`; it is gone afterwards even when an error is raised.
void CloseNativeFile(NativeFile file);

/// Reads up to `size` bytes into `data`; returns how many, 0 only at the end.
std::size_t ReadNativeFile(NativeFile file, char* data, std::size_t size);

/// Writes from `bytes` in one system call; returns how many bytes it took
/// (all of them but for a full disk or a huge write), 0 when none.
std::size_t WriteNativeFile(NativeFile file, std::string_view bytes);

/// Removes the last `bytes` bytes that a failed write left behind, so that a
/// line is in the file whole or not at all. Error 57 when they are no longer
/// the end of the file (another program appended after them), and always on
/// Windows, where a failed write to a disk file leaves no bytes behind.
void TakeBackWrite(NativeFile file, std::size_t bytes);

/// Moves the position by `offset` bytes; returns the new position.
std::int64_t SeekNativeFile(NativeFile file, std::int64_t offset);

/// Length of `file` in bytes.
std::int64_t NativeFileSize(NativeFile file);

/// Longest character of the file text codec in bytes: 4 for UTF-8, 2 for a
/// double-byte code page.
extern const std::size_t kLongestCharacter;

/// Bytes of the character at the start of `bytes` (1 for a byte that starts
/// none) and, in `units`, the UTF-16 units it counts as. REQUIRES: `bytes`
/// holds kLongestCharacter bytes, or all that is left of the file.
std::size_t CharacterBytes(std::string_view bytes, std::size_t& units);

}  // namespace velmora::detail
