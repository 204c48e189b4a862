// Application facts on POSIX: the command-line text, the program folder and
// the environment, all as bytes decoded losslessly.
#include "platform/application/application.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/codec/codec.h"

namespace velmora {
namespace {

TEST(ApplicationTest, CommandLineTextJoinsTheArgumentsLosslessly) {
  struct Case {
    std::vector<const char*> argv;
    Text text;
  };
  const Case cases[] = {
      {{"velmora"}, u""},
      {{"velmora", "-st"}, u"-st"},
      {{"velmora", "/home/me/My File.txt"}, u"/home/me/My File.txt"},
      {{"velmora", "\"/home/me/My", "File.txt\""}, u"\"/home/me/My File.txt\""},
      {{"velmora", "a", "", "b"}, u"a  b"},
      {{"velmora", "caf\xc3\xa9\xff.txt"}, u"caf\u00e9\xdcff.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8ForDisplay(c.text));
    EXPECT_EQ(CommandLineText(static_cast<int>(c.argv.size()), c.argv.data()), c.text);
  }
  EXPECT_EQ(CommandLineText(0, nullptr), u"");
}

TEST(ApplicationTest, ProgramFolderHoldsTheRunningProgram) {
  const Text folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), u'/');
  const std::string program = ToNativePath(folder) + "/velmora_core_tests";
  struct stat mine {}, found {};
  ASSERT_EQ(::stat("/proc/self/exe", &mine), 0);
  ASSERT_EQ(::stat(program.c_str(), &found), 0) << program;
  EXPECT_EQ(mine.st_ino, found.st_ino);
  EXPECT_EQ(ToNativePath(ProgramPath()), program);
}

TEST(ApplicationTest, EnvironReadsVariablesAsBytes) {
  ::setenv("VELMORA_TEST_VALUE", "/tmp/\xff\xc3\xa9", 1);
  ::unsetenv("VELMORA_TEST_UNSET");
  struct Case {
    Text name, value;
  };
  const Case cases[] = {
      {u"VELMORA_TEST_VALUE", u"/tmp/\xdcff\u00e9"},
      {u"VELMORA_TEST_UNSET", u""},
      {u"", u""},
      {u"VELMORA_TEST_VALUE=x", u""},
      {Text(u"VELMORA\0X", 9), u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8ForDisplay(c.name));
    EXPECT_EQ(Environ(c.name), c.value);
  }
  ::unsetenv("VELMORA_TEST_VALUE");
}

}  // namespace
}  // namespace velmora
