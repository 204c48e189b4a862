// velmora-undo: gives files their old names back from Velmora's undo log,
// which it finds where velmora writes it (this program sits beside velmora).
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "fileio/undo.h"
#include "undo/command.h"
#include "fileio/undo_log.h"
#include "platform/application/application.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "undo/outcome.h"

namespace {

void Write(std::FILE* stream, const velmora::Text& text) {
  const std::string bytes = velmora::ToUtf8ForDisplay(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace velmora;
  PrepareConsole();
  std::vector<Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(FromNativePath(argv[i]));
  const UndoRequest request = ParseUndoArguments(args);

  UndoOutcome outcome;
  try {
    const bool needsLog =
        request.kind != UndoRequest::Kind::Help && request.kind != UndoRequest::Kind::Invalid;
    // A log to undo from has its folder already: reading makes none.
    // The list goes out as it is made: a long log is never held as text.
    outcome = RunUndo(request, needsLog ? UndoLogPath(ProgramFolder(), NativeSeparator(), false) : Text(),
                      NativeSeparator(), [](const Text& line) { Write(stdout, line); });
  } catch (const RuntimeError& e) {
    outcome = {kUndoError, {}, e.Description()};
  } catch (const std::bad_alloc&) {
    outcome = {kUndoError, {}, ErrorDescription(err::kOutOfMemory)};
  }

  Write(stdout, outcome.output);
  if (!outcome.message.empty()) {
    Write(stderr, u"velmora-undo: " + ReplaceAll(outcome.message, u"\n", u"\nvelmora-undo: ") + u"\n");
  }
  if (request.notify) ShowOutcome(outcome.message, outcome.exitStatus);
  if (std::fflush(stdout) != 0 && outcome.exitStatus == kUndoDone) return kUndoError;
  return outcome.exitStatus;
}
