// Native files on POSIX: reads never wait for data that is not there yet
// (a file like /proc/kmsg would otherwise freeze the window for good), and a
// file held open cannot be deleted under its holder.
#include "platform/files/native_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/errors/errors.h"
#include "platform/fs/filesystem.h"
#include "test_files.h"

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

TEST_F(NativeFileTest, HeldFileCannotBeKilled) {
  struct Case {
    const char* name;
    bool append;
  };
  for (const Case& c : {Case{"held for append", true}, Case{"held for reading", false}}) {
    SCOPED_TRACE(c.name);
    Write("Undo.log", "line\r\n");
    detail::OpenRequest request;
    request.append = request.write = request.create = c.append;
    request.read = !c.append;
    const detail::NativeFile file = detail::OpenNativeFile(PathOf("Undo.log"), request);
    // Another process, as a second copy of the program is.
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(ErrorOf([&] { Kill(PathOf("Undo.log")); }) == err::kPathFileAccessError ? 0 : 1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(Exists("Undo.log"));
    detail::CloseNativeFile(file);
    Kill(PathOf("Undo.log"));
    EXPECT_FALSE(Exists("Undo.log"));
  }
}

}  // namespace
}  // namespace velmora
