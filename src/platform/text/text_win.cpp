// Case mapping through the platform: LCMapStringEx maps one code unit to one
// with LCMAP_LOWERCASE / LCMAP_UPPERCASE (linguistic casing off).
#include <windows.h>

#include "platform/text/unicode.h"

namespace velmora {
namespace {
char32_t MapOne(char32_t c, DWORD flags) {
  wchar_t in[2];
  int n = 1;
  if (NeedsPair(c)) {
    const SurrogatePair pair = SplitPair(c);
    in[0] = static_cast<wchar_t>(pair.high);
    in[1] = static_cast<wchar_t>(pair.low);
    n = 2;
  } else {
    in[0] = static_cast<wchar_t>(c);
  }
  wchar_t out[2] = {0, 0};
  int got = LCMapStringEx(LOCALE_NAME_INVARIANT, flags, in, n, out, 2, nullptr, nullptr, 0);
  if (got != n) return c;
  if (n == 2) return CombinePair(static_cast<char16_t>(out[0]), static_cast<char16_t>(out[1]));
  return out[0];
}
}  // namespace

char32_t PlatformLower(char32_t c) { return MapOne(c, LCMAP_LOWERCASE); }
char32_t PlatformUpper(char32_t c) { return MapOne(c, LCMAP_UPPERCASE); }

}  // namespace velmora
