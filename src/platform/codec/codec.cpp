#include "platform/codec/codec.h"

#include <array>

#include "platform/errors/errors.h"
#include "platform/text/unicode.h"

namespace velmora {
namespace {

// 0x80..0x9F of Windows-1252; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t kEscapeBase = 0xDC00;  // U+DC80 + byte, for bytes 0x80..0xFF

bool IsEscapedByte(char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

}  // namespace

char16_t Cp1252ToChar(std::uint8_t code) {
  if (code >= 0x80 && code <= 0x9F) return kCp1252High[code - 0x80];
  return code;
}

std::size_t DecodeUtf8Sequence(std::string_view bytes, char32_t& codePoint) {
  if (bytes.empty()) return 0;
  auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  unsigned char lead = b(0);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  std::size_t length;
  char32_t cp;
  unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    cp = lead & 0x0F;
    if (lead == 0xE0) lo = 0xA0;  // no overlong forms
    if (lead == 0xED) hi = 0x9F;  // no encoded surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    cp = lead & 0x07;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    unsigned char c = b(i);
    if (i == 1 ? (c < lo || c > hi) : (c < 0x80 || c > 0xBF)) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  codePoint = cp;
  return length;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp <= 0xFFFF && IsEscapedByte(static_cast<char16_t>(cp))) {
    out.push_back(static_cast<char>(cp - kEscapeBase));
  } else if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Lossless UTF-8: the codec of POSIX file names and file contents.
Text detail::DecodeUtf8Lossless(std::string_view bytes) {
  Text out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    // Plain ASCII is most text: whole runs of it need no sequence decoding.
    std::size_t ascii = i;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
    if (ascii > i) {
      const std::size_t at = out.size();
      out.resize(at + (ascii - i));
      for (std::size_t k = 0; i < ascii; ++k, ++i) out[at + k] = static_cast<char16_t>(bytes[i]);
      continue;
    }
    char32_t cp = 0;
    std::size_t n = DecodeUtf8Sequence(bytes.substr(i), cp);
    if (n == 0) {
      out.push_back(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i])));
      ++i;
      continue;
    }
    if (NeedsPair(cp)) {
      const SurrogatePair pair = SplitPair(cp);
      out.push_back(pair.high);
      out.push_back(pair.low);
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += n;
  }
  return out;
}

std::string detail::EncodeUtf8Lossless(TextView text, bool strict) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (PairAt(text, i)) {
      AppendUtf8(out, CombinePair(c, text[i + 1]));
      ++i;
    } else if (IsEscapedByte(c)) {
      AppendUtf8(out, c);
    } else if (IsSurrogate(c)) {
      if (strict) Raise(err::kBadFileNameOrNumber);
      AppendUtf8(out, 0xFFFD);
    } else {
      if (strict && c == 0) Raise(err::kBadFileNameOrNumber);
      AppendUtf8(out, c);
    }
  }
  return out;
}

// The low half of a pair may lie in U+DC80..U+DCFF too: it belongs to its
// character, and only a lone unit stands for a byte.
void detail::ShowEscapedBytes(Text& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (PairAt(text, i)) {
      ++i;
    } else if (IsEscapedByte(text[i])) {
      text[i] = AnsiChr(static_cast<std::uint8_t>(text[i] - kEscapeBase));
    }
  }
}

std::size_t detail::Utf8CharacterBytes(std::string_view bytes, std::size_t& units) {
  char32_t cp = 0;
  const std::size_t n = DecodeUtf8Sequence(bytes, cp);
  if (n == 0) {
    units = 1;
    return 1;
  }
  units = cp > 0xFFFF ? 2 : 1;
  return n;
}

std::optional<std::uint8_t> EscapedByte(char16_t c) {
  if (!IsEscapedByte(c)) return std::nullopt;
  return static_cast<std::uint8_t>(c - kEscapeBase);
}

Text DisplayText(TextView text) {
  Text out(text);
  detail::ShowEscapedBytes(out);
  return out;
}

Text DecodeTextForDisplay(std::string_view bytes) {
  Text out = DecodeText(bytes);
  detail::ShowEscapedBytes(out);
  return out;
}

std::string ToNativePath(TextView path) { return detail::EncodeUtf8Lossless(path, true); }
Text FromNativePath(std::string_view native) { return detail::DecodeUtf8Lossless(native); }

}  // namespace velmora
