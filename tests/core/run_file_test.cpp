// RunFile over a recording shell and desktop: the message table, success,
// the fallback for a type without a program, and the call it makes.
#include "shell/run_file.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fs/filesystem.h"
#include "platform/shell/program_choice.h"
#include "support/fake_desktop.h"
#include "support/fake_shell.h"
#include "test_platform.h"

namespace velmora {
namespace {

using testing::FakeDesktop;
using testing::FakeShell;

std::string Show(const Text& t) { return ToUtf8ForDisplay(t); }

struct MessageCase {
  long code;
  Text text;
  bool box = true;
};

const MessageCase kMessageCases[] = {
    {0, u"The file could not be run due to insufficient system memory or a corrupt program file"},
    {2, u"File Not Found"},
    {3, u"Invalid Path"},
    {5, u"Sharing or protection error"},
    {6, u"Separate data segments are required for each task "},
    {8, u"Insufficient memory to run the program"},
    {10, u"Incorrect Windows version"},
    {11, u"Invalid Program File"},
    {12, u"Program file requires a different operating System "},
    {13, u"Program requires MS-DOS 4.0"},
    {14, u"Unknown program file type"},
    {15, u"Windows prgram does not support protected memory mode"},
    {16, u"Invalid use of data segments when loading a second instance of a program"},
    {19, u"Attempt to run a compressed program file"},
    {20, u"Invalid dynamic link library"},
    {21, u"Program requires Windows 32-bit extensions"},
    // Codes the table does not name: the box still appears, without a text.
    {1, u""}, {4, u""}, {7, u""}, {9, u""}, {17, u""}, {18, u""}, {22, u""}, {23, u""},
    {24, u""}, {25, u""}, {26, u""}, {27, u""}, {28, u""}, {29, u""}, {30, u""}, {-1, u""},
    {32, u""},  // exactly 32 is a failure, not a success
    {33, u"", false}, {42, u"", false}, {1000, u"", false},
};

TEST(RunFile, FailureCodesShowTheirTextInTheErrorBoxAndSuccessShowsNothing) {
  for (const MessageCase& c : kMessageCases) {
    SCOPED_TRACE("code " + std::to_string(c.code));
    FakeDesktop desktop;
    FakeShell shell;
    shell.executeResult = c.code;
    RunFile(desktop, shell, u"report.pdf", show::kNormal);
    EXPECT_TRUE(shell.started.empty() && shell.chosen.empty());
    if (!c.box) {
      EXPECT_TRUE(desktop.messages.empty());
      continue;
    }
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, c.text) << Show(desktop.messages[0].text);
    EXPECT_EQ(desktop.messages[0].title, u"Error Message");
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Critical);
  }
}

struct FallbackCase {
  Text path;
  bool chooserAvailable;
};

// Spaces and quotes reach the fallback exactly as given.
const FallbackCase kFallbackCases[] = {
    {u"C:\\Photos\\scan 01.xyz", true},
    {u"/home/ann/it's \"quoted\".xyz", true},
    {u"/home/ann/scan 01.xyz", false},
};

TEST(RunFile, NoAssociationOffersTheOpenWithChooser) {
  for (const FallbackCase& c : kFallbackCases) {
    SCOPED_TRACE(Show(c.path));
    FakeDesktop desktop;
    FakeShell shell;
    shell.executeResult = 31;
    shell.chooserAvailable = c.chooserAvailable;
    RunFile(desktop, shell, c.path, show::kNormal);
    if (kWindows) {
      ASSERT_EQ(shell.started.size(), 1u);
      EXPECT_EQ(shell.started[0].commandLine, u"rundll32.exe shell32.dll,OpenAs_RunDLL " + c.path);
      EXPECT_EQ(shell.started[0].showCommand, show::kMinimized);
      EXPECT_TRUE(desktop.messages.empty());
      continue;
    }
    EXPECT_TRUE(shell.started.empty());
    ASSERT_EQ(shell.chosen.size(), 1u);
    EXPECT_EQ(shell.chosen[0], c.path);
    if (c.chooserAvailable) {
      EXPECT_TRUE(desktop.messages.empty());
    } else {
      // No chooser: a message instead of nothing happening.
      ASSERT_EQ(desktop.messages.size(), 1u);
      EXPECT_FALSE(desktop.messages[0].text.empty());
      EXPECT_EQ(desktop.messages[0].title, u"Error Message");
      EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Critical);
    }
  }
}

TEST(RunFile, OpensWithVerbOpenInTheFileFolder) {
  const Text sep(1, NativeSeparator());
  struct Case {
    Text path, folder;
  };
  const Case cases[] = {
      {sep + u"velmora nowhere" + sep + u"a b.txt", sep + u"velmora nowhere" + sep},
      {u"a b.txt", u""},  // no folder at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Show(c.path));
    FakeDesktop desktop;
    FakeShell shell;
    RunFile(desktop, shell, c.path, show::kNormal);
    ASSERT_EQ(shell.executed.size(), 1u);
    const FakeShell::ExecuteCall& call = shell.executed[0];
    EXPECT_EQ(call.verb, u"Open");
    EXPECT_EQ(call.file, c.path);
    EXPECT_EQ(call.parameters, u"");
    EXPECT_EQ(call.directory, c.folder) << Show(call.directory);
    EXPECT_EQ(call.showCommand, show::kNormal);
    EXPECT_TRUE(desktop.messages.empty());
  }
}

// "run" never opens a second rename window: the first offered program that
// is not Velmora, by its id or by an executable that is this program.
TEST(FirstProgramNotVelmora, SkipsVelmoraByIdAndByExecutable) {
  const auto isSelf = [](const std::string& executable) { return executable == "/opt/v/velmora"; };
  const struct {
    const char* label;
    std::vector<ProgramCandidate> offered;
    std::optional<std::size_t> chosen;
  } cases[] = {
      {"another default", {{"editor.desktop", "/usr/bin/editor"}, {"velmora.desktop", ""}}, 0},
      {"Velmora default by id", {{"velmora.desktop", "/usr/bin/false"}, {"editor.desktop", ""}}, 1},
      {"Velmora by another id", {{"renamer.desktop", "/opt/v/velmora"}, {"editor.desktop", "/e"}}, 1},
      {"a program not found is still offered", {{"velmora.desktop", ""}, {"viewer.desktop", ""}}, 1},
      {"Velmora alone", {{"velmora.desktop", ""}, {"renamer.desktop", "/opt/v/velmora"}}, std::nullopt},
      {"nothing offered", {}, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FirstProgramNotVelmora(c.offered, isSelf), c.chosen) << c.label;
}

}  // namespace
}  // namespace velmora
