// The Windows shell for real, where no program is started: ShellExecuteW's
// failure codes come back as they are.
#include "platform/real_shell.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_platform.h"

namespace velmora {
namespace {

TEST(RealShellWinTest, FailuresGiveTheirCodes) {
  const std::filesystem::path dir(MakeTempFolder("velmora-shell-"));
  const Text folder = dir.u16string();
  struct Case {
    const char* what;
    Text file, directory;
    long code;
  };
  const Case cases[] = {
      {"missing file", folder + u"\\none.txt", u"", 2},
      {"NUL in the name", folder + Text(u"\\a\0.txt", 7), u"", 2},
  };
  auto shell = MakeRealShell();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(shell->Execute(u"Open", c.file, u"", c.directory, 1), c.code);
  }
  EXPECT_FALSE(shell->ChooseProgram(folder + u"\\none.txt"));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace velmora
