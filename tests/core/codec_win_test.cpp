// File text on Windows: the ANSI code page, here Windows-1252 (an English
// locale under Wine, the usual one on western systems); UTF-8 in the build of
// these tests that carries the programs' manifest.
#include "platform/codec/codec.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace velmora {
namespace {

UINT SystemCodePage() {
  DWORD codePage = 0;
  GetLocaleInfoW(GetSystemDefaultLCID(), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                  reinterpret_cast<LPWSTR>(&codePage), sizeof(codePage) / sizeof(wchar_t));
  return codePage;
}

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

TEST(CodecWinTest, FileTextIsUtf8UnderTheProgramsManifest) {
  if (GetACP() != CP_UTF8) GTEST_SKIP() << "the process's code page is " << GetACP() << ", not UTF-8";
  if (SystemCodePage() != 1252) GTEST_SKIP() << "the system's code page is " << SystemCodePage();
  struct Case {
    std::string bytes;
    Text text;
    bool written;  // EncodeText gives the bytes back
  } cases[] = {
      {"caf\xc3\xa9", u"caf\u00e9", true},
      {"\xf0\x9f\x8e\x89 \xe6\x97\xa5\xe6\x9c\xac", u"\U0001F389 \u65e5\u672c", true},
      // A byte of an older file, or a sequence cut short: its character in
      // the system's code page.
      {"caf\xe9", u"caf\u00e9", false},
      {"\x80\xf0\x9f\x8e", u"\u20ac\u00f0\u0178\u017d", false},
      {std::string("a\0b", 3), Text(u"a\0b", 3), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(DecodeText(c.bytes), c.text);
    EXPECT_EQ(DecodeTextForDisplay(c.bytes), c.text);
    if (c.written) {
      EXPECT_EQ(EncodeText(c.text), c.bytes);
    }
  }
  // Nothing becomes "?": a log line names the file exactly.
  EXPECT_EQ(EncodeText(u"\u0416\U0001F600"), "\xd0\x96\xf0\x9f\x98\x80");
}

TEST(CodecWinTest, CodesStandForTheCharactersOfTheAnsiCodePage) {
  if (SystemCodePage() != 1252) GTEST_SKIP() << "the system's code page is " << SystemCodePage() << ", not 1252";
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(AnsiChr(static_cast<std::uint8_t>(code)), Cp1252ToChar(static_cast<std::uint8_t>(code)))
        << code;
  }
}

}  // namespace
}  // namespace velmora
