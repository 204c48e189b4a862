// Windows: file text is in the ANSI code page; codes 0..255 stand for its
// characters where it is single-byte, otherwise for Windows-1252.
#include <windows.h>

#include "platform/codec/codec.h"

namespace velmora {

namespace {
bool AnsiIsSingleByte() {
  CPINFO info{};
  return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
}
}  // namespace

char16_t AnsiChr(std::uint8_t code) {
  if (code < 0x80 || !AnsiIsSingleByte()) return Cp1252ToChar(code);
  char in = static_cast<char>(code);
  wchar_t out = 0;
  if (MultiByteToWideChar(CP_ACP, 0, &in, 1, &out, 1) != 1) return Cp1252ToChar(code);
  return static_cast<char16_t>(out);
}

bool LoneLineFeedEndsLine() { return false; }

Text DecodeText(std::string_view bytes) {
  if (bytes.empty()) return Text();
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  Text out(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

std::string EncodeText(TextView text) {
  if (text.empty()) return std::string();
  const wchar_t* w = reinterpret_cast<const wchar_t*>(text.data());
  int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace velmora
