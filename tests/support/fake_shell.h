// A shell that records what was asked of it and answers as the test says.
#pragma once

#include <vector>

#include "platform/shell/shell.h"

namespace velmora::testing {

class FakeShell : public Shell {
 public:
  struct ExecuteCall {
    Text verb;
    Text file;
    Text parameters;
    Text directory;
    int showCommand;
  };
  struct CommandLine {
    Text commandLine;
    int showCommand;
  };

  long Execute(const Text& verb, const Text& file, const Text& parameters, const Text& directory,
               int showCommand) override {
    executed.push_back({verb, file, parameters, directory, showCommand});
    return executeResult;
  }
  void StartCommandLine(const Text& commandLine, int showCommand) override {
    started.push_back({commandLine, showCommand});
  }
  bool ChooseProgram(const Text& file) override {
    chosen.push_back(file);
    return chooserAvailable;
  }

  long executeResult = 42;       ///< what Execute answers
  bool chooserAvailable = true;  ///< what ChooseProgram answers
  std::vector<ExecuteCall> executed;
  std::vector<CommandLine> started;
  std::vector<Text> chosen;
};

}  // namespace velmora::testing
