// The desktop seam over Qt: the system clipboard, beep and message boxes.
#pragma once

#include "platform/desktop.h"

namespace velmora {

class QtDesktop : public Desktop {
 public:
  Text ClipboardText() override;
  void SetClipboardText(const Text& text) override;
  void Beep() override;
  void MessageBox(const Text& text, const Text& title, MessageIcon icon) override;
};

}  // namespace velmora
