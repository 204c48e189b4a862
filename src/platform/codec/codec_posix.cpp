// POSIX: the system encoding is UTF-8; there is no ANSI code page, so codes
// 0..255 stand for Windows-1252 characters.
#include "platform/codec/codec.h"

namespace velmora {

char16_t AnsiChr(std::uint8_t code) { return Cp1252ToChar(code); }

Text DecodeText(std::string_view bytes) { return detail::DecodeUtf8Lossless(bytes); }

std::string EncodeText(TextView text) { return detail::EncodeUtf8Lossless(text, false); }

bool FileTextIsUtf8() { return true; }

bool LoneLineFeedEndsLine() { return true; }

}  // namespace velmora
