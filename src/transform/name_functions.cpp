// Every function here runs in time linear in the length of its input: a name
// can be as long as the text box allows, and a command must answer at once
// whatever the person pasted.
#include "transform/name_functions.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/codec/codec.h"
#include "platform/text/unicode.h"

namespace velmora {
namespace {

// Code units of the character starting at `i`: 2 for a surrogate pair, else 1.
std::size_t CharLength(TextView s, std::size_t i) { return PairAt(s, i) ? 2 : 1; }

// Upper-cases the character at `i` of `t` in place; returns its length.
std::size_t RaiseAt(Text& t, std::size_t i) {
  std::size_t n = CharLength(t, i);
  if (n == 1) {
    t[i] = UCaseChar(t[i]);
  } else {
    Text pair = UCase(TextView(t).substr(i, 2));
    t[i] = pair[0];
    t[i + 1] = pair[1];
  }
  return n;
}

bool IsWordSeparator(char16_t c) {
  return c == 0x0000 || (c >= 0x0009 && c <= 0x000D) || c == 0x0020;
}

// Appends `c`, except a space that would follow a space (or, when
// `dropLeading`, start the text): the one-pass form of "while the text holds
// two adjacent spaces, replace them all by one".
void PutCompacting(Text& out, char16_t c, bool dropLeading) {
  if (c == u' ' && (out.empty() ? dropLeading : out.back() == u' ')) return;
  out.push_back(c);
}

bool IsAllowed(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
         c == u' ';
}

// The characters of the single-byte code page that are not allowed. Whether a
// character is replaced depends only on the character, so one look-up per
// character gives the same text as replacing code after code.
const std::bitset<65536>& ForbiddenCodePageChars() {
  static const std::bitset<65536> table = [] {
    std::bitset<65536> t;
    for (int code = 0; code <= 255; ++code) {
      char16_t c = AnsiChr(static_cast<std::uint8_t>(code));
      if (!IsAllowed(c)) t.set(c);
    }
    return t;
  }();
  return table;
}

// ---------------------------------------------------------------- unescaping
//
// The text is a linked list of characters, and each escape code (first and
// second digit, letter case kept) has a bucket holding every node where "%"
// and that code currently stand. Applying a code is then exactly a replace-all
// of "%" + code:
// - occurrences of one code never overlap (a hex digit is never "%"), so
//   replacing them one by one equals replacing them in one scan, provided the
//   bucket is emptied first: escapes that the replacements create belong to
//   the next application of that code, as a replace-all never rescans;
// - a replacement turns the "%" node into the decoded character and unlinks
//   the two digits. No other bucketed escape used those nodes (a digit never
//   starts an escape, and a "%" is never the digit of one), so every other
//   bucket entry stays valid;
// - only windows of three characters that contain the changed node can have
//   become escapes: those starting one or two nodes before it and at it.
// Each replacement costs constant time and removes two characters, so the
// whole decoding is linear, however many codes the list holds.

constexpr int kDigitCount = 22;  // 0-9, A-F, a-f; letter case is significant
constexpr int kCodeCount = kDigitCount * kDigitCount;

// Index of a hex digit among "0123456789ABCDEFabcdef", or -1.
int DigitIndex(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return 10 + (c - u'A');
  if (c >= u'a' && c <= u'f') return 16 + (c - u'a');
  return -1;
}

int DigitValue(int index) { return index < 16 ? index : index - 6; }

// The bucket of "%" + a + b, or -1 when a b is no escape (first digit 0 or 1
// never is: control characters are not decoded).
int CodeOf(char16_t a, char16_t b) {
  int hi = DigitIndex(a);
  int lo = DigitIndex(b);
  if (hi < 2 || lo < 0) return -1;
  return hi * kDigitCount + lo;
}

// The character each escape stands for in the single-byte code page.
const std::array<char16_t, kCodeCount>& DecodedChars() {
  static const std::array<char16_t, kCodeCount> table = [] {
    std::array<char16_t, kCodeCount> t{};
    for (int hi = 2; hi < kDigitCount; ++hi)
      for (int lo = 0; lo < kDigitCount; ++lo)
        t[hi * kDigitCount + lo] =
            AnsiChr(static_cast<std::uint8_t>(DigitValue(hi) * 16 + DigitValue(lo)));
    return t;
  }();
  return table;
}

template <class Index>
Text UnescapeLinked(TextView s) {
  constexpr Index kNone = std::numeric_limits<Index>::max();
  const std::size_t n = s.size();

  std::vector<std::int16_t> order;  // the codes in order of occurrence in the input
  std::vector<Index> starts;        // where each of them stands
  for (std::size_t i = 0; i + 2 < n; ++i) {
    if (s[i] != u'%') continue;
    int code = CodeOf(s[i + 1], s[i + 2]);
    if (code < 0) continue;
    order.push_back(static_cast<std::int16_t>(code));
    starts.push_back(static_cast<Index>(i));
  }
  if (order.empty()) return Text(s);

  const std::array<char16_t, kCodeCount>& decoded = DecodedChars();
  Text chars(s);
  std::vector<Index> next(n), prev(n), bucketNext(n, kNone);
  std::array<Index, kCodeCount> bucket;
  bucket.fill(kNone);
  for (std::size_t i = 0; i < n; ++i) {
    next[i] = i + 1 < n ? static_cast<Index>(i + 1) : kNone;
    prev[i] = i > 0 ? static_cast<Index>(i - 1) : kNone;
  }
  for (std::size_t k = 0; k < order.size(); ++k) {
    bucketNext[starts[k]] = bucket[order[k]];
    bucket[order[k]] = starts[k];
  }

  // Files the window starting at `at` in its bucket when it now reads "%hh".
  auto enlist = [&](Index at) {
    if (at == kNone || chars[at] != u'%') return;
    Index a = next[at];
    if (a == kNone) return;
    Index b = next[a];
    if (b == kNone) return;
    int code = CodeOf(chars[a], chars[b]);
    if (code < 0) return;
    bucketNext[at] = bucket[code];
    bucket[code] = at;
  };

  for (std::int16_t code : order) {
    Index p = bucket[code];
    bucket[code] = kNone;
    while (p != kNone) {
      Index following = bucketNext[p];
      Index digit2 = next[next[p]];
      Index after = next[digit2];
      chars[p] = decoded[code];
      next[p] = after;
      if (after != kNone) prev[after] = p;
      Index before = prev[p];
      if (before != kNone) enlist(prev[before]);
      enlist(before);
      enlist(p);
      p = following;
    }
  }

  Text out;
  out.reserve(n);
  for (Index i = 0; i != kNone; i = next[i]) out.push_back(chars[i]);
  return out;
}

}  // namespace

Text ProperCase(TextView s) {
  Text out = LCase(s);
  bool wordStart = true;
  for (std::size_t i = 0; i < out.size();) {
    std::size_t len = wordStart ? RaiseAt(out, i) : CharLength(out, i);
    wordStart = len == 1 && IsWordSeparator(s[i]);
    i += len;
  }
  return out;
}

Text SentenceCase(TextView s) {
  if (s.empty()) return Text();
  // The first character is raised as it stands, not after lowering it: the
  // two differ for letters such as U+0130.
  std::size_t first = CharLength(s, 0);
  Text out = UCase(s.substr(0, first));
  out += LCase(s.substr(first));
  return out;
}

Text CompactSpaces(TextView s) {
  const Text t = Trim(s);
  Text out;
  out.reserve(t.size());
  for (char16_t c : t) PutCompacting(out, c, true);
  return out;
}

Text RemoveNonAlphanumeric(TextView s) {
  const std::bitset<65536>& forbidden = ForbiddenCodePageChars();
  const Text t = Trim(s);
  Text out;
  out.reserve(t.size());
  for (char16_t c : t) PutCompacting(out, forbidden.test(c) ? u' ' : c, false);
  return out;
}

Text UnescapePercent(TextView s) {
  if (s.find(u'%') == TextView::npos) return Text(s);
  // 32-bit links halve the memory traffic; texts beyond 4 G units take the wide ones.
  if (s.size() < std::numeric_limits<std::uint32_t>::max()) return UnescapeLinked<std::uint32_t>(s);
  return UnescapeLinked<std::size_t>(s);
}

Text SplitCamelCase(TextView s) {
  Text out;
  out.reserve(s.size() * 2);
  for (char16_t c : s) {
    if (c >= u'A' && c <= u'Z') PutCompacting(out, u' ', true);
    PutCompacting(out, c, true);
  }
  if (!out.empty() && out.back() == u' ') out.pop_back();
  return out;
}

Text RemoveSpaces(TextView s) { return ReplaceAll(s, u" ", u""); }
Text DashToUnderscore(TextView s) { return ReplaceAll(s, u"-", u"_"); }
Text UnderscoreToDash(TextView s) { return ReplaceAll(s, u"_", u"-"); }
Text RemoveNonAlphanumericTrimmed(TextView s) { return Trim(RemoveNonAlphanumeric(s)); }

}  // namespace velmora
