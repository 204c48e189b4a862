// The readers hold positions and line lengths in 16-bit counters, so each
// result is fixed by a bounded start of the file: once the text read has
// passed the last position a counter can hold, nothing read later can change
// the answer and reading stops. No whole line is ever held in memory, however
// long it is, and lines that cannot give a title are skipped without decoding.
#include "transform/title.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "fileio/paths.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/files/files.h"
#include "platform/text/unicode.h"

namespace velmora {
namespace {

// The HTML title loses line breaks as well as what a name cannot hold.
const Text& NameCharsAndBreaks() {
  static const Text chars = Text(kRefusedNameChars) + u"\r\n";
  return chars;
}

constexpr TextView kOpenTag = u"<title>";
constexpr TextView kCloseTag = u"</title>";

// The largest value of a 16-bit counter.
constexpr std::size_t kCounterMax = 32767;
// An opening tag past this position leaves no room for the title's end.
constexpr std::size_t kLastOpening = kCounterMax - kOpenTag.size();
constexpr std::size_t kLastClosing = kCounterMax;
// Characters of collected page text that can matter: up to the last character
// of a closing tag at the last position it may start.
constexpr std::size_t kCollectLimit = kLastClosing + kCloseTag.size() - 1;
// The page title is looked for in the lines that start before this byte.
constexpr std::int64_t kHeadBytes = 10240;

constexpr std::size_t kFirstChunk = 16 * 1024;
constexpr std::size_t kLargestChunk = 1024 * 1024;

// Bytes that surely decode to at least `units` correct characters: every
// encoding the system reads uses at most three bytes per code unit, and only
// the last (at most three) bytes of a cut sequence can decode differently.
std::size_t BytesForUnits(std::size_t units) { return 3 * units + 3; }

// Bytes a text line may start with and still give nothing: spaces and the
// characters a file name cannot hold, all plain ASCII and one character each.
constexpr std::array<bool, 256> MakeBlankBytes() {
  std::array<bool, 256> blank{};
  blank[' '] = true;
  for (char16_t c : kRefusedNameChars) blank[static_cast<unsigned char>(c)] = true;
  return blank;
}
constexpr std::array<bool, 256> kBlankBytes = MakeBlankBytes();

// Splits a file's bytes into lines: a line ends at CR or CR LF, and where the
// platform says so (POSIX) at a lone LF; elsewhere a lone LF is an ordinary
// byte. Counts every byte consumed, line ends included. A UTF-8 byte order
// mark at the start is a signature, not text: it is consumed and counted but
// belongs to no line.
class LineReader {
 public:
  explicit LineReader(int fileNumber) : number_(fileNumber) {
    if (Refill() && buffer_.compare(0, 3, "\xEF\xBB\xBF") == 0) Advance(3);
  }

  /// True when no byte is left.
  bool AtEnd() { return pos_ == buffer_.size() && !Refill(); }

  /// Bytes consumed so far.
  std::int64_t Consumed() const { return consumed_; }

  /// Appends the bytes of the next line to `out` until the line ends or `out`
  /// holds `maxBytes`. True when the line and its end were consumed; false when
  /// it was cut at `maxBytes` (the rest stays unread).
  bool ReadLine(std::string& out, std::size_t maxBytes) {
    for (;;) {
      if (pos_ == buffer_.size() && !Refill()) return true;  // the last line needs no end
      if (out.size() >= maxBytes) return false;
      const char* start = buffer_.data() + pos_;
      const std::size_t n = std::min(buffer_.size() - pos_, maxBytes - out.size());
      const char* stop = FindLineEnd(start, n);
      const std::size_t length = stop != nullptr ? static_cast<std::size_t>(stop - start) : n;
      out.append(start, length);
      Advance(length);
      if (stop != nullptr) {
        Advance(1);
        if (*stop == '\r') SkipLfAfterCr();
        return true;
      }
    }
  }

  /// Skips lines made only of `blank` bytes, then the blank start of the next
  /// line. Returns how many bytes of the line where it stopped were skipped;
  /// once that count reaches `limit` it returns at the end of the blank run.
  /// REQUIRES: `blank` is false for NUL, CR and LF.
  std::size_t SkipBlankLines(const std::array<bool, 256>& blank, std::size_t limit) {
    std::size_t count = 0;  // blank bytes of the current line in earlier buffers
    for (;;) {
      if (pos_ == buffer_.size() && !Refill()) return count;
      // std::string keeps a NUL after its last byte, and NUL is not blank: it
      // ends every run without a bounds test in the hot loop.
      const auto* data = reinterpret_cast<const unsigned char*>(buffer_.c_str());
      const std::size_t end = buffer_.size();
      std::size_t i = pos_;
      std::size_t lineStart = pos_;
      bool crAtEnd = false;
      for (;;) {
        while (blank[data[i]]) ++i;
        const std::size_t length = count + (i - lineStart);
        if (length >= limit || (i < end && !EndsLine(data[i]))) {
          Advance(i - pos_);
          return length;
        }
        if (i == end) break;
        count = 0;
        if (data[i++] == '\r') {
          if (i == end) {
            crAtEnd = true;
          } else if (data[i] == '\n') {
            ++i;
          }
        }
        lineStart = i;
      }
      count += end - lineStart;
      Advance(end - pos_);
      if (crAtEnd) SkipLfAfterCr();
    }
  }

