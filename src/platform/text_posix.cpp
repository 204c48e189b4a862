// Case mapping through ICU: simple (one code point to one) mappings only.
#include <unicode/uchar.h>

namespace velmora {

char32_t PlatformLower(char32_t c) { return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c))); }
char32_t PlatformUpper(char32_t c) { return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c))); }

}  // namespace velmora
