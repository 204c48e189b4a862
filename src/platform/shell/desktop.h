// The desktop seam: clipboard, beep and the modal message box. The program
// passes the real one (src/ui), tests pass a recording fake.
#pragma once

#include "platform/text/text.h"

namespace velmora {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };

class Desktop {
 public:
  virtual ~Desktop() = default;
  /// The plain text on the clipboard; empty when it holds none. Throws
  /// RuntimeError when the clipboard cannot be read.
  virtual Text ClipboardText() = 0;
  /// Replaces the plain text on the clipboard. Throws RuntimeError on failure.
  virtual void SetClipboardText(const Text& text) = 0;
  /// The system's default beep.
  virtual void Beep() = 0;
  /// A modal box with one OK button; returns when the person closes it.
  virtual void MessageBox(const Text& text, const Text& title, MessageIcon icon) = 0;
};

}  // namespace velmora
