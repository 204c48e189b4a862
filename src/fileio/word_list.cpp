#include "fileio/word_list.h"

#include <string>
#include <string_view>

#include "platform/codec.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace velmora {

namespace {

std::string ReadHead(const Text& path) {
  InputFile file(path);
  // One byte more than the limit tells whether the file goes on.
  return ReadBytes(file.Number(), kWordListBytes + 1);
}

/// Where the line starting at `at` ends, and the length of its line end.
std::size_t LineEnd(std::string_view bytes, std::size_t at, bool anyBreak, std::size_t& breakLength) {
  for (std::size_t i = at; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      breakLength = 2;
      return i;
    }
    if (anyBreak && (bytes[i] == '\r' || bytes[i] == '\n')) {
      breakLength = 1;
      return i;
    }
  }
  breakLength = 0;
  return bytes.size();
}

}  // namespace

std::vector<Text> ReadWordList(const Text& path) {
  const bool anyBreak = LoneLineFeedEndsLine();
  std::string bytes = TrapErrors([&] { return ReadHead(path); }, std::string());
  if (bytes.size() > kWordListBytes) {
    // The last line goes on past the limit: half a name is no name.
    const std::size_t cut = anyBreak ? bytes.find_last_of("\r\n", kWordListBytes - 1)
                                     : bytes.rfind("\r\n", kWordListBytes - 2);
    bytes.resize(cut == std::string::npos ? 0 : cut + (anyBreak ? 1 : 2));
  }
  std::string_view rest(bytes);
  if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);

  std::vector<Text> names;
  std::size_t at = 0;
  while (at < rest.size() && names.size() < kWordListEntries) {
    std::size_t breakLength = 0;
    const std::size_t end = LineEnd(rest, at, anyBreak, breakLength);
    Text line = TrapErrors([&] { return DecodeText(rest.substr(at, end - at)); }, Text());
    if (!Trim(line).empty()) names.push_back(std::move(line));
    at = end + breakLength;
  }
  return names;
}

}  // namespace velmora
