#include "ui/qt_desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>

#include "platform/errors.h"
#include "ui/qt_text.h"

namespace velmora {

Text QtDesktop::ClipboardText() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) Raise(err::kDeviceIOError);
  return TextOf(clipboard->text(QClipboard::Clipboard));
}

void QtDesktop::SetClipboardText(const Text& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) Raise(err::kDeviceIOError);
  clipboard->setText(QStr(text), QClipboard::Clipboard);
}

void QtDesktop::Beep() { QApplication::beep(); }

void QtDesktop::MessageBox(const Text& text, const Text& title, MessageIcon icon) {
  QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
  switch (icon) {
    case MessageIcon::None: qtIcon = QMessageBox::NoIcon; break;
    case MessageIcon::Critical: qtIcon = QMessageBox::Critical; break;
    case MessageIcon::Question: qtIcon = QMessageBox::Question; break;
    case MessageIcon::Exclamation: qtIcon = QMessageBox::Warning; break;
    case MessageIcon::Information: qtIcon = QMessageBox::Information; break;
  }
  QMessageBox box(qtIcon, QStr(title), QStr(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

}  // namespace velmora
