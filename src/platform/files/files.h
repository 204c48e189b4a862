// Files by number: the runtime's sequential file service. File numbers come
// from one process-wide pool (1..255), as a program with one GUI thread uses it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/text/text.h"

namespace velmora {

/// The mode a file number is open in; values are those the runtime reports.
enum class FileMode : int { Input = 1, Output = 2, Random = 4, Append = 8, Binary = 32 };

/// Access requested on open; Default means what the mode implies.
enum class FileAccess { Default, Read, Write, ReadWrite };

/// Sharing requested on open. POSIX has no mandatory sharing; the value is
/// honoured where the platform can (Windows share modes).
enum class FileShare { Default, Shared, LockRead, LockWrite, LockReadWrite };

/// The lowest free file number; error 67 when all are taken.
int FreeFile();

/// Opens `path` as `fileNumber`.
/// Input: must exist (53, 76 for a missing folder, 75 for a folder given as
/// file, 70 when denied). Output: created or emptied. Append: created when
/// missing; every write goes to the end (one write per Print call); on POSIX
/// never through a symbolic link (75). While open, the file cannot be deleted
/// with Kill (75), by this or another program.
/// Binary: byte access, read and write unless `access` says otherwise.
/// Error 55 when the number is open already, 52 for a number outside 1..255.
void OpenFile(int fileNumber, const Text& path, FileMode mode,
              FileAccess access = FileAccess::Default, FileShare share = FileShare::Default);

/// Closes the number; error 52 when it is not open.
void CloseFile(int fileNumber);

/// Reads the next line: it ends at CR or CR LF, which are consumed and not
/// returned; a lone LF is an ordinary character. Error 62 at end of file,
/// 54 when the file is not open for input.
Text LineInput(int fileNumber);

/// Reads `count` characters decoded through the text codec; error 62 when the
/// file ends first.
Text InputChars(int fileNumber, std::size_t count);

/// Reads up to `maxBytes` raw bytes from the current position; fewer only at
/// the end of the file. Works in Input and Binary mode.
std::string ReadBytes(int fileNumber, std::size_t maxBytes);

/// Writes `text` (and CR LF when `newLine`) encoded through the text codec as
/// one write, whole or not at all: bytes of a write that fails part-way (a
/// full disk, error 61) are taken back. Error 54 when the file is not open for
/// output, append or binary.
void PrintText(int fileNumber, TextView text, bool newLine);

/// Up to `maxBytes` bytes from byte `offset` of a file open for input (fewer
/// only at its end); reading then goes on after them.
std::string ReadBytesAt(int fileNumber, std::int64_t offset, std::size_t maxBytes);

/// A file number open for reading, shared with other programs, and closed
/// whatever way its owner leaves. Opening raises as OpenFile does.
class InputFile {
 public:
  explicit InputFile(const Text& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  int Number() const { return number_; }

 private:
  int number_;
};

/// True when no byte is left to read.
bool Eof(int fileNumber);
/// Length of the open file in bytes.
std::int64_t Lof(int fileNumber);
/// Bytes consumed (read position) of an input file, or written so far.
std::int64_t FilePosition(int fileNumber);
/// The mode the number is open in; error 52 when it is not open.
FileMode FileAttr(int fileNumber);

}  // namespace velmora
