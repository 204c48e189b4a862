// The name commands on any text: lengths that hold by construction, the
// idempotence each rule really has, and the decoding against its literal
// replace-all rendering on short texts.
#include <bitset>
#include <cstdint>

#include "fuzz_support.h"
#include "platform/codec/codec.h"
#include "platform/text/text.h"
#include "transform/name_functions.h"

namespace velmora {
namespace {

bool HasDoubleSpace(TextView s) { return fuzz::Contains(s, u"  "); }
bool SpaceAtAnEnd(TextView s) { return !s.empty() && (s.front() == u' ' || s.back() == u' '); }

Text WithoutSpaces(TextView s) {
  Text out;
  for (char16_t c : s)
    if (c != u' ') out.push_back(c);
  return out;
}

// The characters of the single-byte code page, built here from AnsiChr on
// its own rather than taken from the code under test.
const std::bitset<65536>& CodePage() {
  static const std::bitset<65536> set = [] {
    std::bitset<65536> s;
    for (int code = 0; code <= 255; ++code) s.set(AnsiChr(static_cast<std::uint8_t>(code)));
    return s;
  }();
  return set;
}

bool IsAlnumOrSpace(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
         c == u' ';
}

Text OutsideCodePage(TextView s) {
  Text out;
  for (char16_t c : s)
    if (!CodePage().test(c)) out.push_back(c);
  return out;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// The decoding rule word for word: every escape of the input, in order, as a
// replace-all on what is left. Quadratic, so only for short texts.
Text LiteralUnescape(TextView s) {
  Text t(s);
  for (std::size_t i = 0; i + 2 < s.size(); ++i) {
    if (s[i] != u'%') continue;
    const int hi = HexDigit(s[i + 1]);
    const int lo = HexDigit(s[i + 2]);
    if (hi < 2 || lo < 0) continue;
    t = ReplaceAll(t, s.substr(i, 3), Text(1, AnsiChr(static_cast<std::uint8_t>(hi * 16 + lo))));
  }
  return t;
}

void CheckCase(TextView s) {
  FUZZ_CHECK(UCase(s).size() == s.size());
  FUZZ_CHECK(LCase(s).size() == s.size());
  FUZZ_CHECK(ProperCase(s).size() == s.size());
  const Text sentence = SentenceCase(s);
  FUZZ_CHECK(sentence.size() == s.size());
  // Only the first character is raised; the rest is lowered as a whole.
  if (s.size() > 2) FUZZ_CHECK(TextView(sentence).substr(2) == LCase(s).substr(2));
  // Lowering is settled after one pass on the lowered text's ASCII.
  const Text lower = LCase(s);
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] >= u'A' && s[i] <= u'Z') FUZZ_CHECK(lower[i] == s[i] + (u'a' - u'A'));
    if (s[i] < 0x80 && !(s[i] >= u'A' && s[i] <= u'Z')) FUZZ_CHECK(lower[i] == s[i]);
  }
}

void CheckTrim(TextView s) {
  const Text t = Trim(s);
  FUZZ_CHECK(t.size() <= s.size());
  FUZZ_CHECK(!SpaceAtAnEnd(t));
  FUZZ_CHECK(Trim(t) == t);
  // Only spaces went, and only at the ends.
  const std::size_t lead = s.find_first_not_of(u' ');
  if (lead == TextView::npos) {
    FUZZ_CHECK(t.empty());
  } else {
    FUZZ_CHECK(s.substr(lead, t.size()) == t);
    FUZZ_CHECK(s.find_first_not_of(u' ', lead + t.size()) == TextView::npos);
  }
}

void CheckCompactSpaces(TextView s) {
  const Text c = CompactSpaces(s);
  FUZZ_CHECK(c.size() <= Trim(s).size());
  FUZZ_CHECK(!HasDoubleSpace(c) && !SpaceAtAnEnd(c));
  FUZZ_CHECK(CompactSpaces(c) == c);
  FUZZ_CHECK(WithoutSpaces(c) == WithoutSpaces(s));
}

void CheckRemoveNonAlphanumeric(TextView s) {
  const Text r = RemoveNonAlphanumeric(s);
  FUZZ_CHECK(r.size() <= Trim(s).size());
  FUZZ_CHECK(!HasDoubleSpace(r));
  for (char16_t c : r) FUZZ_CHECK(IsAlnumOrSpace(c) || !CodePage().test(c));
  // Characters outside the code page stay, in order.
  FUZZ_CHECK(OutsideCodePage(r) == OutsideCodePage(s));
  // Not trimmed afterwards, so a second pass differs only by that trim.
  FUZZ_CHECK(RemoveNonAlphanumeric(r) == Trim(r));
}

void CheckUnescapePercent(TextView s) {
  const Text e = UnescapePercent(s);
  // Each decoded escape turns three characters into one.
  FUZZ_CHECK(e.size() <= s.size());
  FUZZ_CHECK((s.size() - e.size()) % 2 == 0);
  if (!fuzz::Contains(s, u"%")) FUZZ_CHECK(e == s);
  if (s.size() <= 1024) FUZZ_CHECK(e == LiteralUnescape(s));
}

void CheckSplitCamelCase(TextView s) {
  const Text p = SplitCamelCase(s);
  FUZZ_CHECK(p.size() <= 2 * s.size());
  FUZZ_CHECK(!HasDoubleSpace(p) && !SpaceAtAnEnd(p));
  FUZZ_CHECK(SplitCamelCase(p) == p);
  FUZZ_CHECK(WithoutSpaces(p) == WithoutSpaces(s));
  for (std::size_t i = 1; i < p.size(); ++i)
    if (p[i] >= u'A' && p[i] <= u'Z') FUZZ_CHECK(p[i - 1] == u' ');
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  const Text s = fuzz::TextFromInput(fuzz::Bytes(data, size));
  CheckCase(s);
  CheckTrim(s);
  CheckCompactSpaces(s);
  CheckRemoveNonAlphanumeric(s);
  CheckUnescapePercent(s);
  CheckSplitCamelCase(s);
  return 0;
}
