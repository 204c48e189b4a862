// The Windows shell for real, where no program is started: ShellExecuteW's
// failure codes come back as they are.
#include "platform/shell/real_shell.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace velmora {
namespace {

TEST(RealShellWinTest, FailuresGiveTheirCodes) {
  const testing::TempFolder tmp("velmora-shell-");
  struct Case {
    const char* what;
    Text file, directory;
    long code;
  };
  const Case cases[] = {
      {"missing file", tmp.PathOf("none.txt"), u"", 2},
      {"NUL in the name", tmp.PathOf("a") + Text(u"\0.txt", 5), u"", 2},
  };
  auto shell = MakeRealShell();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(shell->Execute(u"Open", c.file, u"", c.directory, 1), c.code);
  }
  EXPECT_FALSE(shell->ChooseProgram(tmp.PathOf("none.txt")));
}

}  // namespace
}  // namespace velmora
