// Case mapping through the platform: LCMapStringEx maps one code unit to one
// with LCMAP_LOWERCASE / LCMAP_UPPERCASE (linguistic casing off).
#include <windows.h>

namespace velmora {
namespace {
char32_t MapOne(char32_t c, DWORD flags) {
  wchar_t in[2];
  int n = 1;
  if (c >= 0x10000) {
    in[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
    in[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    n = 2;
  } else {
    in[0] = static_cast<wchar_t>(c);
  }
  wchar_t out[2] = {0, 0};
  int got = LCMapStringEx(LOCALE_NAME_INVARIANT, flags, in, n, out, 2, nullptr, nullptr, 0);
  if (got != n) return c;
  if (n == 2) return 0x10000 + ((char32_t(out[0]) - 0xD800) << 10) + (char32_t(out[1]) - 0xDC00);
  return out[0];
}
}  // namespace

char32_t PlatformLower(char32_t c) { return MapOne(c, LCMAP_LOWERCASE); }
char32_t PlatformUpper(char32_t c) { return MapOne(c, LCMAP_UPPERCASE); }

}  // namespace velmora
