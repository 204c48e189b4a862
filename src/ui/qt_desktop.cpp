#include "ui/qt_desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>

#include "platform/errors.h"

namespace velmora {
namespace {
// Not fromStdU16String: it would read a leading U+FEFF or U+FFFE as a byte-order mark.
QString Q(const Text& t) { return QString(reinterpret_cast<const QChar*>(t.data()), qsizetype(t.size())); }
}  // namespace

Text QtDesktop::ClipboardText() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) Raise(err::kDeviceIOError);
  return clipboard->text(QClipboard::Clipboard).toStdU16String();
}

void QtDesktop::SetClipboardText(const Text& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) Raise(err::kDeviceIOError);
  clipboard->setText(Q(text), QClipboard::Clipboard);
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
  QMessageBox box(qtIcon, Q(title), Q(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

}  // namespace velmora
