// The fast name functions against a literal, step-by-step rendering of their
// rules (replace-all loops over the code page, the code list, the capitals),
// on seeded random and adversarial inputs.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/codec/codec.h"
#include "platform/text/text.h"
#include "transform/name_functions.h"

namespace velmora {
namespace {

// ---------------------------------------------------------------- the rules, literally

Text CollapseDoubleSpaces(Text t) {
  while (InStr(t, u"  ") > 0) t = ReplaceAll(t, u"  ", u" ");
  return t;
}

Text SlowCompactSpaces(TextView s) { return Trim(CollapseDoubleSpaces(Trim(s))); }

Text SlowRemoveNonAlphanumeric(TextView s) {
  const Text allowed = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz ";
  Text t = Trim(s);
  for (int code = 0; code <= 255; ++code) {
    char16_t c = AnsiChr(static_cast<std::uint8_t>(code));
    if (allowed.find(c) == Text::npos) t = ReplaceAll(t, Text(1, c), u" ");
  }
  return CollapseDoubleSpaces(t);
}

int HexValue(char16_t c) {
  return c <= u'9' ? c - u'0' : c <= u'F' ? c - u'A' + 10 : c - u'a' + 10;
}

Text SlowUnescapePercent(TextView s) {
  if (s.empty()) return Text();
  if (InStr(s, u"%") == 0) return Text(s);
  const TextView first = u"23456789ABCDEFabcdef";
  const TextView second = u"0123456789ABCDEFabcdef";
  Text codes;
  for (std::size_t pos = InStr(s, u"%"); pos > 0; pos = InStr(pos + 1, s, u"%")) {
    Text two = Mid(s, pos + 1, 2);
    if (two.size() == 2 && first.find(two[0]) != TextView::npos &&
        second.find(two[1]) != TextView::npos)
      codes += two + u"\r\n";
  }
  Text t(s);
  std::vector<Text> pieces = Split(codes, u"\r\n");
  for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
    const Text& code = pieces[i];
    int value = HexValue(code[0]) * 16 + HexValue(code[1]);
    t = ReplaceAll(t, u"%" + code, Text(1, AnsiChr(static_cast<std::uint8_t>(value))));
  }
  return t;
}

Text SlowSplitCamelCase(TextView s) {
  Text t = Trim(s);
  for (char16_t c = u'A'; c <= u'Z'; ++c) t = ReplaceAll(t, Text(1, c), Text(u" ") + c);
  return Trim(SlowCompactSpaces(t));
}

// ---------------------------------------------------------------- inputs

class InputMaker {
 public:
  explicit InputMaker(std::uint32_t seed) : rng_(seed) {}

  // A text of `length` pieces drawn from `alphabet` (pieces may be longer
  // than one character, so that escapes and nested escapes form often).
  Text From(const std::vector<Text>& alphabet, std::size_t length) {
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    Text t;
    for (std::size_t i = 0; i < length; ++i) t += alphabet[pick(rng_)];
    return t;
  }

  std::size_t Length() {
    std::uniform_int_distribution<int> bucket(0, 9);
    std::uniform_int_distribution<std::size_t> small(0, 24), large(25, 400);
    return bucket(rng_) < 8 ? small(rng_) : large(rng_);
  }

