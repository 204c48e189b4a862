// The outcome on a freedesktop desktop: notify-send when a notification
// server answers, otherwise a message box from zenity, kdialog or xmessage,
// whichever is installed. Each runs as a program of its own, found on PATH.
#include "undo/outcome.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "undo/command.h"

extern char** environ;

namespace velmora {

namespace {

constexpr int kCouldNotRun = -1;

/// Runs `args[0]`, found through PATH, with its output discarded (a script
/// may be reading ours), and waits for it. Its exit status, or kCouldNotRun.
int Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  if (::posix_spawn_file_actions_init(&actions) != 0) return kCouldNotRun;
  ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int failed = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return kCouldNotRun;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return kCouldNotRun;
  }
  if (!WIFEXITED(status)) return kCouldNotRun;
  // 127: the shell's "not found", which an older C library reports this way.
  return WEXITSTATUS(status) == 127 ? kCouldNotRun : WEXITSTATUS(status);
}

/// The body of a notification: servers may read it as markup.
std::string Markup(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

bool HasDisplay() {
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

}  // namespace

void PrepareConsole() {}

bool ShowOutcome(const Text& message, int exitStatus) {
  const std::string text = ToUtf8ForDisplay(message);
  const char* summary = exitStatus == kUndoDone        ? "Rename undone"
                        : exitStatus == kNothingToUndo ? "Nothing to undo"
                                                       : "Undo failed";
  // notify-send fails when no notification server runs: then a box.
  if (Run({"notify-send", "--app-name=Velmora", "--icon=velmora", "--", summary, Markup(text)}) == 0) {
    return true;
  }
  if (!HasDisplay()) return false;
  const std::string titled = std::string(summary) + "\n\n" + text;
  // A box counts as shown once its program ran: 1 is how some report a box
  // closed by its window's close button.
  auto shown = [](int status) { return status == 0 || status == 1; };
  const char* level = exitStatus == kUndoDone ? "--info" : exitStatus == kNothingToUndo ? "--warning" : "--error";
  if (shown(Run({"zenity", level, "--title=Velmora", "--no-markup", "--text=" + titled}))) return true;
  const char* kdeLevel = exitStatus == kUndoDone ? "--msgbox" : exitStatus == kNothingToUndo ? "--sorry" : "--error";
  if (shown(Run({"kdialog", "--title", "Velmora", kdeLevel, titled}))) return true;
  return shown(Run({"xmessage", "-center", "-title", "Velmora", titled}));
}

}  // namespace velmora
