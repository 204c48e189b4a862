#include "transform/name_functions.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace velmora {
namespace {

struct Case {
  Text in, out;
};

void ExpectAll(Text (*f)(TextView), const std::vector<Case>& cases) {
  for (const Case& c : cases)
    EXPECT_EQ(f(c.in), c.out) << "input: " << ToUtf8ForDisplay(c.in)
                              << "\n  got: " << ToUtf8ForDisplay(f(c.in));
}

TEST(ProperCase, CapitalsOnlyAfterTheSevenSeparators) {
  ExpectAll(ProperCase, {
      {u"hELLO wORLD", u"Hello World"},
      {u"mary-jane o'neil 2nd_place", u"Mary-jane O'neil 2nd_place"},
      {u"(hello) world", u"(hello) World"},
      {u"my_file.name take2", u"My_file.name Take2"},
      {u"MY FILE-NAME", u"My File-name"},
      {u"a\tb\nc\vd\fe\rf", u"A\tB\nC\vD\fE\rF"},
      {u"a\0b"s, u"A\0B"s},
      {u"a\u00A0b\u2003c", u"A\u00A0b\u2003c"},  // other blanks join words
      {u"\u00E9LAN \u00C9COLE", u"\u00C9lan \u00C9cole"},
      {u"\U00010428\U00010400 \U00010400", u"\U00010400\U00010428 \U00010400"},
      {u"  ", u"  "},
      {u"", u""},
  });
}

TEST(SentenceCase, OnlyTheVeryFirstCharacterIsRaised) {
  ExpectAll(SentenceCase, {
      {u"hELLO wORLD", u"Hello world"},
      {u" hello World", u" hello world"},
      {u"2nd Chapter", u"2nd chapter"},
      {u"x", u"X"},
      {u"MY FILE-NAME", u"My file-name"},
      {u"end. START", u"End. start"},
      {u"\u0130STANBUL", u"\u0130stanbul"},  // raised as it stands, not lowered first
      {u"\U00010428\U00010400", u"\U00010400\U00010428"},
      {u"\xDC00" u"ABC", u"\xDC00" u"abc"},
      {u"", u""},
  });
}

TEST(CompactSpaces, TrimsAndShortensRunsOfSpacesOnly) {
  ExpectAll(CompactSpaces, {
      {u"  my   file  name ", u"my file name"},
      {u"   ", u""},
      {u"a  b   c", u"a b c"},
      {u"\ta\t\tb\t", u"\ta\t\tb\t"},
      {u"a \u00A0 b", u"a \u00A0 b"},
      {u"a\0 \0  b"s, u"a\0 \0 b"s},
      {u"", u""},
  });
}

TEST(RemoveNonAlphanumeric, CodePageCharactersBecomeSpaces) {
  ExpectAll(RemoveNonAlphanumeric, {
      {u"my--file!!", u"my file "},  // not trimmed again
      {u"Caf\u00E9 Noir", u"Caf Noir"},
      {u"report (final) rev2.1", u"report final rev2 1"},
      {u"my__file..name", u"my file name"},
      {u"!!!", u" "},
      {u"  a_b  c ", u"a b c"},
      {u"a\u20ACb", u"a b"},
      {u"\u201Cquoted\u201D \u2013 dash", u" quoted dash"},
      {u"a\u00A0b\u00FFc", u"a b c"},
      {u"\u0081x\u009D", u" x "},   // undefined codes of the code page
      {u"a\0b\x7F"s, u"a b "},
      {u"\u041F\u0440\u0438\u0432\u0435\u0442_\u043C\u0438\u0440",
       u"\u041F\u0440\u0438\u0432\u0435\u0442 \u043C\u0438\u0440"},
      {u"\u03A9\u03BC\u03AD\u03B3\u03B1 \u65E5\u672C \U0001F600\u0100", u"\u03A9\u03BC\u03AD\u03B3\u03B1 \u65E5\u672C \U0001F600\u0100"},
      {u"a\xD800-\xDC00", u"a\xD800 \xDC00"},
      {u"", u""},
  });
}

TEST(NameFunctions, TheOneReplaceCommandsAndTheTrimmedFilter) {
  ExpectAll(RemoveSpaces, {{u" a  b\tc ", u"ab\tc"}, {u"\u00A0", u"\u00A0"}});
  ExpectAll(DashToUnderscore, {{u"a-b--c_", u"a_b__c_"}, {u"\u2013", u"\u2013"}});
  ExpectAll(UnderscoreToDash, {{u"_a_b-", u"-a-b-"}});
  // The symbol that ended the name leaves no space behind.
  ExpectAll(RemoveNonAlphanumericTrimmed, {{u"my--file!!", u"my file"}, {u"!!!", u""}, {u"  (a) ", u"a"}});
}

TEST(UnescapePercent, CodesApplyInOrderOfOccurrence) {
  ExpectAll(UnescapePercent, {
      {u"a%20b%2", u"a b%2"},
      {u"My%20File%2520Name", u"My File%20Name"},
      {u"%2541%41", u"AA"},
      {u"%41%2541", u"A%41"},
      {u"%252541", u"%2541"},           // one code: the made escape is not rescanned
      {u"%252541%25", u"%41%"},          // a second "25" decodes the made escape
      {u"%2525%41%41", u"%25AA"},
      {u"%%3441%44", u"D1D"},            // a decoded digit completes an escape
      {u"%4%31%41", u"AA"},
      {u"%e9t%e9", u"\u00E9t\u00E9"},
      {u"%C3%A9t%C3%A9", u"\u00C3\u00A9t\u00C3\u00A9"},
      {u"a%2fb%2Fc", u"a/b/c"},
      {u"%%41", u"%A"},
      {u"%20my%20file%20", u" my file "},
      {u"%7e%7E", u"~~"},
      {u"%80%81%A0%ff", u"\u20AC\u0081\u00A0\u00FF"},
      {u"100%", u"100%"},
      {u"%4G", u"%4G"},
      {u"%0D%0Aabc%1F", u"%0D%0Aabc%1F"},
      {u"%", u"%"},
      {u"%4", u"%4"},
      {u"%41\0%42"s, u"A\0B"s},
      {u"\xD800%41\xDC00", u"\xD800" u"A\xDC00"},
      {u"", u""},
  });
}

TEST(SplitCamelCase, SpaceBeforeEveryAsciiCapital) {
  const std::vector<Case> cases = {
      {u"MyFileName", u"My File Name"},
      {u"HTMLPage", u"H T M L Page"},
      {u"iPhoneXR", u"i Phone X R"},
      {u"Photo2024IMG", u"Photo2024 I M G"},
      {u"My  File", u"My File"},
      {u"my_FileName", u"my_ File Name"},
      {u"MyFile.PDF", u"My File. P D F"},
      {u"my file", u"my file"},
      {u"caf\u00E9\u00C9toile", u"caf\u00E9\u00C9toile"},
      {u"   ", u""},
      {u"  A  ", u"A"},
      {u"a\tB", u"a\t B"},
      {u"", u""},
  };
  ExpectAll(SplitCamelCase, cases);
  for (const Case& c : cases) EXPECT_EQ(SplitCamelCase(c.out), c.out);
}

TEST(NameFunctions, CaseCommandsNeverChangeTheLength) {
  // Characters whose full case mapping has another length, pairs and lone halves.
  const Text tricky = u"\u00DF\u0149\uFB01\u0130\u0390\u01C5 \U00010428\xD800 \xDC00\u1E9E\u0587a";
  for (auto f : {ProperCase, SentenceCase}) {
    EXPECT_EQ(f(tricky).size(), tricky.size());
    EXPECT_EQ(f(u" \xDBFF").size(), 2u);
  }
}

TEST(NameFunctions, LongestTextBoxContents) {
  const std::size_t n = 32767;
  const Text capitals(n, u'A');
  Text lowered(n, u'a');
  lowered[0] = u'A';
  EXPECT_EQ(ProperCase(capitals), lowered);
  EXPECT_EQ(SentenceCase(capitals), lowered);
  Text split = SplitCamelCase(capitals);
  ASSERT_EQ(split.size(), 2 * n - 1);
  EXPECT_EQ(split.substr(0, 5), u"A A A");

  EXPECT_EQ(CompactSpaces(Text(n, u' ')), u"");
  EXPECT_EQ(RemoveNonAlphanumeric(Text(n, u'!')), u" ");
  EXPECT_EQ(SplitCamelCase(Text(n, u' ')), u"");

  Text escapes;
  while (escapes.size() + 3 <= n) escapes += u"%41";
  EXPECT_EQ(UnescapePercent(escapes), Text(n / 3, u'A'));

  // Each "%25" in the tail decodes one more level of the head.
  Text nested = u"%";
  for (int i = 0; i < 5000; ++i) nested += u"25";
  nested += u"41";
  for (int i = 0; i < 5000; ++i) nested += u"%25";
  nested += u"%41";
  Text decoded(5002, u'%');
  decoded.front() = decoded.back() = u'A';
  EXPECT_EQ(UnescapePercent(nested), decoded);
}

}  // namespace
}  // namespace velmora