 private:
  std::mt19937 rng_;
};

std::vector<Text> CodePageAlphabet() {
  std::vector<Text> a;
  for (int code = 0; code <= 255; ++code) a.push_back(Text(1, AnsiChr(static_cast<std::uint8_t>(code))));
  for (Text extra : {u"\u0416", u"\u03A9", u"\u65E5", u"\U0001F600", u"\xD800", u"\xDC00", u"\u0100", u"  "})
    a.push_back(extra);
  return a;
}

const std::vector<Text> kPercentAlphabet = {
    u"%", u"%", u"%", u"2", u"2", u"5", u"5", u"4", u"1", u"0", u"A", u"a", u"F", u"f",
    u"e", u"E", u"G", u"3", u"9", u" ", u"%25", u"%41", u"%2", u"\xD800", Text(1, u'\0')};
const std::vector<Text> kSpaceAlphabet = {
    u" ", u" ", u" ", u"  ", u"A", u"Z", u"M", u"a", u"z", u"-", u"_", u"\u00C9",
    u"\t", u"\u00A0", u"1", u"\xDC00", u"\U00010400", Text(1, u'\0')};

struct Subject {
  const char* name;
  Text (*fast)(TextView);
  Text (*slow)(TextView);
};

const Subject kSubjects[] = {
    {"CompactSpaces", CompactSpaces, SlowCompactSpaces},
    {"RemoveNonAlphanumeric", RemoveNonAlphanumeric, SlowRemoveNonAlphanumeric},
    {"UnescapePercent", UnescapePercent, SlowUnescapePercent},
    {"SplitCamelCase", SplitCamelCase, SlowSplitCamelCase},
};

void ExpectSame(const Subject& subject, const Text& input) {
  Text fast = subject.fast(input);
  Text slow = subject.slow(input);
  ASSERT_EQ(fast, slow) << subject.name << " on: " << ToUtf8ForDisplay(input)
                        << "\n  fast: " << ToUtf8ForDisplay(fast)
                        << "\n  slow: " << ToUtf8ForDisplay(slow);
}

TEST(NameFunctionsReference, RandomInputs) {
  InputMaker maker(20240611);
  const std::vector<Text> codePage = CodePageAlphabet();
  std::vector<Text> mixed = kPercentAlphabet;
  mixed.insert(mixed.end(), kSpaceAlphabet.begin(), kSpaceAlphabet.end());
  mixed.insert(mixed.end(), codePage.begin(), codePage.begin() + 64);
  for (const Subject& subject : kSubjects) {
    for (int i = 0; i < 1000; ++i) {
      ExpectSame(subject, maker.From(kPercentAlphabet, maker.Length()));
      ExpectSame(subject, maker.From(kSpaceAlphabet, maker.Length()));
      ExpectSame(subject, maker.From(codePage, maker.Length()));
      ExpectSame(subject, maker.From(mixed, maker.Length()));
    }
  }
}

TEST(NameFunctionsReference, AdversarialInputs) {
  std::vector<Text> inputs;
  Text cycle;  // every escape the pattern admits, in both letter cases
  for (int i = 0; i < 2000; ++i) {
    const TextView digits = u"0123456789ABCDEFabcdef";
    cycle += u"%";
    cycle += digits[2 + i % 20];
    cycle += digits[(i / 20) % 22];
  }
  inputs.push_back(cycle);

  Text nested = u"%";  // each later "%25" decodes one more level
  for (int i = 0; i < 300; ++i) nested += u"25";
  nested += u"41";
  for (int i = 0; i < 300; ++i) nested += u"%25%";
  inputs.push_back(nested + u"%41");

  Text chain;  // decoded digits completing escapes with the "%" before them
  for (int i = 0; i < 200; ++i) chain += u"%%34%%3441%44%25%2541";
  inputs.push_back(chain);

  Text allCodes;
  for (int code = 0; code <= 255; ++code) allCodes += AnsiChr(static_cast<std::uint8_t>(code));
  Text manyCodes;
  while (manyCodes.size() < 32767) manyCodes += allCodes;
  inputs.push_back(manyCodes.substr(0, 32767));

  Text spaces;
  for (int run = 1; spaces.size() < 32000; ++run) spaces += Text(run, u' ') + u"x";
  inputs.push_back(spaces);
  inputs.push_back(Text(32767, u' '));
  inputs.push_back(Text(32767, u'Q'));

  for (const Subject& subject : kSubjects)
    for (const Text& input : inputs) ExpectSame(subject, input);
}

}  // namespace
}  // namespace velmora
