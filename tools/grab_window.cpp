// Renders the rename window, opened on a sample file and activated, to a PNG.
// Usage: velmora_grab OUTPUT.png SAMPLE_FILE [PROGRAM_FOLDER]
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/modes.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "support/fake_desktop.h"
#include "support/fake_shell.h"
#include "ui/frm_quick_ren.h"


int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT.png SAMPLE_FILE [PROGRAM_FOLDER]\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  velmora::InitModes();
  // The picture needs a desktop and a shell, but neither has to act.
  velmora::testing::FakeDesktop desktop;
  velmora::testing::FakeShell shell;
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
