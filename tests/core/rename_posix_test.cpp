// RenameWithUndo where names are bytes and processes fork: names that are not
// UTF-8 in the undo line, and many processes renaming onto one name while
// sharing one undo log.
#include "fileio/rename.h"
#include "fileio/undo_log.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fileio/text_file.h"
#include "platform/codec/codec.h"
#include "test_files.h"

namespace velmora {
namespace {

class RenamePosixTest : public testing::TempFolderTest {
 protected:
  RenamePosixTest() : TempFolderTest("velmora-rename-") {}
};

TEST_F(RenamePosixTest, InvalidUtf8NamesAppearInTheUndoLine) {
  Write("\xff.txt", "x");
  const Text undo = RenameWithUndo(PathOf("\xff.txt"), PathOf("new.txt")).undoText;
  EXPECT_EQ(undo, UndoLine(PathOf("new.txt"), u"\xdcff.txt"));
  EXPECT_NE(EncodeText(undo).find("\xff.txt"), std::string::npos);  // the byte itself
}

// Many programs renaming onto one name at once, each appending its undo line
// to the same log: every file keeps its content under its own name, and the
// log holds exactly one whole line per rename.
TEST_F(RenamePosixTest, ConcurrentRenamesNeverReplaceAndLogLinesStayWhole) {
  constexpr int kProcesses = 32;
  constexpr int kRounds = 50;
  const Text log = PathOf("Undo.log");
  for (int round = 0; round < kRounds; ++round) {
    const std::string folder = std::string("r").append(std::to_string(round));
    MakeFolder(folder);
    for (int i = 0; i < kProcesses; ++i) {
      Write(folder + "/src" + std::to_string(i) + ".jpg", std::to_string(i));
    }
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
      const pid_t pid = ::fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        ::close(gate[1]);
        char c;
        (void)!::read(gate[0], &c, 1);  // all start together once the gate closes
        const RenameResult result = RenameWithUndo(PathOf(folder + "/src" + std::to_string(i) + ".jpg"),
                                                   PathOf(folder + "/photo.jpg"));
        const Text& got = result.path;
        const Text& undo = result.undoText;
        CTextFile file;
        if (!file.FileOpen(log, 2)) ::_exit(2);
        file.WriteLnStr(undo);
        file.FileClose();
        ::_exit(got.empty() ? 1 : 0);
      }
      children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (pid_t pid : children) {
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
    }
    std::vector<std::string> expected{"photo.jpg"};
    for (int k = 1; k < kProcesses; ++k) {
      expected.push_back(std::string("photo (").append(std::to_string(k)).append(").jpg"));
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(Names(folder), expected) << "round " << round;
    std::set<std::optional<std::string>> contents;
    for (const std::string& name : expected) contents.insert(Read(folder + "/" + name));
    ASSERT_EQ(contents.size(), static_cast<std::size_t>(kProcesses)) << "round " << round;
  }

  const std::string text = Read("Undo.log").value_or("");
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "the log ends inside a line";
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kProcesses * kRounds));
  std::set<std::string> seen;
  for (const std::string& line : lines) {
    // Ren "<dir>/rN/photo....jpg" "srcI.jpg"
    const std::string head = "Ren \"" + Root() + "/r";
    ASSERT_EQ(line.compare(0, head.size(), head), 0) << line;
    const std::size_t slash = line.find('/', head.size());
    const std::size_t close = line.find("\" \"src", head.size());
    ASSERT_NE(slash, std::string::npos) << line;
    ASSERT_NE(close, std::string::npos) << line;
    const std::string round = line.substr(head.size(), slash - head.size());
    const std::string target = line.substr(slash + 1, close - slash - 1);
    const std::string source = line.substr(close + 3);
    ASSERT_EQ(target.rfind("photo", 0), 0u) << line;
    ASSERT_EQ(source.back(), '"') << line;
    EXPECT_TRUE(seen.insert(round + " target " + target).second) << line;
    EXPECT_TRUE(seen.insert(round + " source " + source).second) << line;
    EXPECT_EQ(Read("r" + round + "/" + target),
              source.substr(3, source.size() - 3 - 5)) << line;  // srcN.jpg" holds N
  }
}

}  // namespace
}  // namespace velmora
