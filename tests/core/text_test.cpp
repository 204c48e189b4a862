#include "platform/text/text.h"

#include <gtest/gtest.h>

#include "test_platform.h"

namespace velmora {
namespace {

TEST(TextTest, TrimRemovesSpacesOnly) {
  struct Case {
    Text in, out;
  } cases[] = {
      {u"  a b  ", u"a b"}, {u"   ", u""}, {u"", u""}, {u"\ta \t", u"\ta \t"}, {u"\u00A0x\u00A0", u"\u00A0x\u00A0"},
  };
  for (const Case& c : cases) EXPECT_EQ(Trim(c.in), c.out) << ToUtf8ForDisplay(c.in);
}

TEST(TextTest, ReplaceAllNeverRescansInsertedText) {
  struct Case {
    Text in, find, repl, out;
  } cases[] = {
      {u"a--b", u"-", u"_", u"a__b"},
      {u"a_-_b", u"_", u"-", u"a---b"},
      {u"    ", u"  ", u" ", u"  "},    // one pass: non-overlapping, no rescan
      {u"aaa", u"aa", u"b", u"ba"},
      {u"%2541", u"%25", u"%", u"%41"},  // the "%" produced is not looked at again
      {u"abc", u"", u"x", u"abc"},
      {u"", u"a", u"b", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceAll(c.in, c.find, c.repl), c.out) << ToUtf8ForDisplay(c.in);
}

TEST(TextTest, SplitKeepsEmptyPieces) {
  EXPECT_EQ(Split(u"a\r\n\r\nb\r\n", u"\r\n"), (std::vector<Text>{u"a", u"", u"b", u""}));
  EXPECT_EQ(Split(u"a\nb", u"\r\n"), (std::vector<Text>{u"a\nb"}));
  EXPECT_TRUE(Split(u"", u"\r\n").empty());
}

TEST(TextTest, CaseMappingIsOneToOne) {
  struct Case {
    Text in, lower, upper;
  } cases[] = {
      {u"AbC", u"abc", u"ABC"},
      {u"straße", u"straße", u"STRAßE"},  // ß has no one-character capital
      {u"ÉTÉ", u"été", u"ÉTÉ"},
      {u"ﬁ", u"ﬁ", u"ﬁ"},                 // the ligature would grow to two letters
      // The simple mapping, no combining dot; Windows' own table keeps the letter.
      {u"İ", kWindows ? u"İ" : u"i", u"İ"},
      {u"\U00010400", u"\U00010428", u"\U00010400"},  // Deseret: a surrogate pair maps to a pair
      {Text(1, char16_t(0xD800)) + u"a", Text(1, char16_t(0xD800)) + u"a", Text(1, char16_t(0xD800)) + u"A"},
      {Text(1, u'\0') + u"X", Text(1, u'\0') + u"x", Text(1, u'\0') + u"X"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LCase(c.in), c.lower) << ToUtf8ForDisplay(c.in);
    EXPECT_EQ(UCase(c.in), c.upper) << ToUtf8ForDisplay(c.in);
    EXPECT_EQ(LCase(c.in).size(), c.in.size());
  }
}

TEST(TextTest, PartsAndSearchCountFromOne) {
  EXPECT_EQ(Left(u"abc", 2), u"ab");
  EXPECT_EQ(Left(u"abc", 9), u"abc");
  EXPECT_EQ(Right(u"abc", 2), u"bc");
  EXPECT_EQ(Mid(u"abcd", 2), u"bcd");
  EXPECT_EQ(Mid(u"abcd", 2, 2), u"bc");
  EXPECT_EQ(Mid(u"abcd", 5), u"");
  struct Case {
    std::size_t start;
    Text s, find;
    std::size_t forward;
  } cases[] = {
      {1, u"a\\b\\c", u"\\", 2}, {3, u"a\\b\\c", u"\\", 4}, {5, u"a\\b\\c", u"\\", 0}, {1, u"abc", u"x", 0},
      {4, u"abc", u"", 4},       {5, u"abc", u"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(InStr(c.start, c.s, c.find), c.forward) << c.start;
  EXPECT_EQ(InStrRev(u"a.b.c", u"."), 4u);
  EXPECT_EQ(InStrRev(u"a.b.c", u".", 3), 2u);
  EXPECT_EQ(InStrRev(u"abc", u"."), 0u);
  EXPECT_EQ(InStrRev(u"", u"."), 0u);
}

TEST(TextTest, StrHasNoPlusSign) {
  EXPECT_EQ(Str(0), u"0");
  EXPECT_EQ(Str(10), u"10");
  EXPECT_EQ(Str(-32768), u"-32768");
  EXPECT_EQ(Str(2147483647), u"2147483647");
}

}  // namespace
}  // namespace velmora
