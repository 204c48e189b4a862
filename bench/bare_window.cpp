// The start-up baseline: a plain Qt dialog with the rename window's size,
// fonts and 31 controls (line edits, push buttons, labels, a combo box and a
// banner), and none of the program's own work. Like the real window it asks
// for activation itself once it is on screen and, when activated, sets its title and selects and
// focuses the base-name field, so the benchmark sees both reach the same state.
//
//   velmora_bare_window [file]
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <vector>

namespace {

const QStringList kVerdana = {"Verdana", "DejaVu Sans", "Bitstream Vera Sans", "Liberation Sans", "Arial"};
const QStringList kTahoma = {"Tahoma", "DejaVu Sans Condensed", "Liberation Sans Narrow", "Arial Narrow",
                             "DejaVu Sans"};

enum class Kind { ReadOnlyText, Text, Button, Label, List, Banner, BannerLabel };
enum class Face { Default, Verdana, Tahoma };

struct Control {
  Kind kind;
  const char* caption;
  int x, y, width, height;
  Face face;
  int pixels;  // font size; 0 keeps the dialog's
  bool bold;
};

// The rename window's controls in its tab order; its five picture buttons are
// plain push buttons here.
const Control kControls[] = {
    {Kind::ReadOnlyText, "", 8, 32, 757, 27, Face::Verdana, 13, false},
    {Kind::Button, "Cancel", 680, 316, 125, 25, Face::Verdana, 13, false},
    {Kind::ReadOnlyText, "", 8, 68, 793, 27, Face::Verdana, 13, false},
    {Kind::Text, "", 8, 144, 721, 27, Face::Tahoma, 13, false},
    {Kind::Text, "", 744, 144, 57, 27, Face::Tahoma, 13, false},
    {Kind::Button, "Trim", 12, 184, 69, 29, Face::Verdana, 11, true},
    {Kind::Button, "abc", 84, 220, 69, 29, Face::Verdana, 11, true},
    {Kind::Button, "ABC", 12, 220, 69, 29, Face::Verdana, 11, true},
    {Kind::Button, "Abc Def", 156, 220, 69, 29, Face::Verdana, 11, true},
    {Kind::Label, ".", 734, 144, 7, 23, Face::Verdana, 19, true},
    {Kind::Button, "Rename!", 540, 316, 129, 25, Face::Verdana, 13, false},
    {Kind::Button, "Abc def", 228, 220, 69, 29, Face::Verdana, 11, true},
    {Kind::Button, "Compact Spc", 84, 184, 69, 29, Face::Verdana, 11, true},
    {Kind::Button, "HTML Title", 12, 256, 109, 29, Face::Verdana, 11, true},
    {Kind::Button, "", 92, 120, 20, 20, Face::Default, 0, false},
    {Kind::Button, "", 8, 120, 20, 20, Face::Default, 0, false},
    {Kind::Button, "", 36, 120, 20, 20, Face::Default, 0, false},
    {Kind::Button, "", 64, 120, 20, 20, Face::Default, 0, false},
    {Kind::Button, "Unescape %nn", 148, 308, 109, 29, Face::Verdana, 11, true},
    {Kind::Button, "", 120, 120, 20, 20, Face::Default, 0, false},
    {Kind::Button, "- to _", 332, 188, 69, 29, Face::Verdana, 11, true},
    {Kind::Button, "Remove Spc", 156, 184, 69, 29, Face::Verdana, 11, true},
    {Kind::Button, "_ to -", 404, 188, 69, 29, Face::Verdana, 11, true},
    {Kind::Button, "Remove non alphanumeric", 12, 300, 133, 37, Face::Verdana, 11, true},
    {Kind::Button, "run", 772, 32, 33, 29, Face::Verdana, 11, false},
    {Kind::Button, "Text Title", 124, 256, 109, 29, Face::Verdana, 11, true},
    {Kind::Button, "split CamelCase", 264, 308, 109, 29, Face::Verdana, 11, true},
    {Kind::List, "", 588, 248, 205, 21, Face::Verdana, 11, false},
    {Kind::Label, "Often used names", 588, 232, 104, 13, Face::Verdana, 11, false},
    {Kind::Banner, "", 0, 0, 811, 25, Face::Default, 0, false},
    {Kind::BannerLabel, "", 8, 4, 389, 16, Face::Tahoma, 15, false},
};

class BareWindow : public QDialog {
 public:
  explicit BareWindow(const QString& path) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(812, 348);
    std::vector<QLineEdit*> edits;
    for (const Control& c : kControls) {
      const QString caption = QString::fromUtf8(c.caption);
      QWidget* widget = nullptr;
      switch (c.kind) {
        case Kind::ReadOnlyText:
        case Kind::Text: {
          auto* edit = new QLineEdit(this);
          if (c.kind == Kind::ReadOnlyText) {
            edit->setReadOnly(true);
            QPalette pal = edit->palette();
            pal.setColor(QPalette::Base, pal.color(QPalette::Button));
            edit->setPalette(pal);
          }
          edits.push_back(edit);
          widget = edit;
          break;
        }
        case Kind::Button: {
          auto* button = new QPushButton(caption, this);
          button->setAutoDefault(false);
          widget = button;
          break;
        }
        case Kind::Label:
          widget = new QLabel(caption, this);
          widget->setFocusPolicy(Qt::NoFocus);
          break;
        case Kind::List:
          widget = new QComboBox(this);
          break;
        case Kind::Banner:
          banner_ = new QWidget(this);
          banner_->setAutoFillBackground(true);
          widget = banner_;
          break;
        case Kind::BannerLabel: {
          bannerLabel_ = new QLabel(banner_);
          QPalette pal = bannerLabel_->palette();
          pal.setColor(QPalette::WindowText, Qt::white);
          bannerLabel_->setPalette(pal);
          bannerLabel_->setAttribute(Qt::WA_TranslucentBackground);
          widget = bannerLabel_;
          break;
        }
      }
      if (c.face != Face::Default) {
        QFont f = font();
        f.setFamilies(c.face == Face::Verdana ? kVerdana : kTahoma);
        f.setPixelSize(c.pixels);
        f.setBold(c.bold);
        widget->setFont(f);
      }
      widget->setGeometry(c.x, c.y, c.width, c.height);
      if (c.kind == Kind::Label) static_cast<QLabel*>(widget)->adjustSize();
    }
    banner_->lower();

