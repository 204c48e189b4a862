// The GIO shell for real: GIO reading a temporary XDG desktop with one
// handler. GIO reads the environment once per process, so every case runs in
// a fresh child.
#ifndef _WIN32

#include "platform/shell/real_shell.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "platform/codec/codec.h"
#include "support/fake_portal.h"
#include "test_files.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using testing::FakeFileChooserPortal;
using testing::ReadBytes;
using testing::WriteBytes;

/// True once `path` exists; gives up after five seconds.
bool AwaitFile(const std::string& path) {
  for (const auto end = Clock::now() + 5s; Clock::now() < end; std::this_thread::sleep_for(20ms))
    if (access(path.c_str(), F_OK) == 0) return true;
  return false;
}

std::string RealPath(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::canonical(path, ignored).string();
}

/// A throwaway desktop: XDG folders with one handler for text/plain (a script
/// that writes its argument and working folder to `Launched()`), mime globs of
/// its own (no system database is read) and no session bus.
class XdgWorld {
 public:
  XdgWorld() : folder_("velmora-shell-"), root_(folder_.Root()) {
    for (const char* dir : {"/data", "/data/applications", "/data/mime", "/config", "/system",
                            "/runtime", "/files"})
      mkdir((root_ + dir).c_str(), 0700);
    WriteBytes(root_ + "/handler.sh", "#!/bin/sh\n{ printf '%s\\n' \"$1\"; pwd -P; } > '" + root_ +
                                          "/launching' && mv '" + root_ + "/launching' '" + Launched() +
                                          "'\n");
    WriteBytes(root_ + "/data/applications/velmora-test-handler.desktop",
               "[Desktop Entry]\nType=Application\nName=Velmora test handler\n"
               "Exec=/bin/sh \"" + root_ + "/handler.sh\" %f\nMimeType=text/plain;\n");
    WriteBytes(root_ + "/config/mimeapps.list",
               "[Default Applications]\ntext/plain=velmora-test-handler.desktop\n");
    WriteBytes(root_ + "/data/mime/globs2",
               "50:text/plain:*.txt\n50:application/x-velmora-nothing:*.velmoranothing\n");
  }
  const std::string& Root() const { return root_; }
  std::string Files() const { return root_ + "/files"; }
  std::string Launched() const { return root_ + "/launched"; }
  /// Written when a stand-in for Velmora was started: it never should be.
  std::string VelmoraRan() const { return root_ + "/velmora-ran"; }
  /// The stand-in for the Velmora executable, and the `velmora` command in
  /// the world's PATH that links to it.
  std::string VelmoraProgram() const { return root_ + "/prog/velmora"; }

  /// Installs a stand-in for Velmora claiming text/plain under `id`, started
  /// as `exec`, and makes it the default; `keepOther` leaves the other
  /// handler installed.
  void InstallVelmora(const std::string& id, const std::string& exec, bool keepOther) {
    mkdir((root_ + "/prog").c_str(), 0700);
    mkdir((root_ + "/bin").c_str(), 0700);
    WriteBytes(VelmoraProgram(), "#!/bin/sh\ntouch '" + VelmoraRan() + "'\n");
    chmod(VelmoraProgram().c_str(), 0700);
    symlink("../prog/velmora", (root_ + "/bin/velmora").c_str());
    WriteBytes(root_ + "/data/applications/" + id,
               "[Desktop Entry]\nType=Application\nName=Velmora\nExec=" + exec +
                   " %f\nMimeType=application/octet-stream;text/plain;\n");
    WriteBytes(root_ + "/config/mimeapps.list", "[Default Applications]\ntext/plain=" + id + "\n");
    // The index update-desktop-database keeps, which GIO reads to list every
    // program for a type; Velmora first, the worst case.
    std::string programs = id + ";";
    if (keepOther) {
      programs += "velmora-test-handler.desktop;";
    } else {
      unlink((root_ + "/data/applications/velmora-test-handler.desktop").c_str());
    }
    WriteBytes(root_ + "/data/applications/mimeinfo.cache",
               "[MIME Cache]\napplication/octet-stream=" + id + ";\ntext/plain=" + programs + "\n");
  }

