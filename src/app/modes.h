// Product constants and the application title.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace velmora {

/// Sets ProductName, VersionText, TitleColor and the application title
/// ("Velmora 1.0"). Idempotent.
void InitModes();

/// "Velmora", once InitModes has run.
const Text& ProductName();
/// "1.0", once InitModes has run.
const Text& VersionText();
/// "16744448": a colour as a decimal number in the platform's 0x00BBGGRR layout.
const Text& TitleColor();

/// A colour text as the platform reads it: numeric parse, rounded to a 32-bit
/// integer; 0 when the text holds no number.
std::int32_t ColorFromText(const Text& text);

/// Whether the argument text asks for a minimised start: exactly "-st",
/// compared before any quote is removed.
bool StartsMinimised(const Text& commandLine);

}  // namespace velmora
