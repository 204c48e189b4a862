// Text across the Qt edge.
#pragma once

#include <QString>

#include "platform/text/text.h"

namespace velmora {

/// The characters as they are. Not QString::fromStdU16String: it takes a
/// leading U+FEFF or U+FFFE for a byte-order mark and drops or byte-swaps it.
inline QString QStr(const Text& t) { return QString(reinterpret_cast<const QChar*>(t.data()), qsizetype(t.size())); }

/// The characters of `s`, unpaired surrogates included.
inline Text TextOf(const QString& s) { return s.toStdU16String(); }

}  // namespace velmora
