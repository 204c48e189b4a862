// Product constants and the application title.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/text/text.h"
#include "ui/app_facts.h"
#include "ui/file_chooser.h"

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

/// Whether the command-line text names no file: it is empty, or only the
/// "-st" switch.
bool AsksForFile(const Text& commandLine);

/// The text the window loads as if it were the command line: `commandLine`
/// itself when it names a file, otherwise the path the person chooses; nothing
/// when they cancel.
std::optional<Text> TextToLoad(const Text& commandLine, FileChooser& chooser);

/// The window's facts: the loaded text (`chosenPath`: a path from the file
/// chooser) and the program's folder, with the product's name, banner colour
/// and InitModes. Call after InitModes.
AppFacts WindowFacts(const Text& textToLoad, const Text& programFolder, bool chosenPath = false);

}  // namespace velmora
