// Files by number on real files in a fresh folder: line ends, the codec, the
// error numbers of bad opens and bad modes, and one write per printed line.
#include "platform/files/files.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "test_files.h"

namespace velmora {
namespace {

using testing::ErrorOf;

class FilesTest : public testing::TempFolderTest {
 protected:
  FilesTest() : TempFolderTest("velmora-files-") {}
  void TearDown() override { CloseAllFiles(); }  // before the folder goes
};

TEST_F(FilesTest, LineInputEndsAtCrOrCrLfAndKeepsLoneLf) {
  struct Case {
    std::string bytes;
    std::vector<Text> lines;
  };
  const std::string longLine(64 * 1024 - 1, 'x');  // CR LF split across two reads
  const Case cases[] = {
      {"a\r\nb", {u"a", u"b"}},
      {"a\rb\r", {u"a", u"b"}},
      {"a\nb\r\n", {u"a\nb"}},
      {"a\r\r\nb", {u"a", u"", u"b"}},
      {"\r\n\r\n", {u"", u""}},
      {"", {}},
      {"caf\xc3\xa9\r\n\xff\xfe",  // UTF-8; code page 1252 on a Windows without it
       FileTextIsUtf8() ? std::vector<Text>{u"caf\u00e9", StrayByte(0xff) + StrayByte(0xfe)}
                        : std::vector<Text>{u"caf\u00c3\u00a9", u"\u00ff\u00fe"}},
      {longLine + "\r\nz", {FromAscii(longLine), u"z"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 20));
    Write("in.txt", c.bytes);
    const int n = FreeFile();
    OpenFile(n, PathOf("in.txt"), FileMode::Input);
    std::vector<Text> got;
    while (!Eof(n)) got.push_back(LineInput(n));
    EXPECT_EQ(got, c.lines);
    EXPECT_EQ(ErrorOf([&] { LineInput(n); }), err::kInputPastEndOfFile);
    EXPECT_EQ(FilePosition(n), static_cast<std::int64_t>(c.bytes.size()));
    CloseFile(n);
  }
}

TEST_F(FilesTest, BadOpensAndModesGiveTheirNumbers) {
  Write("exists.txt", "x");
  MakeFolder("folder");
  struct Case {
    const char* what;
    std::function<void()> step;
    int error;
  };
  const Case cases[] = {
      {"missing file", [&] { OpenFile(1, PathOf("none.txt"), FileMode::Input); }, 53},
      {"missing folder", [&] { OpenFile(1, PathOf("no/x.txt"), FileMode::Input); }, 76},
      {"append in missing folder", [&] { OpenFile(1, PathOf("no/x.txt"), FileMode::Append); }, 76},
      {"folder as input", [&] { OpenFile(1, PathOf("folder"), FileMode::Input); }, 75},
      {"folder as output", [&] { OpenFile(1, PathOf("folder"), FileMode::Output); }, 75},
      {"empty path", [&] { OpenFile(1, u"", FileMode::Input); }, 52},
      {"number 0", [&] { OpenFile(0, PathOf("exists.txt"), FileMode::Input); }, 52},
      {"number 256", [&] { OpenFile(256, PathOf("exists.txt"), FileMode::Input); }, 52},
      {"close unopened", [&] { CloseFile(7); }, 52},
      {"number in use",
       [&] {
         OpenFile(1, PathOf("exists.txt"), FileMode::Input);
         OpenFile(1, PathOf("exists.txt"), FileMode::Input);
       },
       55},
      {"print to input",
       [&] {
         OpenFile(1, PathOf("exists.txt"), FileMode::Input);
         PrintText(1, u"x", true);
       },
       54},
      {"line from append",
       [&] {
         OpenFile(1, PathOf("exists.txt"), FileMode::Append);
         LineInput(1);
       },
       54},
      {"print to read-only binary",
       [&] {
         OpenFile(1, PathOf("exists.txt"), FileMode::Binary, FileAccess::Read);
         PrintText(1, u"x", false);
       },
       75},
      {"chars past end",
       [&] {
         OpenFile(1, PathOf("exists.txt"), FileMode::Input);
         InputChars(1, 2);
       },
       62},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ErrorOf(c.step), c.error);
    CloseAllFiles();
  }
  EXPECT_EQ(Read("exists.txt"), "x");
}

TEST_F(FilesTest, PrintWritesEncodedTextAndLineEnd) {
  struct Case {
    FileMode mode;
    std::string before;
    Text text;
    bool newLine;
    std::string after;
  };
  const Case cases[] = {
      {FileMode::Output, "old", u"new", true, "new\r\n"},
      {FileMode::Output, "old", u"", false, ""},
      {FileMode::Append, "old\r\n", u"", true, "old\r\n\r\n"},
      // UTF-8; on a Windows without it code page 1252, where "?" stands for
      // what it cannot hold.
      {FileMode::Append, "", u"caf\u00e9 \xdcff", false, FileTextIsUtf8() ? "caf\xc3\xa9 \xff" : "caf\xe9 ?"},
      {FileMode::Append, "a", u"\U0001F600", true, FileTextIsUtf8() ? "a\xf0\x9f\x98\x80\r\n" : "a??\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.after);
    Write("out.txt", c.before);
    OpenFile(3, PathOf("out.txt"), c.mode);
    PrintText(3, c.text, c.newLine);
    EXPECT_EQ(FileAttr(3), c.mode);
    EXPECT_EQ(Lof(3), static_cast<std::int64_t>(c.after.size()));
    CloseFile(3);
    EXPECT_EQ(Read("out.txt"), c.after);
  }
}

TEST_F(FilesTest, ReadsRawBytesAndCountedCharacters) {
  Write("data.bin", "\xc3\xa9t\xff\r\nrest");
  OpenFile(2, PathOf("data.bin"), FileMode::Input);
  // A character is a UTF-8 sequence, or one byte of code page 1252 on a
  // Windows without UTF-8.
  const bool utf8 = FileTextIsUtf8();
  EXPECT_EQ(InputChars(2, 3), utf8 ? u"\u00e9t" + StrayByte(0xff) : u"\u00c3\u00a9t");
  EXPECT_EQ(FilePosition(2), utf8 ? 4 : 3);
  EXPECT_EQ(ReadBytes(2, 100), utf8 ? "\r\nrest" : "\xff\r\nrest");
  EXPECT_TRUE(Eof(2));
  EXPECT_EQ(ReadBytes(2, 100), "");
  CloseFile(2);

  OpenFile(2, PathOf("data.bin"), FileMode::Binary);
  EXPECT_EQ(ReadBytes(2, 2), "\xc3\xa9");
  PrintText(2, u"T", false);  // writes where reading stopped, not after the read-ahead
  EXPECT_EQ(FilePosition(2), 3);
  EXPECT_EQ(ReadBytes(2, 3), "\xff\r\n");
  CloseFile(2);
  EXPECT_EQ(Read("data.bin"), "\xc3\xa9T\xff\r\nrest");
}

TEST_F(FilesTest, FreeFileGivesTheLowestFreeNumber) {
  Write("f.txt", "");
  EXPECT_EQ(FreeFile(), 1);
  OpenFile(1, PathOf("f.txt"), FileMode::Input);
  OpenFile(3, PathOf("f.txt"), FileMode::Input);
  EXPECT_EQ(FreeFile(), 2);
  EXPECT_TRUE(IsFileOpen(3));
  EXPECT_FALSE(IsFileOpen(2));
  EXPECT_FALSE(IsFileOpen(999));
  for (int n = 2; n <= 255; ++n) {
    if (!IsFileOpen(n)) OpenFile(n, PathOf("f.txt"), FileMode::Input);
  }
  EXPECT_EQ(ErrorOf([] { FreeFile(); }), err::kTooManyFiles);
  CloseFile(200);
  EXPECT_EQ(FreeFile(), 200);
}

TEST_F(FilesTest, InvalidUtf8FileNameOpensLosslessly) {
  if (kWindows) GTEST_SKIP() << "file names are bytes only on POSIX";
  Write("bad\xff name.txt", "line\r\n");
  const Text path = PathOf("bad\xff name.txt");
  EXPECT_NE(path.find(u'\xdcff'), Text::npos);
  OpenFile(9, path, FileMode::Input);
  EXPECT_EQ(LineInput(9), u"line");
  CloseFile(9);
}

}  // namespace
}  // namespace velmora
