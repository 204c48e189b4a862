// velmora-undo's logic on real files: renames made as the window makes them,
// then undone, refused, listed; and the pure pieces (log lines, shown text,
// arguments) by table.
#include "fileio/undo.h"
#include "undo/command.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "test_files.h"
#include "undo_fixture.h"

namespace velmora {
namespace {

std::string Show(TextView t) { return ToUtf8ForDisplay(t); }

TEST(ShowTextTest, WhatATerminalWouldHideOrMisreadIsEscaped) {
  struct Case {
    Text in;
    char16_t sep;
    Text out;
  };
  const Case cases[] = {
      {u"/d/plain name.txt", u'/', u"/d/plain name.txt"},
      {u"/d/\x00e9t\x00e9 \xd83d\xde00", u'/', u"/d/\x00e9t\x00e9 \xd83d\xde00"},
      {u"/d/\xdcff\xdc80.txt", u'/', u"/d/\\xff\\x80.txt"},  // bytes that are not UTF-8
      {u"a\rb\nc\td\x1b[0m\x7f", u'/', u"a\\rb\\nc\\td\\x1b[0m\\x7f"},
      {u"a\x0085\x009b" u"b", u'/', u"a\\u0085\\u009bb"},  // C1 controls
      {u"evil\x202Etxt.exe", u'/', u"evil\\u202etxt.exe"},
      {u"a\x061C" u"b\x2067", u'/', u"a\\u061cb\\u2067"},  // the Arabic letter mark too
      {u"\xd800x\xdfff", u'/', u"\\ud800x\\udfff"},  // stray surrogates
      {u"say \"hi\"", u'/', u"say \\\"hi\\\""},
      {u"a\\b", u'/', u"a\\\\b"},
      {u"C:\\Docs\\a.txt", u'\\', u"C:\\Docs\\a.txt"},  // the separator stays itself
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShowText(c.in, c.sep), c.out) << Show(c.in);
  }
}

TEST(UndoArgumentsTest, TheInterfaceIsExactlyNoneNListHelpAndNotify) {
  using Kind = UndoRequest::Kind;
  struct Case {
    std::vector<Text> args;
    Kind kind;
    std::size_t entry = 0;
    bool notify = false;
  };
  const Case cases[] = {
      {{}, Kind::Newest},
      {{u"--notify"}, Kind::Newest, 0, true},
      {{u"3"}, Kind::Entry, 3},
      {{u"007"}, Kind::Entry, 7},
      {{u"--notify", u"12"}, Kind::Entry, 12, true},
      {{u"12", u"--notify"}, Kind::Entry, 12, true},
      {{u"--list"}, Kind::List},
      {{u"--help"}, Kind::Help},
      {{u"-h"}, Kind::Help},
      {{u"0"}, Kind::Invalid},
      {{u"-1"}, Kind::Invalid},
      {{u"+1"}, Kind::Invalid},
      {{u"1.5"}, Kind::Invalid},
      {{u"99999999999999999999999999"}, Kind::Invalid},
      {{u""}, Kind::Invalid},
      {{u"--List"}, Kind::Invalid},
      {{u"1", u"2"}, Kind::Invalid},
      {{u"--list", u"1"}, Kind::Invalid},
      {{u"--list", u"--notify"}, Kind::Invalid},
      {{u"--notify", u"--notify"}, Kind::Invalid},
      {{u"--undo"}, Kind::Invalid},
  };
  for (const Case& c : cases) {
    const UndoRequest r = ParseUndoArguments(c.args);
    SCOPED_TRACE(c.args.empty() ? "(none)" : Show(c.args.front()));
    EXPECT_EQ(r.kind, c.kind);
    if (c.kind == Kind::Invalid) {
      EXPECT_FALSE(r.problem.empty());
      EXPECT_EQ(RunUndo(r, u"unused").exitStatus, kUndoError);
    } else {
      EXPECT_EQ(r.entry, c.entry);
      EXPECT_EQ(r.notify, c.notify);
    }
  }
  const UndoOutcome help = RunUndo(ParseUndoArguments({u"--help"}), u"unused");
  EXPECT_EQ(help.exitStatus, kUndoDone);
  EXPECT_NE(help.output.find(u"--list"), Text::npos);
  EXPECT_TRUE(help.message.empty());
}

class UndoTest : public testing::UndoFolderTest {
 protected:
  std::string LogText() const { return Read("Undo.log").value_or("(no log)"); }
  /// The log line for a file now at `target` that was called `oldName`.
  std::string Line(const std::string& target, const std::string& oldName) const {
    return EncodeText(UndoLine(PathOf(target), FromNativePath(oldName))) + "\r\n";
  }
  static bool Says(const UndoOutcome& o, TextView words) {
    return o.message.find(words) != Text::npos;
  }
};

TEST_F(UndoTest, LogLinesEndAtAnyLineBreakAndATornLastLineIsLeftOut) {
  struct Case {
    std::string text;
    std::vector<Text> lines;
  };
  // Lines longer than a read step, and a CR LF split across two steps.
  const std::string longLine(200 * 1024, 'x');
  const std::string steps(64 * 1024 - 1, 'y');
  const Case cases[] = {
      {"", {}},
      {"\r\n", {u""}},
      {"\n", {u""}},
      {"\r", {u""}},
      {"a\r\nb\r\n", {u"a", u"b"}},
      {"a\r\n\r\nb\r\n", {u"a", u"", u"b"}},
      {"a\nb\rc\r\n", {u"a", u"b", u"c"}},  // edited by hand
      {"a\r\r\nb\n\n", {u"a", u"", u"b", u""}},
      {"\n\r", {u"", u""}},
      {"a\r\nRen \"/d/x\" \"y\"", {u"a"}},  // the last line has no end: torn
      {"torn", {}},
      {"a\r\n" + longLine + "\r\nb\r\n" + longLine, {u"a", Text(longLine.begin(), longLine.end()), u"b"}},
      {"a\r\n" + steps + "\r\n", {u"a", Text(steps.begin(), steps.end())}},
      {"a\r\n" + steps + "x\r\n", {u"a", Text(steps.begin(), steps.end()) + u"x"}},
      {"\xf0\x9f\x93\x84\xff\r\n", {u"\xd83d\xdcc4" + StrayByte(0xff)}},
  };
  for (const Case& c : cases) {
    if (!FileTextIsUtf8() && c.text.find('\xf0') != std::string::npos) continue;  // a code page's bytes there
    SCOPED_TRACE(c.text.substr(0, 40));
    Write("Undo.log", c.text);
    UndoLogLines reader(LogPath());
    std::vector<Text> lines;
    Text line;
    while (reader.Previous(line)) lines.insert(lines.begin(), line);
    EXPECT_EQ(lines, c.lines);
  }
}

TEST_F(UndoTest, RenameThenUndoGivesTheOldNameBackAndLogsBothLines) {
  Write("IMG_0001.jpg", "photo");
  RenameAsVelmora("IMG_0001.jpg", "Holiday at sea.jpg");
  const UndoOutcome o = Undo();
  EXPECT_EQ(o.exitStatus, kUndoDone) << Show(o.message);
  EXPECT_TRUE(Says(o, u"back to \"IMG_0001.jpg\"")) << Show(o.message);
  EXPECT_TRUE(o.output.empty());
  EXPECT_EQ(Read("IMG_0001.jpg"), "photo");
  EXPECT_FALSE(Exists("Holiday at sea.jpg"));
  EXPECT_EQ(LogText(), Line("Holiday at sea.jpg", "IMG_0001.jpg") +
                           Line("IMG_0001.jpg", "Holiday at sea.jpg"));
}

TEST_F(UndoTest, AnUndoIsUndoneInTurnAndUndoneLinesAreMarked) {
  Write("a.txt", "A");
  RenameAsVelmora("a.txt", "b.txt");
  ASSERT_EQ(Undo().exitStatus, kUndoDone);      // back to a.txt
  ASSERT_EQ(Undo({u"1"}).exitStatus, kUndoDone);  // the undo undone: b.txt again
  EXPECT_EQ(Read("b.txt"), "A");
  EXPECT_FALSE(Exists("a.txt"));

  const Text a = ShowText(PathOf("a.txt")), b = ShowText(PathOf("b.txt"));
  const UndoOutcome list = Undo({u"--list"});
  EXPECT_EQ(list.exitStatus, kUndoDone);
  EXPECT_TRUE(list.message.empty());
  EXPECT_EQ(list.output, u"1  \"" + b + u"\" was \"a.txt\"\n"
                         u"2  \"" + a + u"\" was \"b.txt\"  (undone by 1)\n"
                         u"3  \"" + b + u"\" was \"a.txt\"\n");

  // Entry 2 (the undo) is undone, so entry 3, the rename, is in effect again.
  const UndoOutcome again = Undo({u"2"});
  EXPECT_EQ(again.exitStatus, kNothingToUndo);
  EXPECT_TRUE(Says(again, u"undone already (entry 1")) << Show(again.message);
  EXPECT_EQ(Read("b.txt"), "A");

  // A plain undo now undoes the rename put back, as an editor's would.
  ASSERT_EQ(Undo().exitStatus, kUndoDone);
  EXPECT_EQ(Read("a.txt"), "A");
  EXPECT_EQ(LogText(), Line("b.txt", "a.txt") + Line("a.txt", "b.txt") + Line("b.txt", "a.txt") +
                           Line("a.txt", "b.txt"));
}

TEST_F(UndoTest, AnEntryThatCannotBeUndoneIsRefusedAndNothingChanges) {
  // A path of the other kind of system than the one running the test.
  const std::string foreign = kWindows ? "/home/ann/new.txt" : "C:\\Docs\\new.txt";
  struct Case {
    const char* what;
    std::vector<std::string> files;  // present before the undo
    std::string line;                // of the log, without line end
    const char16_t* says;
    const char16_t* note;            // in the list
  };
  const std::string sep(1, kSep);
  const Case cases[] = {
      {"old name taken", {"new.txt", "old.txt"}, "Ren \"" + Native("new.txt") + "\" \"old.txt\"",
       u"is taken by another file", u"(old name taken)"},
      {"file gone", {"old.txt"}, "Ren \"" + Native("new.txt") + "\" \"old.txt\"", u"is gone",
       u"(file gone)"},
      {"other system", {"new.txt"}, "Ren \"" + foreign + "\" \"old.txt\"",
       kWindows ? u"not a full path" : u"Windows path", kWindows ? u"(not a full path)" : u"(written on Windows)"},
      {"out of the folder", {"new.txt"}, "Ren \"" + Native("new.txt") + "\" \".." + sep + "old.txt\"",
       u"out of its folder", u"(not a file name)"},
      {"dots only", {"new.txt"}, "Ren \"" + Native("new.txt") + "\" \"..\"", u"out of its folder",
       u"(not a file name)"},
      {"the folder's parent", {}, "Ren \"" + Native("..") + "\" \"x\"", u"out of its folder",
       u"(not a file name)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    for (const std::string& f : c.files) Write(f, "content of " + f);
    const std::string log = c.line + "\r\n";
    Write("Undo.log", log);

    const UndoOutcome o = Undo({u"1"});
    EXPECT_EQ(o.exitStatus, kNothingToUndo);
    EXPECT_TRUE(Says(o, u"Cannot undo entry 1: ")) << Show(o.message);
    EXPECT_TRUE(Says(o, c.says)) << Show(o.message);
    for (const std::string& f : c.files) EXPECT_EQ(Read(f), "content of " + f);
    EXPECT_EQ(Names().size(), c.files.size() + 1);
    EXPECT_EQ(LogText(), log);

    EXPECT_EQ(Undo().exitStatus, kNothingToUndo);
    EXPECT_NE(Undo({u"--list"}).output.find(c.note), Text::npos);
  }
}

TEST_F(UndoTest, TheNewestUndoableLineIsFoundPastBlankUndoneAndStaleLines) {
  Write("first.txt", "1");
  RenameAsVelmora("first.txt", "renamed.txt");
  // x.txt was renamed to y.txt and back by hand since: its first line fits
  // the files, but the line after it reverses it.
  Write("x.txt", "x");
  Write("taken.txt", "t");
  Write("other.txt", "o");
  Write("Undo.log", LogText() + Line("x.txt", "y.txt") + Line("y.txt", "x.txt") + "\r\n" +
                        Line("other.txt", "taken.txt"));

  const UndoOutcome o = Undo();
  EXPECT_EQ(o.exitStatus, kUndoDone) << Show(o.message);
  EXPECT_TRUE(Says(o, u"back to \"first.txt\"")) << Show(o.message);
  EXPECT_TRUE(Says(o, u"2 newer renames of the log cannot be undone now")) << Show(o.message);
  EXPECT_EQ(Read("first.txt"), "1");
  EXPECT_EQ(Read("x.txt"), "x");
  EXPECT_EQ(Read("other.txt"), "o");
  EXPECT_EQ(Read("taken.txt"), "t");

  // The undo's own line, the newest, is an undo: the next run passes over
  // it and finds nothing else to undo, while its number still redoes.
  EXPECT_EQ(Undo().exitStatus, kNothingToUndo);
  EXPECT_EQ(Read("first.txt"), "1");
  EXPECT_EQ(Undo({u"5"}).exitStatus, kNothingToUndo);  // x.txt's undone line
  EXPECT_EQ(Read("x.txt"), "x");
  EXPECT_EQ(Undo({u"1"}).exitStatus, kUndoDone);
  EXPECT_EQ(Read("renamed.txt"), "1");
}

// Undo after undo steps back through the history, as an editor's undo does,
// however much of the log lies between a rename and its undo.
TEST_F(UndoTest, PlainUndoStepsBackThroughTheHistory) {
  for (const bool fullLog : {false, true}) {
    SCOPED_TRACE(fullLog);
    ::unlink(Native("Undo.log").c_str());
    Write("a.txt", "a");
    Write("c.txt", "c");
    RenameAsVelmora("a.txt", "b.txt");
    // Renames of files long gone between the two of this test, as many as
    // the log takes before it would start afresh.
    std::string log = LogText();
    while (fullLog && log.size() < kUndoLogLimit - 1024) log += Line("gone.txt", "was.txt");
    Write("Undo.log", log);
    RenameAsVelmora("c.txt", "d.txt");
    EXPECT_EQ(Undo().exitStatus, kUndoDone);
    EXPECT_EQ(Read("c.txt"), "c");
    const UndoOutcome second = Undo();
    EXPECT_EQ(second.exitStatus, kUndoDone) << Show(second.message);
    EXPECT_EQ(Read("a.txt"), "a");
    EXPECT_EQ(Undo().exitStatus, kNothingToUndo);
    EXPECT_EQ(Read("a.txt"), "a");
    EXPECT_EQ(Read("c.txt"), "c");
    ::unlink(Native("a.txt").c_str());
    ::unlink(Native("c.txt").c_str());
  }
}

TEST_F(UndoTest, ACaseOnlyRenameIsUndone) {
  Write("Report.txt", "r");
  RenameAsVelmora("Report.txt", "report.txt");
  EXPECT_EQ(Undo().exitStatus, kUndoDone);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Report.txt", "Undo.log"}));
  EXPECT_EQ(Read("Report.txt"), "r");
}

TEST_F(UndoTest, ATornLastLineIsNotActedOnAndKeepsOffTheNextLine) {
  Write("new.txt", "n");
  const std::string torn = "Ren \"" + Native("new.txt") + "\" \"partial";
  Write("Undo.log", Line("new.txt", "old.txt") + torn);
  EXPECT_EQ(Undo({u"--list"}).output.find(u"partial"), Text::npos);
  EXPECT_EQ(Undo().exitStatus, kUndoDone);
  EXPECT_EQ(Read("old.txt"), "n");
  EXPECT_EQ(LogText(), Line("new.txt", "old.txt") + torn + "\r\n" + Line("old.txt", "new.txt"));
}

TEST_F(UndoTest, ALogPastTheSizeLimitIsReadThenStartedAfreshWithTheUndo) {
  Write("new.txt", "n");
  std::string log(kUndoLogLimit, ' ');
  log += "\r\n" + Line("new.txt", "old.txt");
  Write("Undo.log", log);
  EXPECT_EQ(Undo().exitStatus, kUndoDone);
  EXPECT_EQ(Read("old.txt"), "n");
  EXPECT_EQ(LogText(), Line("old.txt", "new.txt"));
}

TEST_F(UndoTest, WithoutRenamesToUndoTheStatusIsOneAndALogThatCannotBeReadIsTwo) {
  struct Case {
    const char* what;
    std::optional<std::string> log;  // nothing: no log
    std::vector<Text> args;
    int status;
    const char16_t* says;
  };
  const Case cases[] = {
      {"no log", std::nullopt, {}, kNothingToUndo, u"there is no undo log"},
      {"no log, list", std::nullopt, {u"--list"}, kNothingToUndo, u"there is no undo log"},
      {"empty log", "", {}, kNothingToUndo, u"holds no renames"},
      {"blank lines", "\r\n\r\n", {u"--list"}, kNothingToUndo, u"holds no renames"},
      {"foreign lines", "hello\r\n", {u"1"}, kNothingToUndo, u"holds no renames"},
      {"past the end", Line("new.txt", "old.txt"), {u"2"}, kUndoError,
       u"There is no entry 2: the undo log holds 1 rename"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    if (c.log) Write("Undo.log", *c.log);
    const UndoOutcome o = Undo(c.args);
    EXPECT_EQ(o.exitStatus, c.status);
    EXPECT_TRUE(Says(o, c.says)) << Show(o.message);
    EXPECT_TRUE(o.output.empty());
    EXPECT_EQ(Read("Undo.log"), c.log);
  }
  MakeFolder("folder.log");
  const UndoOutcome o = RunUndo(ParseUndoArguments({}), PathOf("folder.log"));
  EXPECT_EQ(o.exitStatus, kUndoError);
  EXPECT_TRUE(Says(o, u"cannot be read")) << Show(o.message);
}

}  // namespace
}  // namespace velmora
