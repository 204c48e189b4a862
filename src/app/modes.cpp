#include "app/modes.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/application/application.h"

namespace velmora {
namespace {
Text gProductName;
Text gVersionText;
Text gTitleColor;
}  // namespace

void InitModes() {
  gProductName = u"Velmora";
  gVersionText = u"1.0";
  SetAppTitle(gProductName + u" " + gVersionText);
  gTitleColor = u"16744448";
}

const Text& ProductName() { return gProductName; }
const Text& VersionText() { return gVersionText; }
const Text& TitleColor() { return gTitleColor; }

std::int32_t ColorFromText(const Text& text) {
  // Leading spaces, an optional sign, digits with an optional fraction; the
  // rest is ignored, as a numeric parse of a text does.
  std::size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  double value = 0;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') value = value * 10 + (text[i++] - u'0');
  if (i < text.size() && text[i] == u'.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, scale /= 10)
      value += (text[i] - u'0') * scale;
  }
  if (negative) value = -value;
  value = std::nearbyint(value);  // halves to even, as the runtime rounds
  if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
    return 0;
  return static_cast<std::int32_t>(value);
}

bool StartsMinimised(const Text& commandLine) { return commandLine == u"-st"; }

bool AsksForFile(const Text& commandLine) { return commandLine.empty() || StartsMinimised(commandLine); }

std::optional<Text> TextToLoad(const Text& commandLine, FileChooser& chooser) {
  if (!AsksForFile(commandLine)) return commandLine;
  return chooser.ChooseFile();
}

AppFacts WindowFacts(const Text& textToLoad, const Text& programFolder, bool chosenPath) {
  return AppFacts{textToLoad, chosenPath, programFolder, ProductName(), ColorFromText(TitleColor()), &InitModes};
}

}  // namespace velmora
