// Case mapping through ICU: simple (one code point to one) mappings only.
// ASCII is mapped here, as ICU would map it, without reading ICU's case
// tables: most paths are ASCII, and the undo log's path is lowercased at
// every start.
#include <unicode/uchar.h>

namespace velmora {

char32_t PlatformLower(char32_t c) {
  if (c < 0x80) return c >= U'A' && c <= U'Z' ? c + 0x20 : c;
  return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
}
char32_t PlatformUpper(char32_t c) {
  if (c < 0x80) return c >= U'a' && c <= U'z' ? c - 0x20 : c;
  return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
}

}  // namespace velmora
