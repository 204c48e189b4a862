// Text operations of the runtime: 16-bit character strings, positions from 1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

/// UTF-16 code units; lengths and positions count code units.
using Text = std::u16string;
using TextView = std::u16string_view;

/// Removes U+0020 at both ends and nothing else (tabs and other blanks stay).
Text Trim(TextView s);

/// Replaces every non-overlapping match scanning from the start; inserted text
/// is never scanned again. An empty `find` returns `s` unchanged.
Text ReplaceAll(TextView s, TextView find, TextView replacement);

/// Splits at every occurrence of `separator` (exact match); n separators give
/// n + 1 pieces, empty ones included. An empty text gives an empty list.
std::vector<Text> Split(TextView s, TextView separator);

/// One-to-one case mapping: the result always has the length of the input.
/// Code points whose mapping would change the length stay as they are.
Text LCase(TextView s);
Text UCase(TextView s);
char16_t UCaseChar(char16_t c);

/// The first `n` characters (all when `n` exceeds the length; n >= 0).
Text Left(TextView s, std::size_t n);
/// The last `n` characters.
Text Right(TextView s, std::size_t n);
/// From position `start` (from 1) to the end; empty when `start` is past it.
Text Mid(TextView s, std::size_t start);
/// At most `length` characters from position `start` (from 1).
Text Mid(TextView s, std::size_t start, std::size_t length);

/// Position (from 1) of the first `find` at or after `start` (from 1); 0 when
/// absent. An empty `find` is found at `start` when start <= len + 1.
std::size_t InStr(std::size_t start, TextView s, TextView find);
std::size_t InStr(TextView s, TextView find);
/// Position (from 1) of the last `find` that starts at or before `start`
/// (from 1; 0 means the end of `s`); 0 when absent.
std::size_t InStrRev(TextView s, TextView find, std::size_t start = 0);

/// Decimal digits of `n`, with a leading "-" for negatives and no other sign.
Text Str(long long n);

/// For diagnostics (test output, logs): UTF-8 of `s`, lone surrogates as U+FFFD.
std::string ToUtf8ForDisplay(TextView s);

}  // namespace velmora
