#include "fileio/word_list.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/files/files.h"

namespace velmora {

namespace {

// Most lists are far smaller than the limit, and a long one fills its
// entries long before it: read in steps, not the whole limit at once.
constexpr std::size_t kStep = 64 * 1024;

/// Where the line starting at `at` ends (bytes.size() when it does not end
/// there), and the length of its line end.
std::size_t LineEnd(std::string_view bytes, std::size_t at, bool anyBreak, std::size_t& breakLength) {
  std::size_t end = at;
  if (anyBreak) {
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
  } else {
    end = std::min(bytes.find("\r\n", at), bytes.size());
  }
  breakLength = end == bytes.size() ? 0 : bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1;
  return end;
}

void Collect(const Text& path, std::vector<Text>& names) {
  const bool anyBreak = LoneLineFeedEndsLine();
  InputFile file(path);
  std::string bytes;    // read so far, from the start of the first line not yet taken
  std::size_t read = 0;  // bytes of the file read
  bool first = true;
  for (;;) {
    // One byte past the limit tells whether the file goes on.
    const std::size_t want = std::min(kStep, kWordListBytes + 1 - read);
    const std::string more = want > 0 ? ReadBytes(file.Number(), want) : std::string();
    read += more.size();
    bytes += more;
    const bool pastLimit = read > kWordListBytes;
    const bool atEnd = more.size() < want || pastLimit;
    if (pastLimit) bytes.pop_back();  // that byte is beyond the limit
    if (first && bytes.size() >= 3) {
      if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
      first = false;
    }
    std::size_t at = 0;
    while (names.size() < kWordListEntries) {
      std::size_t breakLength = 0;
      const std::size_t end = LineEnd(bytes, at, anyBreak, breakLength);
      // A CR at the end of what is read may be the first half of CR LF.
      const bool known = breakLength == 2 || (breakLength == 1 && (end + 1 < bytes.size() || atEnd));
      // The last line counts only when the file ends inside the limit: half a
      // name is no name.
      if (!known && !(end == bytes.size() && atEnd && !pastLimit && at < end)) break;
      const std::string_view line = std::string_view(bytes).substr(at, end - at);
      if (line.find_first_not_of(' ') != std::string_view::npos) {
        names.push_back(TrapErrors([&] { return DecodeTextForDisplay(line); }, Text()));
      }
      at = end + breakLength;
      if (at >= bytes.size()) break;
    }
    bytes.erase(0, at);
    if (atEnd || names.size() >= kWordListEntries) return;
  }
}

}  // namespace

std::vector<Text> ReadWordList(const Text& path) {
  std::vector<Text> names;
  // A list that cannot be read (or fails part-way) keeps what it gave.
  IgnoreErrors([&] { Collect(path, names); });
  return names;
}

}  // namespace velmora
