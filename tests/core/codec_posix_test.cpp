// File text on POSIX: UTF-8, with every other byte kept as an escape.
#include "platform/codec/codec.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(CodecTest, TextDecodingIsLosslessAndShowsAsWindows1252) {
  struct Case {
    std::string bytes;
    Text decoded;
    Text shown;
  } cases[] = {
      {"caf\xc3\xa9", u"café", u"café"},
      {"caf\xe9", u"caf\xDCE9", u"café"},              // Latin-1 byte, not UTF-8
      {"\x80\x81", u"\xDC80\xDC81", u"€\u0081"},
      {"\xc3", u"\xDCC3", u"Ã"},                       // truncated sequence
      {"\xe0\x80\x80", u"\xDCE0\xDC80\xDC80", u"à€€"},  // overlong form refused
      {"\xed\xa0\x80", u"\xDCED\xDCA0\xDC80", u"í\u00A0€"},  // encoded surrogate refused
      {"\xf0\x9f\x98\x80", u"\U0001F600", u"\U0001F600"},
      // Pairs whose low half lies in U+DC80..U+DCFF, where escaped bytes lie:
      // the character stays whole, only a lone unit is a byte.
      {"\xf0\x9f\x93\x84 notes", u"\U0001F4C4 notes", u"\U0001F4C4 notes"},  // low U+DCC4
      {"\xf0\xa0\x82\x89", u"\U00020089", u"\U00020089"},                    // low U+DC89
      {"\xf0\x9f\x93\x84\xe9", u"\U0001F4C4\xDCE9", u"\U0001F4C4\u00e9"},
      {"\xe9\xf0\x9f\x93\x84", u"\xDCE9\U0001F4C4", u"\u00e9\U0001F4C4"},
      {"\xf0\x9f\x93", u"\xDCF0\xDC9F\xDC93", u"\u00f0\u0178\u201C"},  // cut pair: three bytes
      {std::string("a\0b", 3), Text(u"a\0b", 3), Text(u"a\0b", 3)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeText(c.bytes), c.decoded);
    EXPECT_EQ(DecodeTextForDisplay(c.bytes), c.shown);
    EXPECT_EQ(EncodeText(DecodeText(c.bytes)), c.bytes);
  }
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(EncodeText(DecodeText(all)), all);
  // Contents never fail: a stray surrogate becomes U+FFFD.
  EXPECT_EQ(EncodeText(Text(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

}  // namespace
}  // namespace velmora
