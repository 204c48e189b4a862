// The title readers on any file. Input: one byte choosing the maximum length
// (255 asks for -1, which must give nothing), one byte choosing how far the
// rest is grown by repetition (0 keeps it as it is; otherwise to that many
// KiB, past the readers' 10 KiB head and 32,767-character line limits), then
// the file's bytes. Every title fits the length asked, holds no character a
// name cannot hold, no line break and no half character, and is trimmed; on
// a file small enough for no limit to apply, each title is also the one the
// plain rule gives.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fileio/paths.h"
#include "fuzz_support.h"
#include "platform/codec/codec.h"
#include "platform/text/text.h"
#include "platform/text/unicode.h"
#include "transform/title.h"

namespace velmora {
namespace {

// Small enough that no head, counter or line limit of the readers applies.
constexpr std::size_t kPlainRuleBytes = 8192;

// The file's lines as a text file on POSIX has them: a UTF-8 byte order mark
// dropped, then lines ending at CR LF, CR or LF, a last line without an end
// included.
std::vector<std::string_view> Lines(std::string_view file) {
  if (file.substr(0, 3) == "\xEF\xBB\xBF") file.remove_prefix(3);
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < file.size()) {
    std::size_t end = file.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = file.size();
    lines.push_back(file.substr(start, end - start));
    start = end + (file.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

Text Without(TextView s, TextView set) {
  Text out;
  for (char16_t c : s)
    if (set.find(c) == TextView::npos) out.push_back(c);
  return out;
}

Text CutAndTrim(TextView s, int maxLength) {
  std::size_t n = std::min<std::size_t>(s.size(), static_cast<std::size_t>(maxLength));
  // A pair the cut would split is left out whole.
  if (n > 0 && n < s.size() && IsHighSurrogate(s[n - 1]) && IsLowSurrogate(s[n])) --n;
  return Trim(s.substr(0, n));
}

Text PlainTextTitle(std::string_view file, int maxLength) {
  if (maxLength < 0) return Text();
  for (std::string_view line : Lines(file)) {
    const Text clean = Trim(Without(DecodeTextForDisplay(line), kRefusedNameChars));
    if (!clean.empty()) return CutAndTrim(clean, maxLength);
  }
  return Text();
}

Text PlainHtmlTitle(std::string_view file, int maxLength) {
  if (maxLength < 0) return Text();
  Text page;
  for (std::string_view line : Lines(file)) page += DecodeTextForDisplay(line);
  const Text lower = LCase(page);
  const std::size_t open = lower.find(u"<title>");
  const std::size_t close = lower.find(u"</title>");
  if (open == Text::npos || close == Text::npos || close < open + 7) return Text();
  const Text title = page.substr(open + 7, close - open - 7);
  return CutAndTrim(Trim(Without(title, Text(kRefusedNameChars) + u"\r\n")), maxLength);
}

void CheckTitle(const Text& title, int maxLength) {
  if (maxLength < 0) FUZZ_CHECK(title.empty());
  FUZZ_CHECK(title.size() <= static_cast<std::size_t>(std::max(maxLength, 0)));
  FUZZ_CHECK(title.find_first_of(kRefusedNameChars) == Text::npos);
  FUZZ_CHECK(title.find_first_of(u"\r\n") == Text::npos);
  FUZZ_CHECK(Trim(title) == title);
  // File text decodes to whole characters, shown bytes included, and no cut
  // may leave half of one.
  for (std::size_t i = 0; i < title.size(); ++i) {
    if (PairAt(title, i)) {
      ++i;
    } else {
      FUZZ_CHECK(!IsSurrogate(title[i]));
    }
  }
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  static fuzz::ScratchFile scratch;
  if (size < 2) return -1;  // not worth keeping in the corpus
  const int maxLength = data[0] == 0xFF ? -1 : data[0];
  const std::string_view body = fuzz::Bytes(data + 2, size - 2);
  const std::string file = data[1] == 0 ? std::string(body) : fuzz::Grown(body, data[1] * std::size_t{1024});
  const Text& path = scratch.Write(file);

  const Text html = GetHtmlTitle(path, maxLength);
  const Text text = GetTextTitle(path, maxLength);
  CheckTitle(html, maxLength);
  CheckTitle(text, maxLength);
  if (file.size() <= kPlainRuleBytes) {
    FUZZ_CHECK(html == PlainHtmlTitle(file, maxLength));
    FUZZ_CHECK(text == PlainTextTitle(file, maxLength));
  }
  return 0;
}
