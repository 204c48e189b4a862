// File text on Windows: the ANSI code page, here Windows-1252 (an English
// locale under Wine, the usual one on western systems).
#include "platform/codec/codec.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace velmora {
namespace {

TEST(CodecWinTest, FileTextIsInTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
  struct Case {
    std::string bytes;
    Text text;
  } cases[] = {
      {"caf\xe9", u"caf\u00e9"},
      {"caf\xc3\xa9", u"caf\u00c3\u00a9"},  // UTF-8 is two characters here
      {"\x80\x81\x9f", u"\u20ac\u0081\u0178"},
      {std::string("a\0b", 3), Text(u"a\0b", 3)},
      {"", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(DecodeText(c.bytes), c.text);
    EXPECT_EQ(DecodeTextForDisplay(c.bytes), c.text);
    EXPECT_EQ(EncodeText(c.text), c.bytes);
  }
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(EncodeText(DecodeText(all)), all);
  // What the code page cannot hold becomes "?", never a failure.
  EXPECT_EQ(EncodeText(u"\u0416\U0001F600"), "???");
}

TEST(CodecWinTest, CodesStandForTheCharactersOfTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(AnsiChr(static_cast<std::uint8_t>(code)), Cp1252ToChar(static_cast<std::uint8_t>(code)))
        << code;
  }
}

}  // namespace
}  // namespace velmora
