// The shell on macOS, until it asks Launch Services: no file has an associated
// program, so "run" answers 31 and the window offers its own chooser; the
// toolkit's file dialog is the desktop's own there.
#include "platform/shell/real_shell.h"

namespace velmora {
namespace {

class MacShell final : public Shell {
 public:
  long Execute(const Text&, const Text&, const Text&, const Text&, int) override {
    return open_result::kNoAssociation;
  }
  void StartCommandLine(const Text&, int) override {}
  bool ChooseProgram(const Text&) override { return false; }
};

}  // namespace

std::unique_ptr<Shell> MakeRealShell() { return std::make_unique<MacShell>(); }

ChosenFile ChooseFileWithDesktop(const Text&) { return {ChosenFile::Unavailable, {}}; }

Text ProgramIdFor(const Text&, const Text&) { return {}; }

}  // namespace velmora
