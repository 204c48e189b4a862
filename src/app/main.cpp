// Start-up: product constants, the command line, and the one window.
#include <QApplication>
#include <optional>
#include <vector>

#include "app/modes.h"
#include "platform/application/application.h"
#include "platform/shell/real_shell.h"
#include "ui/file_chooser.h"
#include "ui/frm_quick_ren.h"
#include "ui/qt_desktop.h"
#include "ui/window_system.h"

int main(int argc, char* argv[]) {
  using namespace velmora;
  // The argument text is taken before Qt sees argv: Qt would strip options
  // such as -style or -reverse from it, even from a file name.
  const Text commandLine = CommandLineText(argc, argv);
  Launch launch = PrepareWindowSystem();  // before Qt, which takes DESKTOP_STARTUP_ID
  QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));  // the Wayland app id, matching velmora.desktop
  int qtArgc = 1;
  std::vector<char*> qtArgv = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv.data());

  InitModes();

  // Without a file the window could only fail: ask for one first. Cancel ends
  // the program before anything is opened or written.
  DesktopFileChooser chooser;
  const std::optional<Text> textToLoad = TextToLoad(commandLine, chooser);
  if (!textToLoad) {
    EndProcessNow(0);
    return 0;
  }
  // The launch belonged to the chooser; the person has acted since, so the
  // window goes by that, not by a launch time long past.
  if (AsksForFile(commandLine)) launch.startupId.clear();

  int code = 0;
  {
    QtDesktop desktop;
    std::unique_ptr<Shell> shell = MakeRealShell();
    frmQuickRen window(desktop, *shell, WindowFacts(*textToLoad, ProgramFolder(), AsksForFile(commandLine)));
    ShowForLaunch(window, launch, StartsMinimised(commandLine));
    code = app.exec();
  }  // the window is gone here, its undo log closed
  EndProcessNow(code);
  return code;
}
