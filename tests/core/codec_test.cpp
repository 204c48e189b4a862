#include "platform/codec/codec.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/errors/errors.h"

namespace velmora {
namespace {

TEST(CodecTest, Windows1252Table) {
  struct Case {
    std::uint8_t code;
    char16_t ch;
  } cases[] = {
      {0x41, u'A'}, {0x80, u'€'}, {0x81, 0x0081}, {0x8A, u'Š'}, {0x96, u'–'},
      {0x9F, u'Ÿ'}, {0xA0, 0x00A0}, {0xE9, u'é'}, {0xFF, u'ÿ'}, {0x00, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Cp1252ToChar(c.code), c.ch) << int(c.code);
  std::set<char16_t> seen;  // no two codes stand for one character
  for (int code = 0; code < 256; ++code)
    EXPECT_TRUE(seen.insert(Cp1252ToChar(static_cast<std::uint8_t>(code))).second) << code;
}

TEST(CodecTest, DisplayShowsLoneEscapesAsBytesAndKeepsPairsWhole) {
  const char16_t high = 0xD83D;
  struct Case {
    Text text, shown;
  } cases[] = {
      {u"\U0001F4C1 Projects", u"\U0001F4C1 Projects"},  // low half U+DCC1
      {u"\U0001F4A9\xDCA9", u"\U0001F4A9\u00a9"},        // a pair, then a lone escape of the same value
      {Text{0xDCA9, high}, Text{u'\u00a9', high}},          // the wrong way round: no pair
      {Text{high, high, 0xDCA9}, Text{high, high, 0xDCA9}},  // a lone high half, then a pair
  };
  for (const Case& c : cases) EXPECT_EQ(DisplayText(c.text), c.shown) << ToUtf8ForDisplay(c.text);
}

TEST(CodecTest, NativePathsRoundTripAndRefuseWhatNoNameCanHold) {
  const std::string names[] = {"/tmp/a b.txt", "/tmp/caf\xe9.txt", "/tmp/\xff\xfe", "/tmp/\xe2\x82\xac"};
  for (const std::string& n : names) EXPECT_EQ(ToNativePath(FromNativePath(n)), n);
  EXPECT_THROW(ToNativePath(Text(u"a") + char16_t(0xD800)), RuntimeError);
  EXPECT_THROW(ToNativePath(Text(u"a\0b", 3)), RuntimeError);
}

}  // namespace
}  // namespace velmora
