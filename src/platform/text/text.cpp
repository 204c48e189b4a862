#include "platform/text/text.h"

#include "platform/codec/codec.h"
#include "platform/text/unicode.h"

namespace velmora {

Text Trim(TextView s) {
  std::size_t b = 0, e = s.size();
  while (b < e && s[b] == u' ') ++b;
  while (e > b && s[e - 1] == u' ') --e;
  return Text(s.substr(b, e - b));
}

Text ReplaceAll(TextView s, TextView find, TextView replacement) {
  if (find.empty()) return Text(s);
  Text out;
  out.reserve(s.size());
  std::size_t pos = 0;
  for (;;) {
    std::size_t hit = s.find(find, pos);
    if (hit == TextView::npos) break;
    out.append(s.substr(pos, hit - pos));
    out.append(replacement);
    pos = hit + find.size();
  }
  out.append(s.substr(pos));
  return out;
}

std::vector<Text> Split(TextView s, TextView separator) {
  std::vector<Text> pieces;
  if (s.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(s);
    return pieces;
  }
  std::size_t pos = 0;
  for (;;) {
    std::size_t hit = s.find(separator, pos);
    if (hit == TextView::npos) break;
    pieces.emplace_back(s.substr(pos, hit - pos));
    pos = hit + separator.size();
  }
  pieces.emplace_back(s.substr(pos));
  return pieces;
}

namespace {

// Maps code point by code point and keeps a mapping only when it has the same
// number of code units, so the length never changes.
template <class Map>
Text MapCase(TextView s, Map map) {
  Text out(s);
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (PairAt(out, i)) {
      const char32_t m = map(CombinePair(out[i], out[i + 1]));
      if (NeedsPair(m)) {
        const SurrogatePair pair = SplitPair(m);
        out[i] = pair.high;
        out[i + 1] = pair.low;
      }
      ++i;
    } else if (!IsSurrogate(out[i])) {
      const char32_t m = map(out[i]);
      if (IsSingleUnit(m)) out[i] = char16_t(m);
    }
  }
  return out;
}

}  // namespace

char32_t PlatformLower(char32_t c);  // text_posix.cpp / text_win.cpp
char32_t PlatformUpper(char32_t c);

Text LCase(TextView s) { return MapCase(s, PlatformLower); }
Text UCase(TextView s) { return MapCase(s, PlatformUpper); }

char16_t UCaseChar(char16_t c) {
  if (IsSurrogate(c)) return c;
  const char32_t m = PlatformUpper(c);
  return IsSingleUnit(m) ? char16_t(m) : c;
}

Text Left(TextView s, std::size_t n) { return Text(s.substr(0, n)); }

Text Right(TextView s, std::size_t n) {
  if (n >= s.size()) return Text(s);
  return Text(s.substr(s.size() - n));
}

Text Mid(TextView s, std::size_t start) {
  if (start == 0 || start > s.size()) return Text();
  return Text(s.substr(start - 1));
}

Text Mid(TextView s, std::size_t start, std::size_t length) {
  if (start == 0 || start > s.size()) return Text();
  return Text(s.substr(start - 1, length));
}

std::size_t InStr(std::size_t start, TextView s, TextView find) {
  if (start == 0) start = 1;
  if (start > s.size() + 1) return 0;
  std::size_t hit = s.find(find, start - 1);
  return hit == TextView::npos ? 0 : hit + 1;
}

std::size_t InStr(TextView s, TextView find) { return InStr(1, s, find); }

std::size_t InStrRev(TextView s, TextView find, std::size_t start) {
  if (start == 0 || start > s.size()) start = s.size();
  if (find.size() > start) return 0;
  std::size_t hit = s.rfind(find, start - find.size());
  return hit == TextView::npos ? 0 : hit + 1;
}

Text Str(long long n) {
  bool negative = n < 0;
  unsigned long long u = negative ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  Text digits;
  do {
    digits.insert(digits.begin(), char16_t(u'0' + u % 10));
    u /= 10;
  } while (u != 0);
  if (negative) digits.insert(digits.begin(), u'-');
  return digits;
}

std::string ToUtf8ForDisplay(TextView s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (PairAt(s, i)) {
      AppendUtf8(out, CombinePair(s[i], s[i + 1]));
      ++i;
    } else {
      AppendUtf8(out, IsSurrogate(s[i]) ? char32_t{0xFFFD} : char32_t{s[i]});
    }
  }
  return out;
}

}  // namespace velmora
