// Application facts on Windows: the program folder and the environment, in
// UTF-16 without a code page in between.
#include "platform/application/application.h"

#include "fileio/undo_log.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

namespace velmora {
namespace {

TEST(ApplicationWinTest, ProgramFolderHoldsTheRunningProgram) {
  const Text folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), u'\\');
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(folder) / "velmora_core_tests.exe"))
      << ToUtf8ForDisplay(folder);
  EXPECT_EQ(ProgramPath(), folder + u"\\velmora_core_tests.exe");
}

// A program folder that cannot be written (installed under Program Files by
// hand) sends the log and the word list to the user's local application data.
TEST(ApplicationWinTest, ClosedProgramFolderSendsTheFilesToLocalAppData) {
  const Text local = UserStateFolder();
  ASSERT_FALSE(local.empty());
  EXPECT_EQ(UserConfigFolder(), local);
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(local))) << ToUtf8ForDisplay(local);
  const Text closed = u"C:\\no such folder of velmora";
  EXPECT_EQ(UndoLogPath(closed), local + u"\\Velmora\\Undo.log");
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(local + u"\\Velmora")));
  EXPECT_EQ(WordListPath(closed), local + u"\\Velmora\\words.txt");
}

TEST(ApplicationWinTest, EnvironReadsVariablesAsUtf16) {
  ASSERT_TRUE(SetEnvironmentVariableW(L"VELMORA_TEST_VALUE", L"C:\\caf\u00e9 \u0416 \U0001F600"));
  SetEnvironmentVariableW(L"VELMORA_TEST_UNSET", nullptr);
  struct Case {
    Text name, value;
  };
  const Case cases[] = {
      {u"VELMORA_TEST_VALUE", u"C:\\caf\u00e9 \u0416 \U0001F600"},
      {u"velmora_test_value", u"C:\\caf\u00e9 \u0416 \U0001F600"},  // names ignore case
      {u"VELMORA_TEST_UNSET", u""},
      {u"", u""},
      {u"VELMORA_TEST_VALUE=x", u""},
      {Text(u"VELMORA\0X", 9), u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8ForDisplay(c.name));
    EXPECT_EQ(Environ(c.name), c.value);
  }
  SetEnvironmentVariableW(L"VELMORA_TEST_VALUE", nullptr);
}

}  // namespace
}  // namespace velmora
