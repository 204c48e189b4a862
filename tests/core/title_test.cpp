// The title readers on real files in a fresh folder: tags, line ends, the
// 10,240-byte head, the 16-bit limits, the codec, cleaning and cutting, and
// files that cannot be read. Every file must be left as it was and closed.
#include "transform/title.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/files/files.h"
#include "test_files.h"

namespace velmora {
namespace {

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// Lines of "f" ending in CR LF that take exactly `bytes` bytes (>= 64).
std::string Filler(std::size_t bytes) {
  std::string out;
  while (bytes >= 64) {
    out += std::string(62, 'f') + "\r\n";
    bytes -= 64;
  }
  if (bytes >= 2) out += std::string(bytes - 2, 'f') + "\r\n";
  if (bytes == 1) out += "\r";
  return out;
}

class TitleTest : public testing::TempFolderTest {
 protected:
  TitleTest() : TempFolderTest("velmora-title-") {}
};

TEST(ReplaceCharsTest, ReplacesEveryCharacterOfTheSet) {
  struct Case {
    Text text, replacement, set, expected;
  };
  const Case cases[] = {
      {u"A : B", u"", u":", u"A  B"},  // nothing is compacted
      {u"a\\b/c:d*e?f\"g<h>i|j", u"", u"\\/:*?<>|\"", u"abcdefghij"},
      {u"Ab", u"", u"a", u"Ab"},  // case-sensitive
      {u"a::b", u"_", u":", u"a_b"},
      {u"a_:b", u"_", u":", u"a_b"},  // a single character is not doubled
      {u"a::b", u"--", u":", u"a----b"},
      {u"", u"", u":", u""},
      {Text(32766, u':'), u"", u":", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceChars(c.text, c.replacement, c.set), c.expected)
        << ToUtf8ForDisplay(c.text.substr(0, 40));
  }
  EXPECT_EQ(testing::ErrorOf([] { ReplaceChars(Text(32767, u'a'), u"", u":"); }), err::kOverflow);
}

TEST_F(TitleTest, ReadsTitlesAndLeavesTheFileAsItWas) {
  struct Case {
    const char* name;
    std::string bytes;
    Text html;  // GetHtmlTitle(path, 100)
    Text text;  // GetTextTitle(path, 100)
    bool utf8 = false;  // the bytes mean UTF-8, the system encoding on POSIX only
  };
  const Text f62(62, u'f');
  const Case cases[] = {
      {"page", "<html>\r\n<head>\r\n<title>My Page: Intro</title>\r\n</head>\r\n", u"My Page Intro",
       u"html"},
      {"upper tags", "<TITLE>Quarterly Results</TITLE>", u"Quarterly Results",
       u"TITLEQuarterly ResultsTITLE"},
      {"two lines", "<title>Annual\r\nReport</title>", u"AnnualReport", u"titleAnnual"},
      {"attribute", "<title lang=en>News</title>", u"", u"title lang=enNewstitle"},
      {"space in tag", "<title >News</title>", u"", u"title Newstitle"},
      {"no closing", "<head><title>Lost</head>", u"", u"headtitleLosthead"},
      {"reversed", "</title>x<title>y</title>", u"", u"titlextitleytitle"},
      {"closing split", "<title>Split</ti\r\ntle>", u"Split", u"titleSplitti"},
      {"markup kept", "<title>A &amp; <b>B</b></title>", u"A &amp; bBb", u"titleA &amp; bBbtitle"},
      {"removed", "<title>  \"Q\" | R  </title>", u"Q  R", u"title  Q  R  title"},
      {"tabs stay", "<title>\tTab\t</title>", u"\tTab\t", u"title\tTab\ttitle"},
      {"only removed", "<title> ?? </title>", u"", u"title  title"},
      {"empty file", "", u"", u""},
      {"chapter", "\r\n   \r\n  Chapter 1: Begin  \r\nmore", u"", u"Chapter 1 Begin"},
      {"skip removed", "???\r\nReal title", u"", u"Real title"},
      {"tab line", "\t\r\nNext", u"", u"\t"},
      {"lone CR", "Title\r<title>X</title>", u"X", u"Title"},
      {"CR CR", "\r\r\r\n\rZ", u"", u"Z"},
      // A lone LF ends a line on POSIX, as Linux editors write them; on Windows
      // it is an ordinary character.
      {"LF only", "<title>One\nTwo</title>\nrest\n", u"OneTwo",
       kWindows ? u"titleOne\nTwotitle\nrest\n" : u"titleOne"},
      {"LF page", "<html>\n<head>\n<title>My Page: Intro</title>\n</head>\n", u"My Page Intro",
       kWindows ? u"html\nhead\ntitleMy Page Introtitle\nhead\n" : u"html"},
      {"LF chapter", "\n   \n?|\n  Chapter 1: Begin  \nmore", u"",
       kWindows ? u"\n   \n\n  Chapter 1 Begin  \nmore" : u"Chapter 1 Begin"},
      {"LF ends the head", Filler(10239) + "\n<title>T</title>", kWindows ? u"T" : u"", f62},
      {"LF CR", "\n\r\nA\n\rB", u"", kWindows ? u"\n" : u"A"},
      {"cp1252 bytes", "<title>Caf\xE9 \x80</title>", u"Caf\u00e9 \u20ac", u"titleCaf\u00e9 \u20actitle"},
      {"utf-8", "<title>Caf\xC3\xA9 \xF0\x9F\x98\x80</title>", u"Caf\u00e9 \U0001F600",
       u"titleCaf\u00e9 \U0001F600title", true},
      // Low halves in U+DC80..U+DCFF, where escaped bytes lie, stay halves of
      // their characters; only the lone byte beside them shows as Windows-1252.
      {"pairs of the escape range", "<title>\xF0\x9F\x93\x84 \xF0\x9F\x92\xA9 \xF0\xA0\x82\x89\xE9</title>",
       u"\U0001F4C4 \U0001F4A9 \U00020089\u00e9", u"title\U0001F4C4 \U0001F4A9 \U00020089\u00e9title", true},
      {"cut sequence", "ab\xE2\x82\r\ncd", u"", u"ab\u00e2\u201a"},
      {"binary", std::string("\x89PNG\r\n\x1a\n\0\0", 10), u"", u"\u2030PNG"},
      {"byte order mark", "\xEF\xBB\xBFHello\r\n<title>T</title>", u"T", u"Hello"},
      {"150 characters", "<title>" + std::string(99, 'a') + " " + std::string(50, 'b') + "</title>",
       Text(99, u'a'), u"title" + Text(95, u'a')},
      {"150 line", std::string(99, 'a') + " " + std::string(50, 'b'), u"", Text(99, u'a')},
      // A pair that the cut at 100 would split is left out whole.
      {"pair at the cut", "<title>" + std::string(99, 'a') + "\xF0\x9F\x93\x84</title>", Text(99, u'a'),
       u"title" + Text(95, u'a'), true},
      {"pair within the cut", "<title>" + std::string(98, 'a') + "\xF0\x9F\x93\x84</title>",
       Text(98, u'a') + u"\U0001F4C4", u"title" + Text(95, u'a'), true},
      {"pair line at the cut", std::string(98, 'a') + " \xF0\x9F\x98\x80", u"", Text(98, u'a'), true},
      // Reading stops after the line that ends at or after byte 10,240.
      {"head 10239", Filler(10239) + "<title>Early</title>", u"Early", f62},
      {"head 10240", Filler(10240) + "<title>Late</title>", u"", f62},
      {"LF counts", Filler(10238) + "\r\n<title>T</title>", u"", f62},
      {"lone CR counts", Filler(10238) + "\r<title>T</title>", u"T", f62},
      {"mark counts", "\xEF\xBB\xBF" + Filler(10237) + "<title>T</title>", u"", f62},
      {"across 10240", Filler(10220) + "<title>Long\r\nTitle</title>\r\n", u"LongTitle", f62},
      {"after 10240", Filler(10220) + "<title>Long\r\n" + std::string(20, 'x') + "\r\n</title>", u"",
       f62},
      // The closing tag may start at character 32,767 at the latest.
      {"closing 32767", std::string(32758, 'a') + "<title>X</title>", u"X", u""},
      {"closing 32768", std::string(32759, 'a') + "<title>X</title>", u"", u""},
      {"opening 32760", std::string(32759, 'a') + "<title></title>", u"", u""},
      {"opening 32761", std::string(32760, 'a') + "<title></title>", u"", u""},
      {"counts units", Repeat("\xC3\xA9", 32758) + "<title>X</title>", u"X", u"", true},
      {"counts pairs", Repeat("\xF0\x9F\x98\x80", 16379) + "<title>X</title>", u"X", u"", true},
      {"pairs past", Repeat("\xF0\x9F\x98\x80", 16379) + "a<title>X</title>", u"", u"", true},
      {"far title", std::string(40000, 'a') + "<title>X</title>", u"", u""},
      // A text line of 32,767 characters or more ends the search empty.
      {"line 32766", std::string(32766, 'b'), u"", Text(100, u'b')},
      {"line 32767", std::string(32767, 'b'), u"", u""},
      {"removed 32766", std::string(32766, '?') + "\r\nReal", u"", u"Real"},
      {"removed 32767", std::string(32767, '?') + "\r\nReal", u"", u""},
      {"two long lines", Repeat(std::string(20000, '?') + "\r\n", 2) + std::string(20000, 'b'), u"",
       Text(100, u'b')},
      {"spaces 40000", std::string(40000, ' ') + "\r\nReal", u"", u""},
      {"wide 32766", Repeat("\xC3\xA9", 32766), u"", Text(100, u'\u00e9'), true},
      {"wide 32767", Repeat("\xC3\xA9", 32767), u"", u"", true},
      {"mixed 32766", std::string(32000, '?') + Repeat("\xC3\xA9", 766), u"", Text(100, u'\u00e9'), true},
      {"mixed 32767", std::string(32000, '?') + Repeat("\xC3\xA9", 767), u"", u"", true},
      {"pairs 32767", std::string(32765, ' ') + "\xF0\x9F\x98\x80", u"", u"", true},
      // Line ends that fall on the edge of a read must still pair CR with LF.
      {"many blank lines", Repeat("?| \r\n", 100000) + "End", u"", u"End"},
      {"CR at read edge", std::string(16383, '?') + "\r\nZ", u"", u"Z"},
  };
  const int freeNumber = FreeFile();
  for (const Case& c : cases) {
    if (!FileTextIsUtf8() && c.utf8) continue;  // a code page reads them byte by byte
    SCOPED_TRACE(c.name);
    Write("page.htm", c.bytes);
    const Text path = PathOf("page.htm");
    const Text html = GetHtmlTitle(path, 100);
    const Text text = GetTextTitle(path, 100);
    EXPECT_TRUE(html == c.html) << "HTML title: " << ToUtf8ForDisplay(html);
    EXPECT_TRUE(text == c.text) << "text title: " << ToUtf8ForDisplay(text);
    EXPECT_TRUE(Read("page.htm") == c.bytes) << "file changed";
    EXPECT_EQ(FreeFile(), freeNumber) << "file left open";
  }
}

TEST_F(TitleTest, CutsToTheMaximumLengthAndTrims) {
  struct Case {
    int maxLength;
    Text expected;
  };
  const Case cases[] = {
      {100, u"Hello World"}, {6, u"Hello"}, {5, u"Hello"}, {1, u"H"}, {0, u""}, {-1, u""},
  };
  Write("page.htm", "<title> Hello World </title>");
  Write("notes.txt", " Hello World ");
  for (const Case& c : cases) {
    EXPECT_EQ(GetHtmlTitle(PathOf("page.htm"), c.maxLength), c.expected) << c.maxLength;
    EXPECT_EQ(GetTextTitle(PathOf("notes.txt"), c.maxLength), c.expected) << c.maxLength;
  }
}

TEST_F(TitleTest, UnreadableFilesGiveTheEmptyText) {
  MakeFolder("folder");
  struct Case {
    const char* name;
    Text path;
  };
  const Case cases[] = {
      {"vanished", PathOf("gone.htm")},
      {"missing folder", PathOf("nowhere/gone.htm")},
      {"folder", PathOf("folder")},
      {"empty path", u""},
      {"NUL in path", PathOf("page") + Text(1, u'\0') + u".htm"},
  };
  const int freeNumber = FreeFile();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GetHtmlTitle(c.path, 100), u"");
    EXPECT_EQ(GetTextTitle(c.path, 100), u"");
    EXPECT_EQ(FreeFile(), freeNumber) << "file left open";
  }
  EXPECT_FALSE(Exists("gone.htm")) << "reading created the file";
}

TEST_F(TitleTest, DeniedFileGivesTheEmptyText) {
  Write("locked.htm", "<title>Secret</title>");
  ::chmod(Native("locked.htm").c_str(), 0);
  if (::access(Native("locked.htm").c_str(), R_OK) == 0) {
    ::chmod(Native("locked.htm").c_str(), 0600);  // Windows only makes it read-only, which stops its removal
    GTEST_SKIP() << "running with rights that read a mode-000 file";
  }
  EXPECT_EQ(GetHtmlTitle(PathOf("locked.htm"), 100), u"");
  EXPECT_EQ(GetTextTitle(PathOf("locked.htm"), 100), u"");
}

}  // namespace
}  // namespace velmora