  /// Points this process's desktop environment at the world.
  void Enter() const {
    setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
    setenv("XDG_DATA_DIRS", (root_ + "/system").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (root_ + "/system").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root_ + "/runtime").c_str(), 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + root_ + "/runtime/no-bus").c_str(), 1);
    setenv("GIO_USE_VFS", "local", 1);
    setenv("GIO_MODULE_DIR", (root_ + "/system").c_str(), 1);
    setenv("PATH", (root_ + "/bin:/usr/bin:/bin").c_str(), 1);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP"}) unsetenv(name);
  }

  /// Runs `body` in a child that has entered the world; its result, or -1
  /// when the child died.
  int InChild(const std::function<int()>& body) const {
    const pid_t pid = fork();
    if (pid == 0) {
      Enter();
      _exit(body());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }

 private:
  testing::TempFolder folder_;
  const std::string root_;
};

struct ExecuteCase {
  std::string name;  // native bytes, under the world's files folder
  long expected;
};

TEST(RealShell, OpensByAssociationAndMapsFailures) {
  XdgWorld world;
  ASSERT_FALSE(world.Root().empty());
  const std::string files = world.Files();
  WriteBytes(files + "/plain.txt", "hello\n");
  WriteBytes(files + "/with spaces 'and' \"quotes\".txt", "hello\n");
  WriteBytes(files + "/caf\xE9.txt", "hello\n");
  WriteBytes(files + "/nothing.velmoranothing", std::string("\0\1\2", 3));
  WriteBytes(files + "/blob", std::string("\0\xFF\0\xFE", 4));
  WriteBytes(files + "/locked.txt", "hello\n");
  chmod((files + "/locked.txt").c_str(), 0);
  const bool readsEverything = access((files + "/locked.txt").c_str(), R_OK) == 0;  // root

  const ExecuteCase cases[] = {
      {"plain.txt", 42},
      {"with spaces 'and' \"quotes\".txt", 42},
      {"caf\xE9.txt", 42},                 // a name that is not UTF-8
      {"nothing.velmoranothing", 31},      // a type no program takes
      {"blob", 31},                        // unknown bytes
      {"absent.txt", 2},
      {"no-folder/x.txt", 3},
      {"plain.txt/x", 3},                  // a file used as a folder
      {std::string("bad\0name.txt", 12), 2},  // no file can have this name
      {"locked.txt", readsEverything ? 42 : 5},
  };
  for (const ExecuteCase& c : cases) {
    const std::string native = files + "/" + c.name;
    SCOPED_TRACE(native);
    const Text path = FromNativePath(native);
    const Text folder = FromNativePath(files + "/");
    const int result = world.InChild([&] {
      return static_cast<int>(MakeRealShell()->Execute(u"Open", path, u"", folder, show::kNormal));
    });
    ASSERT_EQ(result, c.expected);
    if (c.expected != 42) continue;
    ASSERT_TRUE(AwaitFile(world.Launched())) << "the handler never ran";
    EXPECT_EQ(ReadBytes(world.Launched()), native + "\n" + RealPath(files) + "\n");
    unlink(world.Launched().c_str());
  }
}

struct HandlerCase {
  const char* label;
  const char* velmoraId;    // the stand-in's desktop id; null: not installed
  const char* velmoraExec;  // how its entry starts it
  bool keepOther;           // the other handler of text/plain stays installed
  const char* expected;     // the program "run" starts; "" for none
};

