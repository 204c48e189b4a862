// Where the undo log and the word list live on POSIX, and the log's rules
// against other running copies, full disks and symbolic links, with real
// processes and real files.
#include "fileio/undo_log.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "fileio/text_file.h"
#include "platform/errors/errors.h"
#include "platform/files/files.h"
#include "test_files.h"

namespace velmora {
namespace {

using testing::ErrorOf;

/// Runs `body` in a child process and returns its exit status (the value
/// `body` returns), or -1 when it died.
int InChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    int code = 99;
    try {
      code = body();
    } catch (...) {
    }
    ::_exit(code);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// Sets an environment variable for one test and puts it back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = ::getenv(name);
    if (old != nullptr) old_ = old;
    had_ = old != nullptr;
    SetEnv(name, value);
  }
  ~ScopedEnv() { SetEnv(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

class UndoLogFilesTest : public testing::TempFolderTest {
 protected:
  UndoLogFilesTest() : TempFolderTest("velmora-undolog-") {
    MakeFolder("program");
    MakeFolder("home");
  }
  ScopedEnv state_{"XDG_STATE_HOME", nullptr};
  ScopedEnv config_{"XDG_CONFIG_HOME", nullptr};
  ScopedEnv home_{"HOME", Native("home").c_str()};
};

TEST_F(UndoLogFilesTest, LogStaysBesideAWritableProgram) {
  EXPECT_EQ(UndoLogPath(PathOf("program")), PathOf("program/Undo.log"));
  EXPECT_FALSE(Exists("home/.local")) << "nothing is made in the home folder";
}

TEST_F(UndoLogFilesTest, UnwritableProgramFolderSendsTheLogToTheStateFolder) {
  struct Case {
    const char* name;
    const char* xdgState;  // null: unset
    std::string expected;  // relative to the test folder
  };
  MakeFolder("state");
  ::chmod(Native("state").c_str(), 0777);  // the unprivileged child writes here
  ::chmod(Native("home").c_str(), 0777);
  const Case cases[] = {
      {"XDG_STATE_HOME", "state", "state/velmora/Undo.log"},
      {"default", nullptr, "home/.local/state/velmora/Undo.log"},
      {"relative XDG_STATE_HOME is ignored", "relative/state", "home/.local/state/velmora/Undo.log"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string xdg = c.xdgState == nullptr ? "" : c.xdgState[0] == 'r' ? c.xdgState : Native(c.xdgState);
    ScopedEnv state("XDG_STATE_HOME", c.xdgState == nullptr ? nullptr : xdg.c_str());
    const Text expected = PathOf(c.expected);
    const Text program = PathOf("program");
    // The program folder belongs to another user: for root, a child that
    // gives up its rights stands for an ordinary user.
    ::chmod(Native("program").c_str(), 0555);
    const int status = InChild([&] {
      if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
      if (CanWriteFolder(program)) return 4;
      const Text log = UndoLogPath(program);
      if (log != expected) return 5;
      CTextFile file;
      if (!file.FileOpen(log, 2)) return 6;
      file.WriteLnStr(u"line");
      file.FileClose();
      return 0;
    });
    ::chmod(Native("program").c_str(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Read(c.expected), "line\r\n");
    ::unlink(Native(c.expected).c_str());
    struct stat st {};
    ASSERT_EQ(::stat(Native(c.expected.substr(0, c.expected.rfind('/'))).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "a new state folder is private";
  }
}

TEST_F(UndoLogFilesTest, WordListBesideTheProgramElseInTheSettingsFolder) {
  EXPECT_EQ(WordListPath(PathOf("program")), PathOf("home/.config/velmora/words.txt"));
  ScopedEnv config("XDG_CONFIG_HOME", Native("config").c_str());
  EXPECT_EQ(WordListPath(PathOf("program")), PathOf("config/velmora/words.txt"));
  Write("program/words.txt", "shared");
  EXPECT_EQ(WordListPath(PathOf("program")), PathOf("program/words.txt"));
}

TEST_F(UndoLogFilesTest, SizeRuleNeverDiscardsALogAnotherCopyHolds) {
  const Text log = PathOf("program/Undo.log");
  Write("program/Undo.log", std::string(65500, 'x'));
  // A running copy holds the log open, as a window does from load to unload.
  int toChild[2], fromChild[2];
  ASSERT_EQ(::pipe(toChild), 0);
  ASSERT_EQ(::pipe(fromChild), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    CTextFile held;
    const char ready = held.FileOpen(log, 2) ? 'y' : 'n';
    (void)!::write(fromChild[1], &ready, 1);
    char go = 0;
    (void)!::read(toChild[0], &go, 1);
    int code = 0;
    try {
      held.WriteLnStr(u"Ren \"held line\" \"x\"");
    } catch (...) {
      code = 1;
    }
    ::_exit(code);
  }
  char ready = 0;
  ASSERT_EQ(::read(fromChild[0], &ready, 1), 1);
  ASSERT_EQ(ready, 'y');
  // Another copy renames: the log passes the limit. A third starts.
  Write("program/Undo.log", std::string(65600, 'x'));
  ApplyUndoLogSizeRule(log);
  EXPECT_TRUE(Exists("program/Undo.log")) << "a held log was deleted";
  (void)!::write(toChild[1], "g", 1);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const auto bytes = Read("program/Undo.log");
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(bytes->substr(65600), "Ren \"held line\" \"x\"\r\n") << "the holder's line is in the log";

  // Once nobody holds it, the next start discards it; at the limit it stays.
  ApplyUndoLogSizeRule(log);
  EXPECT_FALSE(Exists("program/Undo.log"));
  Write("program/Undo.log", std::string(65536, 'x'));
  ApplyUndoLogSizeRule(log);
  EXPECT_TRUE(Exists("program/Undo.log"));
}

TEST_F(UndoLogFilesTest, ALineIsWholeOrAbsentOnAFullDisk) {
  struct Case {
    const char* name;
    std::size_t room;  // bytes the file may still grow by
    int error;         // of writing the long line
  };
  const Case cases[] = {
      {"a few bytes left", 5, err::kDiskFull},
      {"no byte left", 0, err::kDiskFull},
      {"room enough", 100, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Write("program/Undo.log", "Ren \"a\" \"b\"\r\n");
    const Text log = PathOf("program/Undo.log");
    // A file size limit stands for a full disk: the write stops short exactly
    // as it does there. In a child, so the test itself keeps its rights.
    const int status = InChild([&] {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{14 + c.room, 14 + c.room};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 50;
      CTextFile file;
      if (!file.FileOpen(log, 2)) return 51;
      const int error = ErrorOf([&] { file.WriteLnStr(u"Ren \"/some/new name.txt\" \"old.txt\""); });
      if (error != c.error) return 52;
      // A line that fits still goes in after a failed one.
      if (c.room >= 4 && error != 0 && ErrorOf([&] { file.WriteLnStr(u"ok"); }) != 0) return 53;
      file.FileClose();
      return 0;
    });
    EXPECT_EQ(status, 0);
    std::string expected = "Ren \"a\" \"b\"\r\n";
    if (c.error == 0) expected += "Ren \"/some/new name.txt\" \"old.txt\"\r\n";
    else if (c.room >= 4) expected += "ok\r\n";
    EXPECT_EQ(Read("program/Undo.log"), expected);
  }
}

TEST_F(UndoLogFilesTest, LogIsNeverWrittenThroughALink) {
  Write("elsewhere.txt", "private");
  ASSERT_EQ(::symlink(Native("elsewhere.txt").c_str(), Native("program/Undo.log").c_str()), 0);
  CTextFile file;
  EXPECT_FALSE(file.FileOpen(PathOf("program/Undo.log"), 2));
  EXPECT_EQ(Read("elsewhere.txt"), "private");
}

}  // namespace
}  // namespace velmora
