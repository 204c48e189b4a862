// The undo log read back, on any log and any pair of names. Input: the log's
// bytes as they are, or, when the first byte is 0xF0 or more, the rest
// repeated to a few bytes either side of one or two of the reader's 64 KiB
// steps. The lines read newest first are exactly the pieces between line
// ends, every reading of a line writes that line again, and every line
// written reads back as what was written.
// Run with -max_len and -timeout: reading a log must stay linear in its
// length, and a blow-up shows as a timeout.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "fileio/undo.h"
#include "fileio/undo_log.h"
#include "fuzz_support.h"
#include "platform/codec/codec.h"
#include "platform/text/text.h"

namespace velmora {
namespace {

bool HoldsBreak(TextView s) { return s.find_first_of(u"\r\n") != TextView::npos; }

std::size_t CountOf(TextView s, TextView part) {
  std::size_t n = 0;
  for (std::size_t at = s.find(part); at != TextView::npos; at = s.find(part, at + 1)) ++n;
  return n;
}

bool HasReading(const std::vector<UndoRecord>& readings, const UndoRecord& r) {
  return std::find(readings.begin(), readings.end(), r) != readings.end();
}

std::size_t ChosenSize(std::uint8_t shape) {
  const std::size_t around = (shape & 1) != 0 ? 128 * 1024 : 64 * 1024;
  return around - 4 + ((shape >> 1) & 7);
}

// The lines of the log, oldest first, as the reader gives them newest first.
std::vector<Text> ReadLines(const Text& path) {
  UndoLogLines reader(path);
  std::vector<Text> lines;
  Text line;
  while (reader.Previous(line)) lines.push_back(line);
  std::reverse(lines.begin(), lines.end());
  return lines;
}

// They are the pieces between line ends, each end being CR LF, CR or LF;
// what follows the last end is no line.
void CheckLines(std::string_view log, const std::vector<Text>& lines) {
  const Text text = DecodeText(log);
  std::size_t at = 0;
  for (const Text& line : lines) {
    FUZZ_CHECK(!HoldsBreak(line));
    FUZZ_CHECK(TextView(text).substr(at, line.size()) == line);
    at += line.size();
    FUZZ_CHECK(at < text.size() && (text[at] == u'\r' || text[at] == u'\n'));
    at += text.compare(at, 2, u"\r\n") == 0 ? 2 : 1;
  }
  FUZZ_CHECK(!HoldsBreak(TextView(text).substr(std::min(at, text.size()))));
}

void CheckLine(TextView line) {
  const std::vector<UndoRecord> readings = ParseUndoLine(line);
  const bool escaped = line.substr(0, 8) == u"RenEsc \"";
  if (escaped) FUZZ_CHECK(readings.size() <= 1);
  // A plain line reads once per gap between quotes at most.
  if (!escaped) FUZZ_CHECK(readings.size() <= CountOf(line, u"\" \""));
  for (const UndoRecord& r : readings) {
    FUZZ_CHECK(!r.target.empty() && !r.oldName.empty());
    FUZZ_CHECK(r.oldName.size() <= kLongestFileName && r.target.size() <= kLongestPath);
    const Text rebuilt = UndoLine(r.target, r.oldName);
    FUZZ_CHECK(!HoldsBreak(rebuilt));
    // Escaping is only for names with a line break, so only then does an
    // escaped line come back as itself; otherwise it comes back plain.
    if (!escaped || HoldsBreak(r.target) || HoldsBreak(r.oldName)) {
      FUZZ_CHECK(rebuilt == line);
    } else {
      FUZZ_CHECK(rebuilt.substr(0, 5) == u"Ren \"");
    }
    FUZZ_CHECK(HasReading(ParseUndoLine(rebuilt), r));
  }
}

// Whether a file could have these names: the reader takes no other reading.
bool CouldBeAFile(const Text& target, const Text& oldName) {
  const std::size_t cut = target.find_last_of(u"/\\");
  const std::size_t name = cut == Text::npos ? target.size() : target.size() - cut - 1;
  return oldName.size() <= kLongestFileName && target.size() <= kLongestPath && name <= kLongestFileName;
}

void CheckWritten(fuzz::ScratchFile& scratch, const Text& target, const Text& oldName) {
  if (target.empty() || oldName.empty()) return;  // never written: a rename has both
  const Text line = UndoLine(target, oldName);
  FUZZ_CHECK(!HoldsBreak(line));
  const std::vector<UndoRecord> readings = ParseUndoLine(line);
  if (!CouldBeAFile(target, oldName)) return;
  FUZZ_CHECK(HasReading(readings, UndoRecord{target, oldName}));
  // Escaped names cannot be misread.
  if (HoldsBreak(target) || HoldsBreak(oldName)) FUZZ_CHECK(readings.size() == 1);
  // Written to the log and read back, it is one whole line: names as the
  // file system gives them (decoded bytes) come back exactly.
  const std::vector<Text> back = ReadLines(scratch.Write(EncodeText(line) + "\r\n"));
  FUZZ_CHECK(back.size() == 1 && back[0] == DecodeText(EncodeText(line)));
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  static fuzz::ScratchFile scratch;
  const std::string_view input = fuzz::Bytes(data, size);
  const std::string log = size > 0 && data[0] >= 0xF0 ? fuzz::Grown(input.substr(1), ChosenSize(data[0]))
                                                      : std::string(input);

  // As a log.
  const Text& path = scratch.Write(log);
  const std::vector<Text> lines = ReadLines(path);
  CheckLines(log, lines);
  std::size_t renames = 0;
  std::unordered_map<Text, bool> checked;  // a grown log repeats its lines: whether each reads
  for (const Text& line : lines) {
    auto [known, fresh] = checked.try_emplace(line, false);
    if (fresh) {
      CheckLine(line);
      known->second = !ParseUndoLine(line).empty();
    }
    if (known->second) ++renames;
  }
  UndoLogLines again(path);
  FUZZ_CHECK(CountUndoEntries(again) == renames);
  // The torn piece after the last line end, as a line of its own.
  const std::size_t lastEnd = log.find_last_of("\r\n");
  CheckLine(DecodeText(std::string_view(log).substr(lastEnd == std::string::npos ? 0 : lastEnd + 1)));

  // As the two names of a rename: cut at the first NUL or in the middle,
  // whichever comes first.
  const Text text = fuzz::TextFromInput(input);
  const std::size_t cut = std::min(text.find(u'\0'), text.size() / 2);
  const std::size_t rest = cut < text.size() && text[cut] == u'\0' ? cut + 1 : cut;
  CheckWritten(scratch, text.substr(0, cut), text.substr(rest));
  return 0;
}
