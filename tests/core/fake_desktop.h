// A desktop that records what was asked of it, for tests of code that shows
// message boxes or uses the clipboard.
#pragma once

#include <vector>

#include "platform/shell/desktop.h"

namespace velmora {

class FakeDesktop : public Desktop {
 public:
  struct Box {
    Text text;
    Text title;
    MessageIcon icon;
  };

  Text ClipboardText() override { return clipboard; }
  void SetClipboardText(const Text& text) override { clipboard = text; }
  void Beep() override { ++beeps; }
  void MessageBox(const Text& text, const Text& title, MessageIcon icon) override {
    boxes.push_back({text, title, icon});
  }

  Text clipboard;
  int beeps = 0;
  std::vector<Box> boxes;  ///< every box shown, in order
};

}  // namespace velmora
