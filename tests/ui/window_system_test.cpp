// Start-up's window-system choices and the launch time of a startup ID.
#include "ui/window_system.h"

#include <QMap>
#include <QtTest>

#include "registry.h"
#include "window_fixture.h"

using namespace velmora;
using velmora::testing::WriteBytes;

class WindowSystemTest : public velmora::testing::WindowFixture {
  Q_OBJECT

 private slots:
  void choosesPlatformAndFrame() {
    struct Case {
      const char* name;
      QMap<QByteArray, QByteArray> env;
      QByteArray platform;
      bool noQtFrame;
    };
    const Case cases[] = {
        {"X11 session", {{"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "GNOME"}}, "", false},
        {"GNOME on Wayland with XWayland",
         {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "GNOME"}}, "xcb;wayland", true},
        {"Ubuntu's GNOME", {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}},
         "xcb;wayland", true},
        {"GNOME by its session desktop",
         {{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}, {"XDG_SESSION_DESKTOP", "gnome"}}, "xcb;wayland", true},
        {"GNOME without XWayland", {{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "GNOME"}}, "", true},
        {"platform chosen by the user",
         {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "GNOME"},
          {"QT_QPA_PLATFORM", "wayland"}},
         "", true},
        {"X11 chosen by the user on Wayland", {{"WAYLAND_DISPLAY", "w"}, {"QT_QPA_PLATFORM", "xcb"}}, "", true},
        {"Wayland forced without a session", {{"QT_QPA_PLATFORM", "wayland"}}, "", true},
        {"X11 forced on an X11 session", {{"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "xcb"}}, "", false},
        {"KDE Plasma on Wayland", {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "KDE"}},
         "", true},
        {"weston", {{"WAYLAND_DISPLAY", "wayland-1"}}, "", true},
        {"a desktop merely named like GNOME", {{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "GNOMEish"}},
         "", true},
        {"frame plugin chosen by the user", {{"WAYLAND_DISPLAY", "w"}, {"QT_WAYLAND_DECORATION", "adwaita"}}, "", false},
        {"frames already turned off", {{"WAYLAND_DISPLAY", "w"}, {"QT_WAYLAND_DISABLE_WINDOWDECORATION", "1"}}, "", false},
        {"no display at all", {}, "", false},
    };
    for (const Case& c : cases) {
      const QtChoices got = ChooseQt([&](const char* name) { return c.env.value(name); });
      QVERIFY2(got.platform == c.platform, c.name);
      QVERIFY2(got.noQtFrame == c.noQtFrame, c.name);
    }
  }

  void launchTimeOfAStartupId() {
    struct Case {
      QByteArray id;
      std::uint32_t time;
    };
    const Case cases[] = {
        {"gnome-shell/Files/4069-1-host_TIME123456", 123456},
        {"host;1234;5678;9_TIME42", 42},
        {"a_TIME1_TIME99", 99},  // the last one counts
        {"x_TIME77abc", 77},
        {"x_TIME4294967295", 4294967295u},
        {"x_TIME4294967296", 0},  // beyond 32 bits: no time
        {"x_TIME", 0},
        {"x_time5", 0},
        {"no time here", 0},
        {"", 0},
    };
    for (const Case& c : cases) QVERIFY2(LaunchTime(c.id) == c.time, c.id.constData());
  }

  void showingForTheLaunchLeavesNoVariablesToChildren() {
    // What start-up sets for Qt alone must not reach the programs that "run"
    // starts: a platform or frame choice there would be ours, not theirs.
    Reset();
    qputenv("VELMORA_TEST_SET_FOR_QT", "1");
    Launch launch{{}, {"VELMORA_TEST_SET_FOR_QT"}};
    WriteBytes(Data("a.txt"), "x");
    Open(Data("a.txt"), false);
    ShowForLaunch(*window_, launch, false);
    QVERIFY(window_->isVisible());
    QVERIFY(!qEnvironmentVariableIsSet("VELMORA_TEST_SET_FOR_QT"));
    QVERIFY(launch.setForQt.empty());
    window_.reset();
  }
};

#include "window_system_test.moc"

static const int kRegistered = velmora::testing::RegisterUiTest<WindowSystemTest>();
