#include "platform/text/unicode.h"

#include <gtest/gtest.h>

#include "platform/text/text.h"

namespace velmora {
namespace {

TEST(UnicodeTest, PairsSplitAndCombineAtTheEdgesOfTheRange) {
  struct Case {
    char32_t codePoint;
    char16_t high, low;
  } cases[] = {
      {0x10000, 0xD800, 0xDC00},   // the first character above one code unit
      {0x103FF, 0xD800, 0xDFFF},   // the last low surrogate under the first high one
      {0x10400, 0xD801, 0xDC00},   // the next high surrogate
      {0x1F600, 0xD83D, 0xDE00},   // an emoji
      {0x10FFFF, 0xDBFF, 0xDFFF},  // the last character there is
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<unsigned>(c.codePoint));
    EXPECT_TRUE(NeedsPair(c.codePoint));
    EXPECT_FALSE(IsSingleUnit(c.codePoint));
    const SurrogatePair pair = SplitPair(c.codePoint);
    EXPECT_EQ(pair.high, c.high);
    EXPECT_EQ(pair.low, c.low);
    EXPECT_EQ(CombinePair(c.high, c.low), c.codePoint);
  }
}

TEST(UnicodeTest, OneUnitHoldsEveryCharacterBelowThePairsButNoSurrogate) {
  struct Case {
    char32_t codePoint;
    bool single, pair, surrogate;
  } cases[] = {
      {0x0000, true, false, false},  {0xD7FF, true, false, false}, {0xD800, false, false, true},
      {0xDBFF, false, false, true},  {0xDC00, false, false, true}, {0xDFFF, false, false, true},
      {0xE000, true, false, false},  {0xFFFF, true, false, false}, {0x110000, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<unsigned>(c.codePoint));
    EXPECT_EQ(IsSingleUnit(c.codePoint), c.single);
    EXPECT_EQ(NeedsPair(c.codePoint), c.pair);
    EXPECT_EQ(IsSurrogate(c.codePoint), c.surrogate);
    EXPECT_EQ(IsHighSurrogate(c.codePoint) || IsLowSurrogate(c.codePoint), c.surrogate);
  }
  EXPECT_TRUE(IsHighSurrogate(0xDBFF));
  EXPECT_FALSE(IsHighSurrogate(0xDC00));
  EXPECT_TRUE(IsLowSurrogate(0xDC00));
  EXPECT_FALSE(IsLowSurrogate(0xDBFF));
}

TEST(UnicodeTest, APairIsAHighSurrogateFollowedByALowOne) {
  const char16_t high = 0xD83D, low = 0xDE00;
  struct Case {
    Text text;
    std::size_t at;
    bool pair;
  } cases[] = {
      {Text{high, low}, 0, true},
      {Text{high, low}, 1, false},        // the low half starts nothing
      {Text{u'a', high, low}, 1, true},
      {Text{low, high}, 0, false},        // the wrong way round
      {Text{high}, 0, false},             // a lone high surrogate at the end
      {Text{high, u'a'}, 0, false},
      {Text{high, high, low}, 0, false},  // a lone high surrogate before a pair
      {Text{high, high, low}, 1, true},
      {Text{}, 0, false},
  };
  for (const Case& c : cases) EXPECT_EQ(PairAt(c.text, c.at), c.pair) << ToUtf8ForDisplay(c.text) << " at " << c.at;
}

TEST(UnicodeTest, ACutNeverSplitsAPair) {
  const char16_t high = 0xD83D, low = 0xDCC4;  // U+1F4C4
  struct Case {
    Text text;
    std::size_t n, length;
  } cases[] = {
      {Text{u'a', high, low}, 2, 1},   // the pair would lose its low half: cut before it
      {Text{u'a', high, low}, 3, 3},
      {Text{u'a', high, low}, 9, 3},   // a longer limit keeps everything
      {Text{high, low}, 1, 0},
      {Text{u'a', high, u'b'}, 2, 2},  // a lone high half is a unit of its own
      {Text{high, high, low}, 2, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CutLength(c.text, c.n), c.length) << ToUtf8ForDisplay(c.text) << " cut to " << c.n;
  }
}

}  // namespace
}  // namespace velmora
