// A desktop that records what was asked of it, for the tests of code that
// shows message boxes or uses the clipboard, and for the window picture tool.
#pragma once

#include <vector>

#include "platform/errors/errors.h"
#include "platform/shell/desktop.h"

namespace velmora::testing {

class FakeDesktop : public Desktop {
 public:
  struct Message {
    Text text;
    Text title;
    MessageIcon icon;
  };

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
  bool clipboardBroken = false;  ///< every clipboard call fails
  int clipboardWrites = 0;
  int beeps = 0;
  std::vector<Message> messages;  ///< every box shown, in order
};

}  // namespace velmora::testing
