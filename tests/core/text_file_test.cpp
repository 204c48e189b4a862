// CTextFile on real files in a fresh temporary folder.
#include "fileio/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/files/files.h"
#include "platform/fs/filesystem.h"
#include "test_files.h"

namespace velmora {
namespace {

std::string Show(const Text& t) { return ToUtf8ForDisplay(t); }

using testing::TempFolder;

/// Sets or (with nullptr) removes an environment variable for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    SetEnv(name, value);
  }
  ~ScopedEnv() { SetEnv(name_.c_str(), old_ ? old_->c_str() : nullptr); }

 private:
  std::string name_;
  std::optional<std::string> old_;
};

TEST(TextFileTest, ReadAllLeavesObjectReadingAtStart) {
  struct Case {
    const char* label;
    int mode;
    std::string before;  // file content before opening
    Text written;        // written through the object (modes 1 and 2)
    Text whole;          // what ReadAll returns
    FileMode after;      // mode afterwards
  };
  const Case cases[] = {
      {"input", 0, "a\r\nb", u"", u"a\r\nb", FileMode::Input},
      {"append, written", 2, "x", u"y", u"xy\r\n", FileMode::Input},
      {"output, written", 1, "old", u"new", u"new\r\n", FileMode::Input},
      {"empty file stays as it was", 2, "", u"", u"", FileMode::Append},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder tmp;
    tmp.Write("f.txt", c.before);
    CTextFile f;
    ASSERT_TRUE(f.FileOpen(tmp.PathOf("f.txt"), c.mode));
    if (!c.written.empty()) f.WriteLnStr(c.written);
    EXPECT_EQ(f.ReadAll(), c.whole);
    ASSERT_NE(f.FileHandle(), 0);
    EXPECT_EQ(FileAttr(f.FileHandle()), c.after);
    if (c.after == FileMode::Input) {  // reading starts again at the beginning
      std::vector<Text> lines = Split(c.whole, u"\r\n");
      if (!lines.empty() && lines.back().empty()) lines.pop_back();
      for (const Text& line : lines) EXPECT_EQ(f.ReadLn(), line);
      EXPECT_TRUE(f.Eof());
      EXPECT_EQ(testing::ErrorOf([&] { f.ReadLn(); }), err::kInputPastEndOfFile);
    }
    f.FileClose();
  }
}

TEST(TextFileTest, ReadAllOfVanishedFileClosesObject) {
  TempFolder tmp;
  CTextFile f;
  ASSERT_TRUE(f.FileOpen(tmp.PathOf("gone.log"), 2));
  f.WriteLnStr(u"x");
  const int number = f.FileHandle();
  if (unlink(tmp.Native("gone.log").c_str()) != 0) {
    // Windows keeps a file that is held open, as the undo log's size rule needs.
    ASSERT_TRUE(kWindows);
    f.FileClose();
    GTEST_SKIP() << "the system does not delete a file held open";
  }

  EXPECT_EQ(f.ReadAll(), u"");
  EXPECT_EQ(f.FileHandle(), 0);  // never a number it no longer owns
  EXPECT_EQ(f.FileName(), u"");
  EXPECT_FALSE(IsFileOpen(number));
  EXPECT_FALSE(tmp.Read("gone.log").has_value());  // not created again

  CTextFile closed;
  EXPECT_EQ(closed.ReadAll(), u"");
}

TEST(TextFileTest, ReadLnArray) {
  struct Case {
    std::string content;
    bool ignoreEmpty;
    std::vector<Text> lines;
  };
  const Case cases[] = {
      {"a\r\n\r\nb\r\n", true, {u"a", u"b"}},
      {"a\r\n\r\nb\r\n", false, {u"a", u"", u"b"}},
      {"", false, {}},
      {"\r\n\r\n", true, {}},
      {"  \r\nx", true, {u"  ", u"x"}},  // spaces are not empty
      {"a\nb\rc", false, {u"a\nb", u"c"}},  // a lone LF belongs to the line
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    TempFolder tmp;
    tmp.Write("f.txt", c.content);
    CTextFile f;
    ASSERT_TRUE(f.FileOpen(tmp.PathOf("f.txt"), 0));
    EXPECT_EQ(f.ReadLnArray(c.ignoreEmpty), c.lines);
    EXPECT_TRUE(f.Eof());
    f.FileClose();
  }
}