 private:
  void Advance(std::size_t n) {
    pos_ += n;
    consumed_ += static_cast<std::int64_t>(n);
  }

  bool EndsLine(unsigned char c) const { return c == '\r' || (c == '\n' && lfEndsLine_); }

  // The first byte of `n` from `start` that ends a line, or null.
  const char* FindLineEnd(const char* start, std::size_t n) const {
    const char* cr = static_cast<const char*>(std::memchr(start, '\r', n));
    if (!lfEndsLine_) return cr;
    const std::size_t upTo = cr != nullptr ? static_cast<std::size_t>(cr - start) : n;
    const char* lf = static_cast<const char*>(std::memchr(start, '\n', upTo));
    return lf != nullptr ? lf : cr;
  }

  // A CR just consumed: a LF right after it belongs to the same line end.
  void SkipLfAfterCr() {
    if (pos_ == buffer_.size() && !Refill()) return;
    if (buffer_[pos_] == '\n') Advance(1);
  }

  // Small reads first, since most titles sit near the start; larger ones when
  // a reader has to walk through the file.
  bool Refill() {
    buffer_ = ReadBytes(number_, chunk_);
    pos_ = 0;
    chunk_ = std::min(chunk_ * 2, kLargestChunk);
    return !buffer_.empty();
  }

  int number_;
  const bool lfEndsLine_ = LoneLineFeedEndsLine();
  std::string buffer_;
  std::size_t pos_ = 0;
  std::size_t chunk_ = kFirstChunk;
  std::int64_t consumed_ = 0;
};

// The page text the title is looked for in: the lines up to one holding a
// closing tag or ending at or after byte kHeadBytes, joined without separator.
// Only its first kCollectLimit characters are read.
Text CollectPageHead(const Text& path) {
  InputFile file(path);
  LineReader reader(file.Number());
  Text collected;
  std::string bytes;
  while (collected.size() < kCollectLimit && !reader.AtEnd()) {
    bytes.clear();
    const bool whole = reader.ReadLine(bytes, BytesForUnits(kCollectLimit - collected.size()));
    const std::size_t lineStart = collected.size();
    collected += DecodeTextForDisplay(bytes);
    if (!whole || collected.size() >= kCollectLimit) break;
    if (InStr(LCase(TextView(collected).substr(lineStart)), kCloseTag) != 0) break;
    if (reader.Consumed() >= kHeadBytes) break;
  }
  if (collected.size() > kCollectLimit) collected.resize(kCollectLimit);
  return collected;
}

// The first usable text line, cleaned; the empty text when none is left.
// Error 6 when a line examined on the way holds kCounterMax characters or more.
Text FirstUsableLine(const Text& path) {
  InputFile file(path);
  LineReader reader(file.Number());
  for (;;) {
    const std::size_t skipped = reader.SkipBlankLines(kBlankBytes, kCounterMax);
    if (skipped >= kCounterMax) Raise(err::kOverflow);
    if (reader.AtEnd()) return Text();
    // The skipped start holds only spaces and removed characters: after the
    // removal it is leading spaces, which the trim drops. It counts for the
    // length all the same.
    std::string bytes;
    const bool whole = reader.ReadLine(bytes, BytesForUnits(kCounterMax - skipped));
    const Text rest = DecodeTextForDisplay(bytes);
    if (!whole || skipped + rest.size() >= kCounterMax) Raise(err::kOverflow);
    Text line = Trim(ReplaceChars(rest, u"", kRefusedNameChars));
    if (!line.empty()) return line;
  }
}

Text CutAndTrim(TextView text, int maxLength) {
  if (maxLength < 0) Raise(err::kInvalidProcedureCall);
  // A pair that the limit would split is left out whole: half a character is
  // no character, and the text stays within the limit.
  return Trim(Left(text, CutLength(text, static_cast<std::size_t>(maxLength))));
}

}  // namespace

Text ReplaceChars(TextView text, TextView replacement, TextView set) {
  if (text.size() >= kCounterMax) Raise(err::kOverflow);
  Text out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (set.find(c) == TextView::npos) {
      out.push_back(c);
    } else if (!(replacement.size() == 1 && !out.empty() && out.back() == replacement[0])) {
      out.append(replacement);
    }
  }
  return out;
}

Text GetHtmlTitle(const Text& path, int maxLength) {
  return TrapErrors(
      [&] {
        if (maxLength < 0) Raise(err::kInvalidProcedureCall);
        const Text collected = CollectPageHead(path);
        const Text lower = LCase(collected);
        const std::size_t opening = InStr(lower, kOpenTag);
        const std::size_t closing = InStr(lower, kCloseTag);
        if (opening == 0 || closing == 0 || closing < opening + kOpenTag.size()) return Text();
        if (opening > kLastOpening || closing > kLastClosing) return Text();
        const std::size_t first = opening + kOpenTag.size();
        const Text title = Mid(collected, first, closing - first);
        return CutAndTrim(Trim(ReplaceChars(title, u"", NameCharsAndBreaks())), maxLength);
      },
      Text());
}

Text GetTextTitle(const Text& path, int maxLength) {
  return TrapErrors(
      [&] {
        if (maxLength < 0) Raise(err::kInvalidProcedureCall);
        return CutAndTrim(FirstUsableLine(path), maxLength);
      },
      Text());
}

}  // namespace velmora
