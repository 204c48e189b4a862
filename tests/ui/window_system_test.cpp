// The launch time of a startup ID.
#include "ui/window_system.h"

#include <QtTest>

#include "registry.h"

using namespace velmora;

class WindowSystemTest : public QObject {
  Q_OBJECT

 private slots:
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

};

#include "window_system_test.moc"

static const int kRegistered = velmora::testing::RegisterUiTest<WindowSystemTest>();