// "run" must never open a second rename window: when the desktop's default
// for the type is Velmora, the next program for the type is used, or none.
TEST(RealShell, NeverChoosesVelmoraItself) {
  const HandlerCase cases[] = {
      {"no Velmora", nullptr, nullptr, true, "velmora-test-handler.desktop"},
      {"Velmora default by id, another handler", "velmora.desktop", "/bin/false", true,
       "velmora-test-handler.desktop"},
      {"Velmora default by id, alone", "velmora.desktop", "/bin/false", false, ""},
      {"another id, the velmora command linking to the program", "renamer.desktop", "velmora", true,
       "velmora-test-handler.desktop"},
      {"another id, the velmora command, alone", "renamer.desktop", "velmora", false, ""},
      {"another id, the program by its full path, alone", "renamer.desktop", "@program", false, ""},
  };
  for (const HandlerCase& c : cases) {
    SCOPED_TRACE(c.label);
    XdgWorld world;
    ASSERT_FALSE(world.Root().empty());
    if (c.velmoraId != nullptr) {
      const std::string exec =
          std::string(c.velmoraExec) == "@program" ? world.VelmoraProgram() : c.velmoraExec;
      world.InstallVelmora(c.velmoraId, exec, c.keepOther);
    }
    WriteBytes(world.Files() + "/notes.txt", "hello\n");
    const Text file = FromNativePath(world.Files() + "/notes.txt");
    const Text self = FromNativePath(world.VelmoraProgram());
    // The exit code carries the answer: 1 for the other handler, 2 for none.
    const int chosen = world.InChild([&] {
      const Text id = ProgramIdFor(file, self);
      if (id == u"velmora-test-handler.desktop") return 1;
      return id.empty() ? 2 : 3;
    });
    EXPECT_EQ(chosen, *c.expected == '\0' ? 2 : 1);
  }
}

// The same choice when "run" really opens the file: the other handler runs,
// or with none, "no association" (31) sends the person to the chooser.
TEST(RealShell, OpensWithTheNextHandlerWhenVelmoraIsTheDefault) {
  for (const bool keepOther : {true, false}) {
    SCOPED_TRACE(keepOther ? "with another handler" : "Velmora alone");
    XdgWorld world;
    ASSERT_FALSE(world.Root().empty());
    world.InstallVelmora("velmora.desktop", "velmora", keepOther);
    const std::string native = world.Files() + "/notes.txt";
    WriteBytes(native, "hello\n");
    const Text path = FromNativePath(native);
    const int result = world.InChild([&] {
      return static_cast<int>(MakeRealShell()->Execute(u"Open", path, u"", u"", show::kNormal));
    });
    if (keepOther) {
      ASSERT_EQ(result, 42);
      ASSERT_TRUE(AwaitFile(world.Launched())) << "the other handler never ran";
      EXPECT_EQ(ReadBytes(world.Launched()).value_or("").substr(0, native.size() + 1), native + "\n");
    } else {
      EXPECT_EQ(result, 31);
    }
    std::this_thread::sleep_for(100ms);  // a wrongly started Velmora would have touched its file by now
    EXPECT_NE(access(world.VelmoraRan().c_str(), F_OK), 0) << "Velmora was started";
  }
}

struct NoChooserCase {
  const char* label;
  bool addressGiven;  // an address naming no socket, or none at all
};

TEST(RealShell, WithoutASessionBusThereIsNoChooserAndNoWait) {
  const NoChooserCase cases[] = {{"address without a bus", true}, {"no address, no bus socket", false}};
  XdgWorld world;
  ASSERT_FALSE(world.Root().empty());
  WriteBytes(world.Files() + "/x.velmoranothing", "x");
  const Text path = FromNativePath(world.Files() + "/x.velmoranothing");
  for (const NoChooserCase& c : cases) {
    SCOPED_TRACE(c.label);
    const auto start = Clock::now();
    const int chose = world.InChild([&] {
      if (!c.addressGiven) unsetenv("DBUS_SESSION_BUS_ADDRESS");
      return MakeRealShell()->ChooseProgram(path) ? 1 : 0;
    });
    EXPECT_EQ(chose, 0);
    EXPECT_LT(Clock::now() - start, 2s);
  }
}

