#include "shell/run_file.h"

#include "fileio/paths.h"

namespace velmora {

Text RunFileMessage(long code) {
  // Two texts end with a space; they are shown exactly as they are.
  switch (code) {
    case 0:
      return u"The file could not be run due to insufficient system memory or a corrupt program file";
    case 2: return u"File Not Found";
    case 3: return u"Invalid Path";
    case 5: return u"Sharing or protection error";
    case 6: return u"Separate data segments are required for each task ";
    case 8: return u"Insufficient memory to run the program";
    case 10: return u"Incorrect Windows version";
    case 11: return u"Invalid Program File";
    case 12: return u"Program file requires a different operating System ";
    case 13: return u"Program requires MS-DOS 4.0";
    case 14: return u"Unknown program file type";
    case 15: return u"Windows prgram does not support protected memory mode";
    case 16: return u"Invalid use of data segments when loading a second instance of a program";
    case 19: return u"Attempt to run a compressed program file";
    case 20: return u"Invalid dynamic link library";
    case 21: return u"Program requires Windows 32-bit extensions";
    default: return Text();
  }
}

void RunFile(Desktop& desktop, Shell& shell, const Text& path, int showCommand) {
  const Text folder = GetDirName(desktop, path);
  const long result = shell.Execute(u"Open", path, Text(), folder, showCommand);
  if (result > 32) return;
  if (result == open_result::kNoAssociation) {
    OpenWithFallback(desktop, shell, path);
    return;
  }
  desktop.MessageBox(RunFileMessage(result), u"Error Message", MessageIcon::Critical);
}

}  // namespace velmora
