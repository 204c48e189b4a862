// Native files on POSIX: reads never wait for data that is not there yet
// (a file like /proc/kmsg would otherwise freeze the window for good), and a
// file held open cannot be deleted under its holder.
#include "platform/files/native_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "platform/errors/errors.h"
#include "platform/fs/filesystem.h"
#include "test_files.h"
#include "transform/title.h"

namespace velmora {
namespace {

using testing::ErrorOf;

class NativeFileTest : public testing::TempFolderTest {
 protected:
  NativeFileTest() : TempFolderTest("velmora-native-") {}
};

TEST_F(NativeFileTest, ReadsEndWhereDataWouldOnlyComeLater) {
  Write("page.htm", "<title>x</title>");
  detail::OpenRequest request;
  request.read = true;
  const detail::NativeFile file = detail::OpenNativeFile(PathOf("page.htm"), request);
  EXPECT_NE(::fcntl(static_cast<int>(file), F_GETFL) & O_NONBLOCK, 0) << "a read could block";
  detail::CloseNativeFile(file);

  // An empty pipe stands for a kernel queue with nothing in it yet.
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
  char buffer[16];
  EXPECT_EQ(detail::ReadNativeFile(fds[0], buffer, sizeof buffer), 0u);
  ::close(fds[0]);
  ::close(fds[1]);
}

TEST_F(NativeFileTest, LogHeldForAppendCannotBeKilled) {
  struct Case {
    const char* name;
    bool append;
    int killError;  // of another process's Kill while the file is open
  };
  // Only a log is held; a reader must not keep anyone from deleting a file.
  for (const Case& c : {Case{"held for append", true, err::kPathFileAccessError},
                        Case{"open for reading", false, 0}}) {
    SCOPED_TRACE(c.name);
    Write("Undo.log", "line\r\n");
    detail::OpenRequest request;
    request.append = request.write = request.create = c.append;
    request.read = !c.append;
    const detail::NativeFile file = detail::OpenNativeFile(PathOf("Undo.log"), request);
    // Another process, as a second copy of the program is.
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(ErrorOf([&] { Kill(PathOf("Undo.log")); }) == c.killError ? 0 : 1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Exists("Undo.log"), c.killError != 0);
    detail::CloseNativeFile(file);
    if (Exists("Undo.log")) Kill(PathOf("Undo.log"));
    EXPECT_FALSE(Exists("Undo.log"));
  }
}

TEST_F(NativeFileTest, ReadingNeverWaitsForAnotherProgramsLock) {
  Write("notes.txt", "Title\r\n");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int fd = ::open(Native("notes.txt").c_str(), O_RDWR);
    ::flock(fd, LOCK_EX);
    (void)!::write(ready[1], "y", 1);
    ::sleep(5);
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(GetTextTitle(PathOf("notes.txt"), 100), u"Title");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

}  // namespace
}  // namespace velmora
