// The outcome on Windows: a message box; the console set to UTF-8.
#include "undo/outcome.h"

#include <windows.h>

#include <string>

#include "undo/command.h"

namespace velmora {

void PrepareConsole() { SetConsoleOutputCP(CP_UTF8); }

bool ShowOutcome(const Text& message, int exitStatus) {
  const UINT icon = exitStatus == kUndoDone        ? MB_ICONINFORMATION
                    : exitStatus == kNothingToUndo ? MB_ICONWARNING
                                                   : MB_ICONERROR;
  const std::wstring text(message.begin(), message.end());
  return MessageBoxW(nullptr, text.c_str(), L"Velmora", MB_OK | icon) != 0;
}

}  // namespace velmora
