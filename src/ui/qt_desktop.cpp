#include "ui/qt_desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QMessageBox>

#include "platform/errors/errors.h"
#include "ui/qt_text.h"

namespace velmora {
namespace {

// What a window manager's title bar holds besides the title, on each side of
// a centred one: up to three buttons (or the icon), about 26 pixels each.
constexpr int kTitleBarSide = 3 * 26;

}  // namespace

int TitleBarWidth(const QString& title) {
  // Window managers draw titles in a bold face, often larger than the
  // application's text.
  QFont font = QApplication::font();
  font.setBold(true);
  if (font.pointSizeF() > 0)
    font.setPointSizeF(font.pointSizeF() * 1.1);
  else
    font.setPixelSize(qRound(font.pixelSize() * 1.1));
  return QFontMetrics(font).horizontalAdvance(title) + 2 * kTitleBarSide;
}

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
  // Qt sizes the box to its text; a short text under a longer title would
  // leave the window manager no room for the title ("Err... ge").
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(TitleBarWidth(box.windowTitle()), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  box.exec();
}

}  // namespace velmora
