// The pure name functions behind the case, spacing, filtering, unescaping and
// CamelCase commands of the rename window. Each maps one text to a new text,
// never fails and touches nothing else.
#pragma once

#include "platform/text/text.h"

namespace velmora {

/// Lower case with a capital at the start and after each of NUL, tab, LF, VT,
/// FF, CR and space; no other character starts a word. Length is unchanged.
Text ProperCase(TextView s);

/// The first character (a surrogate pair counts as one) upper case, all others
/// lower case; empty stays empty. Length is unchanged.
Text SentenceCase(TextView s);

/// Spaces (U+0020) trimmed at both ends and every inner run shortened to one.
Text CompactSpaces(TextView s);

/// After trimming, every character of the single-byte code page other than
/// 0-9, A-Z, a-z and space becomes a space and runs of spaces shrink to one;
/// characters outside the code page stay. Not trimmed afterwards.
Text RemoveNonAlphanumeric(TextView s);

/// Decodes "%hh" escapes (first digit 2-F, either letter case) byte by byte
/// through the single-byte code page. The codes found in the input are applied
/// in order of occurrence, each as a replace-all on the text left so far, so
/// an escape that a "%25" produces is decoded only by a later equal code.
Text UnescapePercent(TextView s);

/// A space before every ASCII capital, then spaces compacted and trimmed.
Text SplitCamelCase(TextView s);

/// The commands that are one replace-all: every space removed, "-" to "_"
/// and "_" to "-".
Text RemoveSpaces(TextView s);
Text DashToUnderscore(TextView s);
Text UnderscoreToDash(TextView s);

/// "Remove non alphanumeric" as the window applies it: RemoveNonAlphanumeric,
/// then trimmed, so no space is left where a symbol ended the name.
Text RemoveNonAlphanumericTrimmed(TextView s);

}  // namespace velmora
