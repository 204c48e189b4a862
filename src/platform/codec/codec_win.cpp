// Windows: the programs declare UTF-8 as their ANSI code page (the manifest),
// so file text is UTF-8 as on POSIX and Undo.log can name any file. Codes
// 0..255 keep standing for the characters of the system's own code page,
// where it is single-byte, otherwise for Windows-1252; a byte of an older
// file that is not UTF-8 is read as that character. A Windows that ignores
// the declaration (before 10 1903) has file text in its ANSI code page.
#include <windows.h>

#include "platform/codec/codec.h"

namespace velmora {

namespace {

bool IsSingleByte(UINT codePage) {
  CPINFO info{};
  return GetCPInfo(codePage, &info) && info.MaxCharSize == 1;
}

/// The ANSI code page of the system's locale: GetACP() before the manifest
/// made it UTF-8 for this process.
UINT SystemCodePage() {
  DWORD codePage = 0;
  if (GetLocaleInfoW(GetSystemDefaultLCID(), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                      reinterpret_cast<LPWSTR>(&codePage), sizeof(codePage) / sizeof(wchar_t)) == 0) {
    return GetACP();
  }
  return codePage;
}

/// The single-byte code page behind codes 0..255, or 0 for Windows-1252.
UINT CodesPage() {
  static const UINT page = [] {
    const UINT system = SystemCodePage();
    return IsSingleByte(system) ? system : 0;
  }();
  return page;
}

}  // namespace

bool FileTextIsUtf8() {
  static const bool utf8 = GetACP() == CP_UTF8;
  return utf8;
}

char16_t AnsiChr(std::uint8_t code) {
  const UINT page = CodesPage();
  if (code < 0x80 || page == 0) return Cp1252ToChar(code);
  char in = static_cast<char>(code);
  wchar_t out = 0;
  if (MultiByteToWideChar(page, 0, &in, 1, &out, 1) != 1) return Cp1252ToChar(code);
  return static_cast<char16_t>(out);
}

bool LoneLineFeedEndsLine() { return false; }

Text DecodeText(std::string_view bytes) {
  if (bytes.empty()) return Text();
  if (FileTextIsUtf8()) {
    // Windows names are UTF-16: a byte can stand for no name, only for the
    // character an older file meant by it.
    Text text = detail::DecodeUtf8Lossless(bytes);
    detail::ShowEscapedBytes(text);
    return text;
  }
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  Text out(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

std::string EncodeText(TextView text) {
  if (text.empty()) return std::string();
  if (FileTextIsUtf8()) return detail::EncodeUtf8Lossless(text, false);
  const wchar_t* w = reinterpret_cast<const wchar_t*>(text.data());
  int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace velmora
