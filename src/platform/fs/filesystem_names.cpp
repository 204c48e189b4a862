#include "platform/fs/filesystem_names.h"

#include "platform/errors/errors.h"

namespace velmora::detail {

namespace {

// "U+0009": the character is invisible, so the message names its number.
Text CodeName(char16_t c) {
  constexpr TextView kDigits = u"0123456789ABCDEF";
  Text out = u"U+";
  for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(c >> shift) & 0xF];
  return out;
}

}  // namespace

Text DropTrailingDots(const Text& to, TextView separators) {
  const std::size_t slash = to.find_last_of(separators);
  const std::size_t nameStart = slash == Text::npos ? 0 : slash + 1;
  std::size_t end = to.size();
  while (end > nameStart && to[end - 1] == u'.') --end;
  if (end == nameStart) Raise(err::kBadFileNameOrNumber);
  for (std::size_t i = nameStart; i < end; ++i) {
    if (to[i] < 0x20) {
      Raise(err::kBadFileNameOrNumber,
            u"A file name cannot hold the control character " + CodeName(to[i]) + u": Windows refuses it");
    }
  }
  return to.substr(0, end);
}

}  // namespace velmora::detail
