// The Windows shell: ShellExecuteW for associations; the Open With dialog is
// started by its own command line, so there is no chooser to call here.
#include "platform/shell/real_shell.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace velmora {
namespace {

const wchar_t* Wide(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
const wchar_t* WideOrNull(const Text& text) { return text.empty() ? nullptr : Wide(text); }
bool HasNul(const Text& text) { return text.find(u'\0') != Text::npos; }

/// The program a command line starts, when it names it bare (as
/// "rundll32.exe ..."): the one in the system folder, or none. Left to
/// itself, CreateProcessW would look in the program's folder and the current
/// folder first, where a planted copy would run instead.
std::wstring SystemProgram(const std::wstring& commandLine) {
  if (commandLine.empty() || commandLine[0] == L'"') return {};
  const std::wstring name = commandLine.substr(0, commandLine.find_first_of(L" \t"));
  if (name.find_first_of(L"\\/:") != std::wstring::npos) return {};
  std::wstring folder(MAX_PATH, L'\0');
  const UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (length == 0 || length >= folder.size()) return {};
  folder.resize(length);
  const std::wstring path = folder + L"\\" + name;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {};
  return path;
}

/// ShellExecuteW expects COM on the calling thread; the window's thread has it
/// (Qt initialises OLE there), and plain associations work without it.
class WindowsShell final : public Shell {
 public:
  long Execute(const Text& verb, const Text& file, const Text& parameters, const Text& directory,
               int showCommand) override {
    // A NUL would cut the text short and name some other file.
    if (HasNul(verb) || HasNul(file) || HasNul(parameters) || HasNul(directory)) {
      return open_result::kFileNotFound;
    }
    const HINSTANCE result = ShellExecuteW(nullptr, WideOrNull(verb), Wide(file), WideOrNull(parameters),
                                           WideOrNull(directory), showCommand);
    // Only values up to 32 carry a meaning; success need not fit a long.
    const INT_PTR code = reinterpret_cast<INT_PTR>(result);
    return code > 32 ? open_result::kStarted : static_cast<long>(code);
  }

  void StartCommandLine(const Text& commandLine, int showCommand) override {
    if (commandLine.empty() || HasNul(commandLine)) return;
    // CreateProcessW may write into its command line, so it gets a copy.
    std::wstring buffer(Wide(commandLine), commandLine.size());
    const std::wstring program = SystemProgram(buffer);
    if (program.empty()) return;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
  }

  bool ChooseProgram(const Text&) override { return false; }
};

}  // namespace

std::unique_ptr<Shell> MakeRealShell() { return std::make_unique<WindowsShell>(); }

// The toolkit's file dialog is the system's own here.
ChosenFile ChooseFileWithDesktop(const Text&) { return {ChosenFile::Unavailable, {}}; }

}  // namespace velmora
