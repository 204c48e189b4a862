// RenameWithUndo on real files: numbering, the undo line and the failure report.
#include "fileio/rename.h"
#include "fileio/undo_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <filesystem>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "test_files.h"

namespace velmora {
namespace {

class RenameTest : public testing::TempFolderTest {
 protected:
  RenameTest() : TempFolderTest("velmora-rename-") {}
};

TEST_F(RenameTest, TakenNamesAreNumberedFromTheRequestedPath) {
  struct Case {
    std::vector<std::string> taken;
    std::string requested;  // the new path's file name
    std::string result;     // the returned target's file name
    std::string onDisk;     // the name the file has afterwards
  };
  const Case cases[] = {
      {{}, "photo.jpg", "photo.jpg", "photo.jpg"},
      {{"photo.jpg"}, "photo.jpg", "photo (1).jpg", "photo (1).jpg"},
      {{"photo.jpg", "photo (1).jpg", "photo (2).jpg", "photo (3).jpg", "photo (4).jpg",
        "photo (5).jpg", "photo (6).jpg", "photo (7).jpg", "photo (8).jpg"},
       "photo.jpg", "photo (9).jpg", "photo (9).jpg"},
      {{"photo.jpg", "photo (1).jpg", "photo (2).jpg", "photo (3).jpg", "photo (4).jpg",
        "photo (5).jpg", "photo (6).jpg", "photo (7).jpg", "photo (8).jpg", "photo (9).jpg"},
       "photo.jpg", "photo (10).jpg", "photo (10).jpg"},
      {{"photo.jpg", "photo (2).jpg"}, "photo.jpg", "photo (1).jpg", "photo (1).jpg"},
      // An empty extension: the trailing dot is dropped, and the result and
      // the undo line name the file as it is on disk.
      {{"photo"}, "photo.", "photo (1)", "photo (1)"},
      {{"a.b.c"}, "a.b.c", "a.b (1).c", "a.b (1).c"},
      {{".jpg"}, ".jpg", " (1).jpg", " (1).jpg"},
      {{"README"}, "README", "README (1)", "README (1)"},  // no dot: nothing is cut
      {{}, "Old.txt", "Old.txt", "Old.txt"},  // the source itself under other case
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.requested + " -> " + c.result);
    Reset();
    for (const std::string& name : c.taken) Write(name, "taken " + name);
    Write("old.txt", "the file");
    const RenameResult result = RenameWithUndo(PathOf("old.txt"), PathOf(c.requested));
    EXPECT_EQ(result.path, PathOf(c.result));
    EXPECT_EQ(result.undoText, UndoLine(PathOf(c.result), u"old.txt"));
    EXPECT_EQ(result.report, u"");
    EXPECT_EQ(Read(c.onDisk), "the file");
    for (const std::string& name : c.taken) EXPECT_EQ(Read(name), "taken " + name);
    EXPECT_EQ(Names().size(), c.taken.size() + 1);
  }
}

TEST_F(RenameTest, EqualPathsTouchNothing) {
  // No file operation at all: the path need not even exist.
  const RenameResult result = RenameWithUndo(PathOf("none.txt"), PathOf("none.txt"));
  EXPECT_EQ(result.path, PathOf("none.txt"));
  EXPECT_EQ(result.undoText, u"");
  EXPECT_EQ(result.report, u"");
}

TEST_F(RenameTest, FailureGivesEmptyResultAndTheReport) {
  struct Case {
    std::vector<std::string> present;
    std::string from, to;
    std::string description;
  };
  const Case cases[] = {
      {{}, "none.txt", "new.txt", "File not found"},
      {{"new.txt"}, "none.txt", "new.txt", "File not found"},  // a taken name hides nothing
      {{"old.txt"}, "old.txt", "no/new.txt", "Path not found"},
      {{"old.txt"}, "old.txt", ".", "Bad file name or number"},
      // An invisible character is named by its number.
      {{"old.txt"}, "old.txt", "tab\tname.txt",
       "A file name cannot hold the control character U+0009: Windows refuses it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from + " -> " + c.to);
    Reset();
    for (const std::string& name : c.present) Write(name, name);
    const RenameResult result = RenameWithUndo(PathOf(c.from), PathOf(c.to));
    EXPECT_EQ(result.path, u"");
    EXPECT_EQ(result.undoText, u"");
    EXPECT_EQ(result.report, u"Error: \"" + FromAscii(c.description) +
                                 u"\" while trying to rename\r\n\"" + PathOf(c.from) + u"\"  to  \"" +
                                 PathOf(c.to) + u"\"\r\n\r\n");
    EXPECT_EQ(Names(), c.present);
  }
}

TEST_F(RenameTest, SeparatorReachesTheUndoLine) {
  // On POSIX a backslash is an ordinary character of a name; with "\" as the
  // separator the undo line names only what follows it.
  MakeFolder("Docs");  // holds the file where "\\" separates
  Write("Docs\\old.txt", "x");
  const RenameResult result = RenameWithUndo(PathOf("Docs\\old.txt"), PathOf("new.txt"), u'\\');
  EXPECT_EQ(result.path, PathOf("new.txt"));
  EXPECT_EQ(result.undoText, UndoLine(PathOf("new.txt"), u"old.txt"));
}

TEST(CheckNewFileNameTest, RefusesNamesThatLeaveTheFolder) {
  struct Case {
    Text name;
    char16_t sep;
    Text reason;  // empty: accepted
  };
  const Text leaves = u"the file would leave its folder";
  const Case cases[] = {
      {u"new.txt", u'/', u""},
      {u"a\\b.txt", u'/', u""},  // a plain character of a POSIX name
      {u"...txt", u'/', u""},
      {u".hidden.", u'/', u""},
      {u"../up.txt", u'/', u"A file name cannot hold \"/\": " + leaves},
      {u"a/b.txt", u'\\', u"A file name cannot hold \"/\": " + leaves},
      {u"a\\b.txt", u'\\', u"A file name cannot hold \"\\\": " + leaves},
      {u".", u'/', u"A file name cannot be made of dots only"},
      {u"..", u'/', u"A file name cannot be made of dots only"},
      {u"...", u'\\', u"A file name cannot be made of dots only"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8ForDisplay(c.name));
    Text reason;
    try {
      CheckNewFileName(c.name, c.sep);
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Number(), err::kBadFileNameOrNumber);
      reason = e.Description();
    }
    EXPECT_EQ(reason, c.reason);
  }
}

TEST_F(RenameTest, FieldsThatWouldLeaveTheFolderRenameNothing) {
  struct Case {
    const char* name;
    Text base, ext;
    Text reason;
  };
  const Case cases[] = {
      {"decoded slash", u"../up", u"txt", u"A file name cannot hold \"/\": the file would leave its folder"},
      {"far away", u"../../../../tmp/x", u"txt", u"A file name cannot hold \"/\": the file would leave its folder"},
      {"slash in the extension", u"x", u"t/../../y", u"A file name cannot hold \"/\": the file would leave its folder"},
      {"dot dot", u".", u"", u"A file name cannot be made of dots only"},
      {"spaces around dots", u" . ", u" ", u"A file name cannot be made of dots only"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    MakeFolder("sub");
    Write("sub/old.txt", "mine");
    const Text folder = PathOf("sub") + Text(1, static_cast<char16_t>(kSep));
    const RenameResult outcome = RenameFromFields(PathOf("sub/old.txt"), folder, c.base, c.ext);
    const Text newPath = folder + Trim(c.base) + u"." + Trim(c.ext);
    EXPECT_EQ(outcome.report, u"Error: \"" + c.reason + u"\" while trying to rename\r\n\"" +
                                  PathOf("sub/old.txt") + u"\"  to  \"" + newPath + u"\"\r\n\r\n");
    EXPECT_EQ(outcome.undoText, u"");
    EXPECT_EQ(Names(), std::vector<std::string>{"sub"});
    EXPECT_EQ(Names("sub"), std::vector<std::string>{"old.txt"});
  }
}

TEST_F(RenameTest, UndoLineNamesWhatExists) {
  struct Case {
    const char* name;
    std::string file;
    Text base, ext;
    std::string onDisk;
    bool logged;  // false: a blank line
    bool posixName = false;  // Windows names hold no line break or quote
  };
  const Case cases[] = {
      {"plain", "old.txt", u"new", u"txt", "new.txt", true},
      {"unedited name without extension", "README", u"README", u"", "README", false},
      {"trailing dot dropped", "a.md", u"clean", u"", "clean", true},
      {"line feed in the old name", "two\nlines.txt", u"clean", u"txt", "clean.txt", true, true},
      {"CR and quote in the old name", "a\r\"b.txt", u"ab", u"txt", "ab.txt", true, true},
      {"quote alone", "a\"b.txt", u"ab", u"txt", "ab.txt", true, true},
  };
  for (const Case& c : cases) {
    if (kWindows && c.posixName) continue;
    SCOPED_TRACE(c.name);
    Reset();
    Write(c.file, "mine");
    const Text folder = PathOf("");
    const RenameResult outcome = RenameFromFields(PathOf(c.file), folder, c.base, c.ext);
    EXPECT_EQ(outcome.report, u"");
    EXPECT_EQ(outcome.undoText, c.logged ? UndoLine(PathOf(c.onDisk), FromNativePath(c.file)) : Text());
    EXPECT_EQ(Read(c.onDisk), "mine");
  }
}

TEST_F(RenameTest, TrimmedFolderThatNamesAnotherFolderRenamesNothing) {
  MakeFolder(" sub");
  MakeFolder("sub");
  Write(" sub/a.txt", "mine");
  const auto here = std::filesystem::current_path();
  std::filesystem::current_path(Root());
  const RenameResult outcome = RenameFromFields(u" sub/a.txt", u" sub/", u"b", u"txt");
  std::filesystem::current_path(here);
  EXPECT_EQ(outcome.report, u"Error: \"The new path names another folder: the file would leave its folder\" while "
                            u"trying to rename\r\n\" sub/a.txt\"  to  \"sub/b.txt\"\r\n\r\n");
  EXPECT_EQ(outcome.undoText, u"");
  EXPECT_EQ(Names(" sub"), std::vector<std::string>{"a.txt"});
  EXPECT_TRUE(Names("sub").empty());
}

TEST_F(RenameTest, RelativePathIsLoggedAbsolute) {
  Write("old.txt", "mine");
  const auto here = std::filesystem::current_path();
  std::filesystem::current_path(Root());
  const RenameResult outcome = RenameFromFields(u"old.txt", u"", u"new", u"txt");
  std::filesystem::current_path(here);
  EXPECT_EQ(Read("new.txt"), "mine");
  EXPECT_EQ(outcome.undoText, UndoLine(PathOf("new.txt"), u"old.txt"));
}

// What "Rename!" would do, said while the person types.
TEST_F(RenameTest, HintSaysWhatRenameWouldDo) {
  using Kind = RenameHint::Kind;
  struct Case {
    const char* what;
    Text base, ext;
    Kind kind;
    Text says;  // part of the hint
    bool posixOnly = false;
  };
  const Case cases[] = {
      {"a free name", u"new", u"txt", Kind::None, u""},
      {"unchanged", u"old", u"txt", Kind::None, u""},
      {"letter case only", u"OLD", u"txt", Kind::None, u""},
      {"taken", u"photo", u"jpg", Kind::Taken, u"will name the file \"photo (2).jpg\""},
      {"taken, spaces trimmed", u" photo ", u"jpg ", Kind::Taken, u"\"photo (2).jpg\""},
      {"taken without extension", u"notes", u"", Kind::Taken, u"\"notes (1)\""},
      {"refused", u"a/b", u"txt", Kind::Refused, u"cannot hold \"/\""},
      {"too long", Text(252, u'a'), u"txt", Kind::TooLong, u"at most 255"},
      {"longest", Text(251, u'a'), u"txt", Kind::None, u""},
      {"hidden", u".secret", u"", Kind::Hidden, u"hidden", true},
  };
  Write("old.txt", "o");
  Write("photo.jpg", "p");
  Write("photo (1).jpg", "p1");
  Write("notes", "n");
  for (const Case& c : cases) {
    if (kWindows && c.posixOnly) continue;
    SCOPED_TRACE(c.what);
    const RenameHint hint = HintForFields(PathOf("old.txt"), PathOf(""), c.base, c.ext);
    EXPECT_EQ(hint.kind, c.kind);
    EXPECT_NE(hint.text.find(c.says), Text::npos) << ToUtf8ForDisplay(hint.text);
  }
  EXPECT_EQ(Names().size(), 4u);  // a hint renames nothing
}

}  // namespace
}  // namespace velmora
