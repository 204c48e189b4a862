// The codec on any bytes and any UTF-16: file contents and native names come
// back byte for byte, the decoder takes exactly the sequences that the
// strict step accepts, and that step accepts exactly well-formed UTF-8 (by
// an oracle written from the encoding's definition, not from the decoder).
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/text/text.h"
#include "platform/text/unicode.h"

namespace velmora {
namespace {

// The shortest UTF-8 of a scalar value, from its definition.
std::string Utf8Of(char32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

// The length of the well-formed sequence `bytes` starts with, or 0: the one
// prefix of 1 to 4 bytes that is the shortest UTF-8 of a scalar value.
std::size_t WellFormedLength(std::string_view bytes) {
  for (std::size_t n = 1; n <= 4 && n <= bytes.size(); ++n) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    char32_t cp = n == 1 ? lead : lead & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i) cp = (cp << 6) | (static_cast<unsigned char>(bytes[i]) & 0x3F);
    if (cp > 0x10FFFF || IsSurrogate(cp)) continue;
    if (Utf8Of(cp) == bytes.substr(0, n)) return n;
  }
  return 0;
}

// Shown to a person, each kept byte is its Windows-1252 character and all
// else stays: only a lone unit stands for a byte, and a pair's low half may
// have the same value.
void CheckShown(TextView text, TextView shown) {
  FUZZ_CHECK(shown.size() == text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (PairAt(text, i)) {
      FUZZ_CHECK(shown[i] == text[i] && shown[i + 1] == text[i + 1]);
      ++i;
    } else if (const auto byte = EscapedByte(text[i])) {
      FUZZ_CHECK(shown[i] == Cp1252ToChar(*byte) && !IsSurrogate(shown[i]));
    } else {
      FUZZ_CHECK(shown[i] == text[i]);
    }
  }
}

void CheckBytes(std::string_view bytes) {
  const Text text = DecodeText(bytes);
  FUZZ_CHECK(text.size() <= bytes.size());
  FUZZ_CHECK(EncodeText(text) == bytes);

  // The decoder, step by step.
  Text expected;
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0xFFFFFFFF;
    const std::size_t n = DecodeUtf8Sequence(bytes.substr(i), cp);
    FUZZ_CHECK(n == WellFormedLength(bytes.substr(i)));
    if (n == 0) {
      FUZZ_CHECK(static_cast<unsigned char>(bytes[i]) >= 0x80);
      expected.push_back(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[i])));
      ++i;
      continue;
    }
    FUZZ_CHECK(Utf8Of(cp) == bytes.substr(i, n));
    if (NeedsPair(cp)) {
      const SurrogatePair pair = SplitPair(cp);
      expected.push_back(pair.high);
      expected.push_back(pair.low);
    } else {
      expected.push_back(static_cast<char16_t>(cp));
    }
    i += n;
  }
  FUZZ_CHECK(text == expected);

  const Text shown = DecodeTextForDisplay(bytes);
  FUZZ_CHECK(shown == DisplayText(text));
  CheckShown(text, shown);

  // Native names: the same lossless codec, and no name holds a NUL.
  const Text name = FromNativePath(bytes);
  FUZZ_CHECK(name == text);
  if (bytes.find('\0') == std::string_view::npos) {
    FUZZ_CHECK(ToNativePath(name) == bytes);
  } else {
    bool refused = false;
    try {
      ToNativePath(name);
    } catch (const RuntimeError& e) {
      refused = e.Number() == err::kBadFileNameOrNumber;
    }
    FUZZ_CHECK(refused);
  }
}

// Any UTF-16, as text from the window or a title may be.
void CheckUnits(TextView units) {
  bool loneOther = false;  // a lone surrogate that stands for no byte
  bool kept = false;       // a character that stands for a byte
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (PairAt(units, i)) {
      ++i;
    } else if (EscapedByte(units[i])) {
      kept = true;
    } else if (IsSurrogate(units[i])) {
      loneOther = true;
    }
  }
  CheckShown(units, DisplayText(units));
  const std::string bytes = EncodeText(units);
  if (!loneOther && !kept) FUZZ_CHECK(DecodeText(bytes) == units);
  bool refused = false;
  std::string native;
  try {
    native = ToNativePath(units);
  } catch (const RuntimeError& e) {
    FUZZ_CHECK(e.Number() == err::kBadFileNameOrNumber);
    refused = true;
  }
  FUZZ_CHECK(refused == (loneOther || units.find(u'\0') != TextView::npos));
  if (!refused) FUZZ_CHECK(native == bytes);
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  const std::string_view bytes = fuzz::Bytes(data, size);
  CheckBytes(bytes);
  Text units;
  for (std::size_t i = 0; i + 1 < size; i += 2) units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  CheckUnits(units);
  return 0;
}