/// A session bus of the test's own: dbus-daemon with a configuration that
/// starts no service, listening in `folder`. Stopped on destruction.
class PrivateBus {
 public:
  explicit PrivateBus(const std::string& folder) : socket_(folder + "/bus") {
    if (access("/usr/bin/dbus-daemon", X_OK) != 0) return;
    const std::string config = folder + "/bus.conf";
    WriteBytes(config,
               "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:path=" + socket_ + "</listen>"
               "<auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" "
               "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    pid_ = fork();
    if (pid_ == 0) {
      const int null = open("/dev/null", O_WRONLY);  // its notes on fd limits are not the test's
      if (null >= 0) dup2(null, STDERR_FILENO);
      execl("/usr/bin/dbus-daemon", "dbus-daemon", ("--config-file=" + config).c_str(), "--nofork",
            "--nopidfile", static_cast<char*>(nullptr));
      _exit(127);
    }
    if (!AwaitFile(socket_)) Stop();
  }
  ~PrivateBus() { Stop(); }
  bool Running() const { return pid_ > 0; }
  std::string Address() const { return "unix:path=" + socket_; }

 private:
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  std::string socket_;
  pid_t pid_ = -1;
};

struct PortalCase {
  const char* label;
  int response;  // what the portal answers; -1: no portal on the bus
  ChosenFile::Outcome expected;
};

// Started without a file, the program asks the desktop portal first; a
// portal that is missing or fails leaves the asking to the toolkit's dialog.
TEST(RealShell, AsksThePortalForAFile) {
  const PortalCase cases[] = {
      {"a file chosen", 0, ChosenFile::Chosen},
      {"cancelled", 1, ChosenFile::Cancelled},
      {"the portal failed", 2, ChosenFile::Unavailable},
      {"a bus without a portal", -1, ChosenFile::Unavailable},
  };
  for (const PortalCase& c : cases) {
    SCOPED_TRACE(c.label);
    XdgWorld world;
    ASSERT_FALSE(world.Root().empty());
    PrivateBus bus(world.Root() + "/runtime");
    if (!bus.Running()) GTEST_SKIP() << "no dbus-daemon (install dbus-daemon)";
    const std::string chosen = world.Files() + "/IMG 0001 ü.jpg";
    WriteBytes(chosen, "x");
    const std::string titleFile = world.Root() + "/title";
    std::unique_ptr<FakeFileChooserPortal> portal;
    if (c.response >= 0) {
      portal = std::make_unique<FakeFileChooserPortal>(
          bus.Address(), static_cast<unsigned>(c.response),
          "file://" + world.Files() + "/IMG%200001%20%C3%BC.jpg", titleFile);
      ASSERT_TRUE(portal->Running());
    }
    const auto start = Clock::now();
    // The exit code carries the outcome, or 9 for a wrong path.
    const int outcome = world.InChild([&] {
      setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);
      const ChosenFile got = ChooseFileWithDesktop(u"Choose the file to rename");
      if (got.outcome == ChosenFile::Chosen && got.path != FromNativePath(chosen)) return 9;
      return static_cast<int>(got.outcome);
    });
    EXPECT_EQ(outcome, static_cast<int>(c.expected));
    EXPECT_LT(Clock::now() - start, 3s);
    if (c.response >= 0) {
      EXPECT_EQ(ReadBytes(titleFile).value_or(""), "Choose the file to rename");
    }
  }
}

TEST(RealShell, WithoutASessionBusNoFileChooserAndNoWait) {
  XdgWorld world;
  ASSERT_FALSE(world.Root().empty());
  const auto start = Clock::now();
  const int outcome = world.InChild([] { return static_cast<int>(ChooseFileWithDesktop(u"x").outcome); });
  EXPECT_EQ(outcome, static_cast<int>(ChosenFile::Unavailable));
  EXPECT_LT(Clock::now() - start, 2s);
}

}  // namespace
}  // namespace velmora

#endif  // _WIN32