TEST(TextFileTest, ReadLnArrayAcrossGrowthSteps) {
  for (const int count : {999, 1000, 1001, 2500}) {
    SCOPED_TRACE(count);
    TempFolder tmp;
    std::string content;
    for (int i = 0; i < count; ++i) content += "line " + std::to_string(i) + "\r\n";
    tmp.Write("f.txt", content);
    CTextFile f;
    ASSERT_TRUE(f.FileOpen(tmp.PathOf("f.txt"), 0));
    const std::vector<Text> lines = f.ReadLnArray(false);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(lines.front(), u"line 0");
    EXPECT_EQ(lines.back(), u"line " + Str(count - 1));
    f.FileClose();
  }
}

TEST(TextFileTest, WritesReachTheFile) {
  struct Case {
    int mode;
    std::optional<std::string> before;  // nothing: the file is missing
    std::vector<std::pair<bool, Text>> writes;  // (with line end, text)
    std::string after;
  };
  const Case cases[] = {
      {1, "old", {{true, u""}}, "\r\n"},
      {1, "old", {{false, u""}}, ""},
      {2, "old", {{false, u"a"}, {true, u"b"}}, "oldab\r\n"},
      {2, std::nullopt, {{true, u"caf\u00e9"}}, FileTextIsUtf8() ? "caf\xc3\xa9\r\n" : "caf\xe9\r\n"},
      {1, std::nullopt, {}, ""},
  };
  for (const auto& c : cases) {
    TempFolder tmp;
    if (c.before) tmp.Write("f.txt", *c.before);
    CTextFile f;
    ASSERT_TRUE(f.FileOpen(tmp.PathOf("f.txt"), c.mode));
    for (const auto& [line, text] : c.writes) line ? f.WriteLnStr(text) : f.WriteStr(text);
    f.FileClose();
    EXPECT_EQ(tmp.Read("f.txt"), c.after);
  }
}

TEST(TextFileTest, FlushKeepsWrittenFileOpenForAppend) {
  for (const int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    TempFolder tmp;
    tmp.MakeFolder("Data");
    const Text path = tmp.PathOf("Data/Undo.LOG");  // capitals: reopened by this name
    CTextFile f;
    ASSERT_TRUE(f.FileOpen(path, mode));
    f.WriteLnStr(u"one");
    f.Flush();
    EXPECT_EQ(tmp.Read("Data/Undo.LOG"), "one\r\n");
    ASSERT_NE(f.FileHandle(), 0);
    EXPECT_EQ(FileAttr(f.FileHandle()), FileMode::Append);
    EXPECT_EQ(f.FileName(), LCase(path));
    f.WriteLnStr(u"two");
    f.FileClose();
    EXPECT_EQ(tmp.Read("Data/Undo.LOG"), "one\r\ntwo\r\n");
    if (!kWindows) {  // on Windows the lower-case name reaches the same file
      EXPECT_FALSE(tmp.Read("data/undo.log").has_value());
    }
  }
}

TEST(TextFileTest, FlushClosesInputFile) {
  TempFolder tmp;
  tmp.Write("f.txt", "x");
  CTextFile f;
  ASSERT_TRUE(f.FileOpen(tmp.PathOf("f.txt"), 0));
  const int number = f.FileHandle();
  f.Flush();
  EXPECT_EQ(f.FileHandle(), 0);
  EXPECT_EQ(f.FileName(), u"");
  EXPECT_FALSE(IsFileOpen(number));
  EXPECT_EQ(tmp.Read("f.txt"), "x");
}

TEST(TextFileTest, FileNameIsLowerCaseButFileIsReachedAsNamed) {
  TempFolder tmp;
  tmp.MakeFolder("Data");
  tmp.Write("Data/Words.TXT", "Hello");
  const Text path = tmp.PathOf("Data/Words.TXT");
  CTextFile f;
  ASSERT_TRUE(f.FileOpen(path, 0));
  EXPECT_EQ(f.FileName(), LCase(path));
  EXPECT_EQ(f.ReadAll(), u"Hello");
  f.FileClose();
  EXPECT_EQ(f.FileName(), u"");
  EXPECT_EQ(f.FileHandle(), 0);
}

TEST(TextFileTest, FailedOpenChangesNothing) {
  TempFolder tmp;
  tmp.MakeFolder("dir");
  tmp.Write("held.txt", "held");
  struct Case {
    const char* label;
    Text path;
    int mode;
  };
  const Case cases[] = {
      {"missing, input", tmp.PathOf("missing.txt"), 0},
      {"folder as file, input", tmp.PathOf("dir"), 0},
      {"folder as file, output", tmp.PathOf("dir"), 1},
      {"folder as file, append", tmp.PathOf("dir"), 2},
      {"missing folder, output", tmp.PathOf("nowhere/f.txt"), 1},
      {"mode 3", tmp.PathOf("new3.txt"), 3},
      {"mode -1", tmp.PathOf("new-1.txt"), -1},
      {"NUL in name", tmp.PathOf("a") + Text(1, u'\0') + u"b", 1},
      {"empty name", u"", 1},
  };
  CTextFile f;
  ASSERT_TRUE(f.FileOpen(tmp.PathOf("held.txt"), 0));
  const auto handle = f.FileHandle();
  const Text name = f.FileName();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_FALSE(f.FileOpen(c.path, c.mode));
    EXPECT_EQ(f.FileHandle(), handle);
    EXPECT_EQ(f.FileName(), name);
  }
  EXPECT_FALSE(tmp.Read("new3.txt").has_value());
  EXPECT_FALSE(tmp.Read("new-1.txt").has_value());
  EXPECT_EQ(f.ReadAll(), u"held");
  f.FileClose();
}