    const QFileInfo info(path);
    edits[0]->setText(path);
    edits[1]->setText(info.fileName());
    edits[2]->setText(info.completeBaseName());
    edits[3]->setText(info.suffix());
    baseName_ = edits[2];
  }

 protected:
  void showEvent(QShowEvent* e) override {
    QDialog::showEvent(e);
    // No window manager may be there to activate it: ask, as the program
    // does, once the first exposure has been painted.
    if (!activated_ && windowHandle() != nullptr) windowHandle()->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed()) {
      watched->removeEventFilter(this);
      QMetaObject::invokeMethod(this, [this] { activateWindow(); }, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, e);
  }

  bool event(QEvent* e) override {
    const bool result = QDialog::event(e);
    if (e->type() == QEvent::WindowActivate && !activated_) {
      activated_ = true;
      setWindowTitle(QStringLiteral("Velmora"));
      bannerLabel_->setText(QStringLiteral("Velmora"));
      bannerLabel_->adjustSize();
      QPalette pal = banner_->palette();
      pal.setColor(QPalette::Window, QColor(0, 128, 255));
      banner_->setPalette(pal);
      baseName_->setSelection(0, baseName_->text().size());
      baseName_->setFocus(Qt::OtherFocusReason);
    }
    return result;
  }

 private:
  QWidget* banner_ = nullptr;
  QLabel* bannerLabel_ = nullptr;
  QLineEdit* baseName_ = nullptr;
  bool activated_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
  const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  int qtArgc = 1;
  std::vector<char*> qtArgv = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv.data());
  BareWindow window(path);
  window.show();
  return app.exec();
}
