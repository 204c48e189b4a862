// Code pages: the single-byte code page behind "the character of code n", the
// text codec of files, and the lossless codec of native file names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text/text.h"

namespace velmora {

/// The character of `code` (0..255) in Windows-1252. The five codes that
/// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the
/// C1 control of the same number, as Windows itself maps them.
char16_t Cp1252ToChar(std::uint8_t code);

/// The character that a code from 0 to 255 stands for in the system's
/// single-byte code page: the system's ANSI code page where it is
/// single-byte, otherwise (and on POSIX) Windows-1252. On Windows that is the
/// code page of the system's locale, whatever the process declares as its own.
char16_t AnsiChr(std::uint8_t code);

/// Decodes file contents as text. POSIX: UTF-8; each byte that is not part of
/// valid UTF-8 becomes the lone surrogate U+DC80 + byte, so that writing the
/// text back with EncodeText restores the bytes. Windows, where the programs
/// declare UTF-8 as their code page: UTF-8, each byte outside it the AnsiChr
/// of the system's code page (what older files were written in); on a
/// Windows without that declaration: the ANSI code page.
Text DecodeText(std::string_view bytes);
/// Encodes text for a file: the inverse of DecodeText (UTF-8 where the
/// process's code page is). Lone surrogates other than U+DC80..U+DCFF are
/// written as U+FFFD.
std::string EncodeText(TextView text);

/// Text for showing to a person: each escaped byte (a lone U+DC80 + byte)
/// becomes the AnsiChr of that byte (on POSIX its Windows-1252 character).
/// Everything else stays, surrogate pairs whole whatever their low half.
Text DisplayText(TextView text);
/// DecodeText followed by DisplayText: file bytes as a person reads them.
Text DecodeTextForDisplay(std::string_view bytes);

/// Strict UTF-8 decoding step: the number of bytes of the valid UTF-8 sequence
/// starting at `bytes[0]` and its code point, or 0 when it is not valid.
std::size_t DecodeUtf8Sequence(std::string_view bytes, char32_t& codePoint);

/// Whether file text is UTF-8: on POSIX always, on Windows where the process
/// runs with UTF-8 as its code page (the programs' manifest asks for it).
bool FileTextIsUtf8();

/// Whether a lone LF ends a line of a text file read for words or a title:
/// yes on POSIX, where editors end lines so; on Windows only CR and CR LF do.
bool LoneLineFeedEndsLine();

/// Native path encoding. POSIX: lossless UTF-8 as in DecodeText. Throws
/// RuntimeError 52 (bad file name) for lone surrogates outside U+DC80..U+DCFF
/// and for embedded NUL characters, which no file name can hold.
std::string ToNativePath(TextView path);
/// Native path decoding: lossless, never fails.
Text FromNativePath(std::string_view native);

/// The byte that the lossless codec keeps as `c` (U+DC80 + byte), if it is one.
/// REQUIRES: `c` is no half of a pair (see PairAt): a pair's low half may
/// have the same value.
std::optional<std::uint8_t> EscapedByte(char16_t c);

/// Appends the UTF-8 of one code point; lone surrogates U+DC80..U+DCFF become
/// the byte they stand for.
void AppendUtf8(std::string& out, char32_t codePoint);

namespace detail {
/// UTF-8 where each byte outside a valid sequence stands as U+DC80 + byte.
Text DecodeUtf8Lossless(std::string_view bytes);
/// The inverse; `strict` makes a lone surrogate without a byte error 52
/// (names), otherwise it is written as U+FFFD (contents).
std::string EncodeUtf8Lossless(TextView text, bool strict);
/// Each escaped byte of `text` becomes its AnsiChr (see DisplayText).
void ShowEscapedBytes(Text& text);
/// Bytes of the UTF-8 character at the start of `bytes` (1 for a byte that
/// starts none, which counts as one character) and, in `units`, the UTF-16
/// units it counts as.
std::size_t Utf8CharacterBytes(std::string_view bytes, std::size_t& units);
}  // namespace detail

}  // namespace velmora
