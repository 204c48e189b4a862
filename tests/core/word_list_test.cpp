// The word list on real files: line ends per platform, blank lines, the byte
// order mark, and the bounds that keep a huge file from stalling the start.
#include "fileio/word_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/codec/codec.h"
#include "test_files.h"

namespace velmora {
namespace {

class WordListTest : public testing::TempFolderTest {
 protected:
  WordListTest() : TempFolderTest("velmora-words-") {}
};

/// `count` lines "name<i>" ending in CR LF.
std::string NameLines(std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    out += "name";
    out += std::to_string(i);
    out += "\r\n";
  }
  return out;
}

TEST_F(WordListTest, ReadsNamesAsWritten) {
  const bool lf = LoneLineFeedEndsLine();
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<Text> names;
    bool utf8 = false;  // the bytes mean UTF-8, the system encoding on POSIX only
  };
  const Case cases[] = {
      {"blank and space lines skipped, spaces kept", "Invoice\r\n\r\n   \r\n  Report  \r\n",
       {u"Invoice", u"  Report  "}},
      {"tabs are not spaces", "\t\r\nx", {u"\t", u"x"}},
      {"empty", "", {}},
      {"bytes that are not UTF-8 show per Windows-1252", "Caf\xE9\r\n", {u"Caf\u00e9"}},
      // Low halves in U+DC80..U+DCFF are no escaped bytes: the names stay whole.
      {"pairs", "\xF0\x9F\x93\x81 Projects\r\n\xF0\x9F\x92\xA1\xE9\r\n\xF0\x9F\x98\x80\r\n",
       {u"\U0001F4C1 Projects", u"\U0001F4A1\u00e9", u"\U0001F600"}, true},
      {"byte order mark dropped", "\xEF\xBB\xBF" "first\r\nsecond", {u"first", u"second"}},
      // Linux editors end lines with LF alone; on Windows only CR LF splits.
      {"LF", "a\nb\n", lf ? std::vector<Text>{u"a", u"b"} : std::vector<Text>{u"a\nb\n"}},
      {"lone CR", "a\rb", lf ? std::vector<Text>{u"a", u"b"} : std::vector<Text>{u"a\rb"}},
      {"LF CR is two ends", "a\n\rb", lf ? std::vector<Text>{u"a", u"b"} : std::vector<Text>{u"a\n\rb"}},
  };
  for (const Case& c : cases) {
    if (!FileTextIsUtf8() && c.utf8) continue;  // a code page reads them byte by byte
    SCOPED_TRACE(c.name);
    Write("words.txt", c.bytes);
    EXPECT_EQ(ReadWordList(PathOf("words.txt")), c.names);
  }
}

TEST_F(WordListTest, ReadsOnlyTheHeadOfAHugeFile) {
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t count;   // names expected
    std::string last;    // the last of them
  };
  // Lines of 200 bytes: 5,242 fit in 1 MiB, the 5,243rd is cut by the limit.
  std::string overLimit;
  std::string line5241;
  for (int i = 0; overLimit.size() <= kWordListBytes; ++i) {
    std::string line = "n";
    line += std::to_string(i);
    line.resize(198, 'p');
    if (i == 5241) line5241 = line;
    overLimit += line + "\r\n";
  }
  const std::string exact = std::string(kWordListBytes - 4, 'x') + "\r\nab";  // ends exactly at the limit
  const Case cases[] = {
      {"more names than kept", NameLines(20000), kWordListEntries, "name9999"},
      {"a line cut by the limit is dropped", overLimit, kWordListBytes / 200, line5241},
      {"one line longer than the limit", std::string(kWordListBytes + 10, 'x'), 0, ""},
      {"a file of exactly the limit is whole", exact, 2, "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Write("words.txt", c.bytes);
    const std::vector<Text> names = ReadWordList(PathOf("words.txt"));
    ASSERT_EQ(names.size(), c.count);
    if (c.count > 0) {
      EXPECT_EQ(names.back(), FromAscii(c.last));
    }
  }
}

TEST_F(WordListTest, MissingOrUnreadableGivesNoNames) {
  MakeFolder("folder");
  EXPECT_TRUE(ReadWordList(PathOf("none.txt")).empty());
  EXPECT_TRUE(ReadWordList(PathOf("folder")).empty());
  EXPECT_TRUE(ReadWordList(u"").empty());
}

}  // namespace
}  // namespace velmora
