// Renders the rename window, opened on a sample file and activated, to a PNG.
// Usage: velmora_grab OUTPUT.png SAMPLE_FILE [PROGRAM_FOLDER]
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/modes.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "ui/frm_quick_ren.h"

namespace {

// The window needs a desktop and a shell; the picture needs neither to act.
class QuietDesktop : public velmora::Desktop {
 public:
  velmora::Text ClipboardText() override { return {}; }
  void SetClipboardText(const velmora::Text&) override {}
  void Beep() override {}
  void MessageBox(const velmora::Text&, const velmora::Text&, velmora::MessageIcon) override {}
};

class QuietShell : public velmora::Shell {
 public:
  long Execute(const velmora::Text&, const velmora::Text&, const velmora::Text&, const velmora::Text&, int) override {
    return 42;
  }
  void StartCommandLine(const velmora::Text&, int) override {}
  bool ChooseProgram(const velmora::Text&) override { return false; }
};

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT.png SAMPLE_FILE [PROGRAM_FOLDER]\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  velmora::InitModes();
  QuietDesktop desktop;
  QuietShell shell;
  // Decoded as the program decodes its own arguments: names are bytes here.
  velmora::frmQuickRen window(
      desktop, shell,
      velmora::WindowFacts(velmora::FromNativePath(argv[2]),
                           argc > 3 ? velmora::FromNativePath(argv[3]) : velmora::Text()));
  window.show();
  window.EnsureActivated();
  QTimer::singleShot(300, [&] {
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]));
    app.exit(saved ? 0 : 1);
  });
  return app.exec();
}
