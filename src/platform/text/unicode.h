// UTF-16 surrogate pairs: the one place that knows their arithmetic. Text
// counts code units, so a character above U+FFFF is two of them, and every
// codec, case mapping and name rule that walks characters goes through here.
#pragma once

#include <cstddef>
#include <string_view>

namespace velmora {

constexpr bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
constexpr bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

/// Whether `cp` is a character that one code unit holds: below U+10000 and
/// not a surrogate.
constexpr bool IsSingleUnit(char32_t cp) { return cp < 0x10000 && !IsSurrogate(cp); }

/// Whether `cp` is written as a surrogate pair: U+10000 to U+10FFFF.
constexpr bool NeedsPair(char32_t cp) { return cp >= 0x10000 && cp <= 0x10FFFF; }

/// Whether a surrogate pair starts at `i`: a high surrogate followed by a low
/// one. A lone surrogate is no pair.
constexpr bool PairAt(std::u16string_view s, std::size_t i) {
  return i + 1 < s.size() && IsHighSurrogate(s[i]) && IsLowSurrogate(s[i + 1]);
}

/// The length of `s` cut to at most `n` code units without splitting a pair:
/// `n`, or `n - 1` when a pair would lose its low half.
constexpr std::size_t CutLength(std::u16string_view s, std::size_t n) {
  if (n >= s.size()) return s.size();
  return n > 0 && PairAt(s, n - 1) ? n - 1 : n;
}

/// The code point of a pair. REQUIRES: IsHighSurrogate(high), IsLowSurrogate(low).
constexpr char32_t CombinePair(char16_t high, char16_t low) {
  return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
}

struct SurrogatePair {
  char16_t high;
  char16_t low;
};

/// The pair that writes `cp`. REQUIRES: NeedsPair(cp).
constexpr SurrogatePair SplitPair(char32_t cp) {
  return {char16_t(0xD800 + ((cp - 0x10000) >> 10)), char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF))};
}

}  // namespace velmora
