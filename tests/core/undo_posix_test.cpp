// Undo where names are bytes: names that are not UTF-8, that hold line
// breaks or end in dots come back exactly; a line that reads two ways is
// settled by the files; a log that cannot take the undo's line.
#include "fileio/undo.h"
#include "undo/command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fileio/rename.h"
#include "test_files.h"
#include "undo_fixture.h"

namespace velmora {
namespace {

using UndoPosixTest = testing::UndoFolderTest;

TEST_F(UndoPosixTest, NamesComeBackByteForByte) {
  struct Case {
    std::string oldName;
    std::string newName;
    std::string secondLineVerb;  // of the undo's own line
  };
  const Case cases[] = {
      {"\xff\xfe photo.jpg", "photo.jpg", "Ren "},
      {"caf\xc3\xa9 \xe9.txt", "cafe.txt", "Ren "},
      {"two\nlines.txt", "one line.txt", "RenEsc "},
      {"ends in CR\r", "plain", "RenEsc "},
      {"notes.", "notes.txt", "Ren "},  // the platform drops such dots from new names only
      {"say \"hi\".txt", "hi.txt", "Ren "},
      {"...", "dots.txt", "Ren "},  // a legal name here, unlike "." and ".."
      {"\xf0\x9f\x93\x84 notes.txt", "notes.txt", "Ren "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.newName);
    Reset();
    Write(c.oldName, "content");
    RenameAsVelmora(c.oldName, c.newName);
    const UndoOutcome o = Undo();
    EXPECT_EQ(o.exitStatus, kUndoDone) << ToUtf8ForDisplay(o.message);
    std::vector<std::string> names{c.oldName, "Undo.log"};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(Names(), names);
    EXPECT_EQ(Read(c.oldName), "content");
    const std::string log = Read("Undo.log").value_or("");
    const std::size_t second = log.find("\r\n") + 2;
    EXPECT_EQ(log.compare(second, c.secondLineVerb.size(), c.secondLineVerb), 0) << log;
    EXPECT_EQ(log.size() - log.rfind("\" \"" + c.newName + "\"\r\n"), c.newName.size() + 6) << log;
  }
}

TEST_F(UndoPosixTest, TheListShowsBytesThatAreNotUtf8Escaped) {
  Write("new\x1b.txt", "x");
  Write("Undo.log", "Ren \"" + Native("new\x1b.txt") + "\" \"\xff.txt\"\r\n");
  const UndoOutcome list = Undo({u"--list"});
  EXPECT_EQ(list.output, u"1  \"" + PathOf("new\\x1b.txt") + u"\" was \"\\xff.txt\"\n");
}

TEST_F(UndoPosixTest, ALineThatReadsTwoWaysIsSettledByTheFiles) {
  // Renamed from a" "b to x: the line is Ren "<dir>/x" "a" "b", which could
  // also mean the file <dir>/x" "a was called b.
  Write("a\" \"b", "content");
  RenameAsVelmora("a\" \"b", "x");
  EXPECT_EQ(Undo().exitStatus, kUndoDone);
  EXPECT_EQ(Read("a\" \"b"), "content");

  // Both files of the two readings exist: nothing is guessed.
  Reset();
  Write("x", "1");
  Write("x\" \"a", "2");
  Write("Undo.log", "Ren \"" + Native("x") + "\" \"a\" \"b\"\r\n");
  const UndoOutcome o = Undo({u"1"});
  EXPECT_EQ(o.exitStatus, kNothingToUndo);
  EXPECT_NE(o.message.find(u"more than one way"), Text::npos);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Undo.log", "x", "x\" \"a"}));
}

TEST_F(UndoPosixTest, AnOldNameTakenByAnotherCaseOfItIsRefused) {
  // Where case matters, report.txt and Report.txt are two files: the undo's
  // rename finds the name taken, and the search goes on to older lines.
  Write("first.txt", "1");
  RenameAsVelmora("first.txt", "second.txt");
  Write("report.txt", "new");
  Write("Report.txt", "other");
  Write("Undo.log", Read("Undo.log").value_or("") + "Ren \"" + Native("report.txt") +
                        "\" \"Report.txt\"\r\n");

  const UndoOutcome one = Undo({u"1"});
  EXPECT_EQ(one.exitStatus, kNothingToUndo);
  EXPECT_NE(one.message.find(u"is taken by another file"), Text::npos);
  EXPECT_EQ(Undo().exitStatus, kUndoDone);
  EXPECT_EQ(Read("first.txt"), "1");
  EXPECT_EQ(Read("report.txt"), "new");
  EXPECT_EQ(Read("Report.txt"), "other");
}

TEST_F(UndoPosixTest, AnUndoThatTheLogCannotRecordStillStandsAndIsReported) {
  // A log reached through a symbolic link is read, but never written to.
  MakeFolder("real");
  Write("old.txt", "content");
  const Text undo = RenameWithUndo(PathOf("old.txt"), PathOf("new.txt")).undoText;
  Write("real/Undo.log", ToNativePath(undo) + "\r\n");
  ASSERT_EQ(::symlink(Native("real/Undo.log").c_str(), Native("Undo.log").c_str()), 0);

  const UndoOutcome o = Undo();
  EXPECT_EQ(o.exitStatus, kUndoDone);
  EXPECT_NE(o.message.find(u"could not record this"), Text::npos) << ToUtf8ForDisplay(o.message);
  EXPECT_EQ(Read("old.txt"), "content");
  EXPECT_EQ(Read("real/Undo.log"), ToNativePath(undo) + "\r\n");
}

}  // namespace
}  // namespace velmora
