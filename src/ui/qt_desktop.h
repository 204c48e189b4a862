// The desktop seam over Qt: the system clipboard, beep and message boxes.
#pragma once

#include <QString>

#include "platform/shell/desktop.h"

namespace velmora {

/// The width a window needs for the window manager to show `title` whole.
int TitleBarWidth(const QString& title);

class QtDesktop : public Desktop {
 public:
  Text ClipboardText() override;
  void SetClipboardText(const Text& text) override;
  void Beep() override;
  void MessageBox(const Text& text, const Text& title, MessageIcon icon) override;
};

}  // namespace velmora
