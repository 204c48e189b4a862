// The word list on any file. Input: one byte choosing the file's size (below
// 0xF0 the rest is the file as it is; from 0xF0 the rest is repeated to a
// few bytes either side of the 64 KiB read step or of the 1 MiB limit), then
// the bytes. No name is blank or only spaces or holds a line end, there are
// never more than the limit allows, and the names are exactly those of the
// plain rule: the file cut at the limit, a byte order mark dropped, lines
// ending at CR LF, CR or LF, the last line kept only when the file ends
// inside the limit.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fileio/word_list.h"
#include "fuzz_support.h"
#include "platform/codec/codec.h"
#include "platform/text/text.h"

namespace velmora {
namespace {

std::vector<Text> PlainWordList(std::string_view file) {
  const bool cut = file.size() > kWordListBytes;
  if (cut) file = file.substr(0, kWordListBytes);
  if (file.substr(0, 3) == "\xEF\xBB\xBF") file.remove_prefix(3);
  std::vector<Text> names;
  std::size_t start = 0;
  while (start < file.size() && names.size() < kWordListEntries) {
    const std::size_t end = file.find_first_of("\r\n", start);
    if (end == std::string_view::npos && cut) break;  // half a name is no name
    const std::string_view line = file.substr(start, std::min(end, file.size()) - start);
    if (line.find_first_not_of(' ') != std::string_view::npos) names.push_back(DecodeTextForDisplay(line));
    if (end == std::string_view::npos) break;
    start = end + (file.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return names;
}

std::size_t ChosenSize(std::uint8_t shape) {
  const std::size_t around = (shape & 1) != 0 ? kWordListBytes : 64 * 1024;
  return around - 4 + ((shape >> 1) & 7);
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  static fuzz::ScratchFile scratch;
  if (size < 1) return -1;
  const std::string_view body = fuzz::Bytes(data + 1, size - 1);
  const std::string file = data[0] < 0xF0 ? std::string(body) : fuzz::Grown(body, ChosenSize(data[0]));

  const std::vector<Text> names = ReadWordList(scratch.Write(file));
  FUZZ_CHECK(names.size() <= kWordListEntries);
  std::size_t units = 0;
  for (const Text& name : names) {
    FUZZ_CHECK(name.find_first_not_of(u' ') != Text::npos);
    FUZZ_CHECK(name.find_first_of(u"\r\n") == Text::npos);
    units += name.size();
  }
  // Decoding never makes more characters than there were bytes.
  FUZZ_CHECK(units <= kWordListBytes);
  FUZZ_CHECK(names == PlainWordList(file));
  return 0;
}
