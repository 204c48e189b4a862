// The start-up baseline: a plain Qt window with the rename window's size,
// fonts and 31 controls (line edits, push buttons, labels, a combo box and a
// banner), built from the window's own control table, and none of the
// program's own work. Like the real window it asks for activation itself once
// it is on screen and, when activated, sets its title and selects and focuses
// the base-name field, so the benchmark sees both reach the same state.
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
#include <QWindow>
#include <vector>

#include "ui/control_table.h"

namespace {

using velmora::Face;
using velmora::Kind;

QStringList Families(Face face) {
  QStringList families;
  for (const char* family : face == Face::Verdana ? velmora::kVerdanaFamilies : velmora::kTahomaFamilies)
    families << family;
  return families;
}

class BareWindow : public QDialog {
 public:
  explicit BareWindow(const QString& path) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(812, 348);
    std::vector<QLineEdit*> edits;
    // The window's own table; its picture buttons are plain push buttons here.
    for (const velmora::Control& c : velmora::kControls) {
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
        case Kind::Button:
        case Kind::Picture: {
          auto* button = new QPushButton(c.kind == Kind::Button ? caption : QString(), this);
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
        f.setFamilies(Families(c.face));
        f.setPixelSize(qRound(c.points * 96.0 / 72.0));
        f.setBold(c.bold);
        widget->setFont(f);
      }
      widget->setGeometry(c.rect.x, c.rect.y, c.rect.width, c.rect.height);
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
