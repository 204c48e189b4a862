// Recording fakes of the desktop and shell seams for window tests.
#pragma once

#include <optional>
#include <vector>

#include "platform/errors/errors.h"
#include "platform/shell/desktop.h"
#include "platform/shell/shell.h"

namespace velmora::testing {

struct Message {
  Text text;
  Text title;
  MessageIcon icon;
};

class FakeDesktop : public Desktop {
 public:
  Text ClipboardText() override {
    if (clipboardBroken) Raise(err::kDeviceIOError);
    return clipboard;
  }
  void SetClipboardText(const Text& text) override {
    if (clipboardBroken) Raise(err::kDeviceIOError);
    clipboard = text;
    ++clipboardWrites;
  }
  void Beep() override { ++beeps; }
  void MessageBox(const Text& text, const Text& title, MessageIcon icon) override {
    messages.push_back({text, title, icon});
  }

  Text clipboard;
  bool clipboardBroken = false;
  int clipboardWrites = 0;
  int beeps = 0;
  std::vector<Message> messages;
};

struct ExecuteCall {
  Text verb, file, parameters, directory;
  int show;
};

class FakeShell : public Shell {
 public:
  long Execute(const Text& verb, const Text& file, const Text& parameters, const Text& directory,
               int showCommand) override {
    executed.push_back({verb, file, parameters, directory, showCommand});
    return result;
  }
  void StartCommandLine(const Text& commandLine, int showCommand) override {
    started.push_back(commandLine);
    startedShow.push_back(showCommand);
  }
  bool ChooseProgram(const Text& file) override {
    chosen.push_back(file);
    return chooserAvailable;
  }

  long result = 42;
  bool chooserAvailable = true;
  std::vector<ExecuteCall> executed;
  std::vector<Text> started;
  std::vector<int> startedShow;
  std::vector<Text> chosen;
};

}  // namespace velmora::testing