TEST(TextFileTest, UnreadableFileDoesNotOpen) {
  TempFolder tmp;
  tmp.Write("secret.txt", "x");
  ASSERT_EQ(chmod(tmp.Native("secret.txt").c_str(), 0), 0);
  const int probe = open(tmp.Native("secret.txt").c_str(), O_RDONLY);
  if (probe >= 0) {
    close(probe);
    GTEST_SKIP() << "permissions do not deny reading here (running as root)";
  }
  CTextFile f;
  EXPECT_FALSE(f.FileOpen(tmp.PathOf("secret.txt"), 0));
  EXPECT_EQ(f.FileHandle(), 0);
}

TEST(TextFileTest, InvalidUtf8NameAndContentRoundTrip) {
  if (kWindows) GTEST_SKIP() << "names and file text are bytes only on POSIX";
  TempFolder tmp;
  std::string bytes;
  for (int b = 0x80; b <= 0xFF; ++b) bytes += static_cast<char>(b);
  bytes += "caf\xc3\xa9";  // valid UTF-8 stays a character
  tmp.Write("\xff\xfe src.txt", bytes);

  CTextFile in;
  ASSERT_TRUE(in.FileOpen(tmp.PathOf("\xff\xfe src.txt"), 0));
  const Text text = in.ReadAll();
  in.FileClose();

  Text shown;
  for (int b = 0x80; b <= 0xFF; ++b) shown += Cp1252ToChar(static_cast<std::uint8_t>(b));
  shown += u"caf\u00e9";
  EXPECT_EQ(DisplayText(text), shown);

  CTextFile out;
  ASSERT_TRUE(out.FileOpen(tmp.PathOf("\xfe out.txt"), 1));
  out.WriteStr(text);
  out.FileClose();
  EXPECT_EQ(tmp.Read("\xfe out.txt"), bytes);
}

TEST(TextFileTest, CreateTempFile) {
  if (NativeSeparator() != u'/') GTEST_SKIP() << "environment set the POSIX way";
  TempFolder tmp;
  tmp.MakeFolder("MyTemp");
  tmp.MakeFolder("mytemp");  // another folder on a case-sensitive system
  tmp.MakeFolder("lower");
  struct Case {
    const char* label;
    std::optional<std::string> temp, tmpdir;
    Text folder;  // expected folder of the result
  };
  const Case cases[] = {
      {"Temp with capitals", tmp.Native("MyTemp"), std::nullopt, tmp.PathOf("MyTemp/")},
      {"Temp lower case, trailing slash", tmp.Native("lower/"), std::nullopt, tmp.PathOf("lower/")},
      {"TMPDIR when Temp is unset", std::nullopt, tmp.Native("lower"), tmp.PathOf("lower/")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ScopedEnv temp("Temp", c.temp ? c.temp->c_str() : nullptr);
    ScopedEnv tmpdir("TMPDIR", c.tmpdir ? c.tmpdir->c_str() : nullptr);
    CTextFile f;
    const Text path = f.CreateTempFile();
    SCOPED_TRACE(Show(path));
    ASSERT_EQ(path.substr(0, c.folder.size()), c.folder);
    const Text name = path.substr(c.folder.size());
    ASSERT_EQ(name.size(), 16u);
    EXPECT_EQ(name.substr(0, 8), u"~ctxtmp@");
    for (std::size_t i = 8; i < 12; ++i) EXPECT_TRUE(name[i] >= u'0' && name[i] <= u'9');
    EXPECT_EQ(name.substr(12), u".tmp");
    ASSERT_NE(f.FileHandle(), 0);
    EXPECT_EQ(FileAttr(f.FileHandle()), FileMode::Output);
    EXPECT_EQ(FileLen(path), 0);
    f.WriteStr(u"t");
    f.FileClose();
    EXPECT_EQ(FileLen(path), 1);  // the file is where the path says
    Kill(path);
  }
}

}  // namespace
}  // namespace velmora
