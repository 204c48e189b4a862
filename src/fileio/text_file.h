// CTextFile: one text file open by number in one of three modes.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/text/text.h"

namespace velmora {

class CTextFile {
 public:
  CTextFile() = default;
  /// Closes the file when it is open; a failing close is ignored.
  ~CTextFile();
  // One object owns one file number.
  CTextFile(const CTextFile&) = delete;
  CTextFile& operator=(const CTextFile&) = delete;

  /// A path "~ctxtmp@NNNN.tmp" (0000..9999) in the folder named by "Temp"
  /// (on POSIX, when unset: TMPDIR, then /tmp), opened for output; an
  /// existing file of that name is emptied. Lower case, except a folder whose
  /// lower-case spelling would name another folder: the file is always where
  /// the path says.
  Text CreateTempFile();
  /// The path the file was opened with, in lower case; empty when closed.
  Text FileName() const;
  /// Opens with mode 0 input, 1 output, 2 append. False, with the object
  /// unchanged, on any failure or another mode.
  bool FileOpen(const Text& sFileName, std::int32_t OpenMode);
  /// Closes the file and resets the fields. Errors go to the caller.
  void FileClose();
  /// Writes out what was written; a written file stays open for append, an
  /// input file ends closed.
  void Flush();
  /// The whole file, decoded through the file codec; the object ends open for input
  /// at the start. Empty text on failure or for an empty file (which stays as
  /// it was). A failure after the object's file was closed leaves the object
  /// closed, as FileClose does.
  Text ReadAll();
  /// The remaining lines; empty lines left out when asked. No line is an
  /// empty list. Read errors go to the caller.
  std::vector<Text> ReadLnArray(bool IgnoreEmptyLines);
  /// True at the end of the file. (Named Eof: EOF is a macro of the C library.)
  bool Eof() const;
  /// The next line (ends at CR or CR LF). Error 62 past the end.
  Text ReadLn();
  /// Writes the text and CR LF in one write.
  void WriteLnStr(const Text& sStrToWrite);
  /// Writes the text alone.
  void WriteStr(const Text& sStrToWrite);
  /// The runtime file number; 0 when closed.
  std::int16_t FileHandle() const;

 private:
  void SetFileName(const Text& name);
  void SetFileHandle(std::int16_t handle);
  /// Resets the fields without closing: for a number that is closed already.
  void ForgetFile() noexcept;

  std::int16_t fileHandle_ = 0;
  Text fileName_;      // lower case, as reported
  Text openedAs_;      // as passed to FileOpen: reopening by the lower-case name would miss on a case-sensitive system
};

}  // namespace velmora
