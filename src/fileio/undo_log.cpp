#include "fileio/undo_log.h"

#include <algorithm>

#include "fileio/paths.h"
#include "fileio/text_file.h"
#include "platform/application/application.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/files/files.h"

namespace velmora {

namespace {

constexpr TextView kPlainVerb = u"Ren \"";
constexpr TextView kEscapedVerb = u"RenEsc \"";
constexpr TextView kBetween = u"\" \"";

bool HoldsLineBreak(TextView s) { return s.find_first_of(u"\r\n") != TextView::npos; }

Text Escaped(TextView s) {
  Text out;
  out.reserve(s.size());
  for (char16_t c : s) {
    switch (c) {
      case u'\\': out += u"\\\\"; break;
      case u'\r': out += u"\\r"; break;
      case u'\n': out += u"\\n"; break;
      case u'"': out += u"\\\""; break;
      default: out += c;
    }
  }
  return out;
}

/// Reads one escaped name from `at` up to its closing quote, which it
/// consumes. False for a torn or malformed name.
bool ReadEscaped(TextView line, std::size_t& at, Text& out) {
  while (at < line.size()) {
    const char16_t c = line[at++];
    if (c == u'"') return true;
    if (c != u'\\') {
      out += c;
      continue;
    }
    if (at == line.size()) return false;
    switch (line[at++]) {
      case u'\\': out += u'\\'; break;
      case u'r': out += u'\r'; break;
      case u'n': out += u'\n'; break;
      case u'"': out += u'"'; break;
      default: return false;
    }
  }
  return false;
}

std::vector<UndoRecord> ParseEscaped(TextView line) {
  std::size_t at = kEscapedVerb.size();
  UndoRecord record;
  if (!ReadEscaped(line, at, record.target)) return {};
  if (line.substr(at, 2) != u" \"") return {};
  at += 2;
  if (!ReadEscaped(line, at, record.oldName) || at != line.size()) return {};
  if (record.target.empty() || record.oldName.empty()) return {};
  return {record};
}

}  // namespace

Text UndoLogPath(const Text& programFolder, char16_t sep, bool makeFolder) {
  const Text beside = AddBackslash(programFolder, sep) + u"Undo.log";
  if (!programFolder.empty() && CanWriteFolder(programFolder)) return beside;
  const Text state = UserStateFolder();
  if (state.empty()) return beside;
  const Text folder = AddBackslash(state, sep) + OwnDataFolderName();
  if (makeFolder && IgnoreErrors([&] { CreateFolders(folder); }) != 0) return beside;
  return AddBackslash(folder, sep) + u"Undo.log";
}

Text WordListPath(const Text& programFolder, char16_t sep) {
  const Text beside = AddBackslash(programFolder, sep) + u"words.txt";
  if (!programFolder.empty() && PathExists(beside)) return beside;
  const Text config = UserConfigFolder();
  if (config.empty()) return beside;
  return AddBackslash(AddBackslash(config, sep) + OwnDataFolderName(), sep) + u"words.txt";
}

void ApplyUndoLogSizeRule(const Text& path) {
  std::int64_t length = 0;
  IgnoreErrors([&] { length = PathExists(path) ? FileLen(path) : 0; });
  // Kill refuses a file that another copy holds open: it stays until a
  // start that finds it free.
  if (length > kUndoLogLimit) IgnoreErrors([&] { Kill(path); });
}

Text UndoLine(const Text& target, const Text& oldName) {
  if (!HoldsLineBreak(target) && !HoldsLineBreak(oldName)) {
    return Text(kPlainVerb) + target + Text(kBetween) + oldName + u"\"";
  }
  return Text(kEscapedVerb) + Escaped(target) + Text(kBetween) + Escaped(oldName) + u"\"";
}

std::vector<UndoRecord> ParseUndoLine(TextView line) {
  if (line.substr(0, kEscapedVerb.size()) == kEscapedVerb) return ParseEscaped(line);
  if (line.substr(0, kPlainVerb.size()) != kPlainVerb) return {};
  if (line.size() < kPlainVerb.size() + kBetween.size() + 1 || line.back() != u'"') return {};
  const TextView inner = line.substr(kPlainVerb.size(), line.size() - kPlainVerb.size() - 1);
  if (inner.size() > kLongestPath + kBetween.size() + kLongestFileName) return {};
  // Only a gap that leaves an old name short enough to be one can divide the
  // names: the search starts that near the end.
  const std::size_t nearest = inner.size() - std::min(inner.size(), kBetween.size() + kLongestFileName);
  std::vector<UndoRecord> readings;
  // Where the target's file name starts, after either separator (a line may
  // come from either system), kept up as the gap moves right.
  std::size_t nameStart = inner.find_last_of(u"/\\", nearest);
  nameStart = nameStart == TextView::npos ? 0 : nameStart + 1;
  std::size_t scanned = nearest;
  for (std::size_t at = inner.find(kBetween, nearest); at != TextView::npos; at = inner.find(kBetween, at + 1)) {
    for (; scanned < at; ++scanned) {
      if (inner[scanned] == u'/' || inner[scanned] == u'\\') nameStart = scanned + 1;
    }
    const TextView target = inner.substr(0, at), oldName = inner.substr(at + kBetween.size());
    if (target.empty() || oldName.empty() || target.size() > kLongestPath) continue;
    if (at - nameStart > kLongestFileName) continue;
    readings.push_back({Text(target), Text(oldName)});
  }
  return readings;
}

UndoLogWriter::UndoLogWriter(Text path) : path_(std::move(path)), file_(std::make_unique<CTextFile>()) {
  ApplyUndoLogSizeRule(path_);
  if (!file_->FileOpen(path_, 2)) file_.reset();
}

UndoLogWriter::~UndoLogWriter() { Close(); }

UndoLogWrite UndoLogWriter::Append(const Text& line) {
  if (!file_) return {false, u"the log could not be opened for writing"};
  // Read apart from the held log, which is open for appending only.
  std::string last;
  IgnoreErrors([&] {
    const InputFile file(path_);
    if (const std::int64_t size = Lof(file.Number()); size > 0) last = ReadBytesAt(file.Number(), size - 1, 1);
  });
  const bool afterTornLine = !last.empty() && last != "\n" && last != "\r";
  ErrState failed;
  IgnoreErrors(failed, [&] { file_->WriteLnStr(afterTornLine ? u"\r\n" + line : line); });
  if (failed.number != 0) return {false, failed.description};
  return {true, {}};
}

std::optional<Text> UndoLogWriter::Close() {
  if (!file_) return std::nullopt;
  ErrState closed;
  IgnoreErrors(closed, [&] { file_->FileClose(); });
  file_.reset();
  if (closed.number != 0) return closed.description;
  return std::nullopt;
}

namespace {
// The log starts afresh past 64 KiB; a file far larger is none of ours.
constexpr std::int64_t kLargestLog = 16 * 1024 * 1024;
constexpr std::size_t kReadStep = 64 * 1024;
}  // namespace

UndoLogLines::UndoLogLines(const Text& path) : path_(path), start_(Lof(InputFile(path).Number())) {
  if (start_ > kLargestLog) Raise(err::kPathFileAccessError, u"it is larger than any undo log grows");
  // What follows the last line end is torn, or no line at all.
  std::size_t lastBreak = std::string::npos;
  while ((lastBreak = buffer_.find_last_of("\r\n")) == std::string::npos && Extend()) {
  }
  buffer_.resize(lastBreak == std::string::npos ? 0 : lastBreak + 1);
}

bool UndoLogLines::Extend() {
  if (start_ == 0) return false;
  // Steps as large as what is held: a long line is read in linear time.
  const std::int64_t step = static_cast<std::int64_t>(std::max(kReadStep, buffer_.size()));
  const std::int64_t from = std::max<std::int64_t>(0, start_ - step);
  std::string before = ReadBytesAt(InputFile(path_).Number(), from, static_cast<std::size_t>(start_ - from));
  if (static_cast<std::int64_t>(before.size()) != start_ - from) Raise(err::kInputPastEndOfFile);
  buffer_.insert(0, before);
  start_ = from;
  return true;
}

bool UndoLogLines::Previous(Text& line) {
  if (buffer_.empty()) return false;
  // The line end: CR LF, or a lone CR or LF. A CR before the LF may lie in
  // the part not read yet.
  if (buffer_.size() == 1 && buffer_[0] == '\n') Extend();
  const std::size_t n = buffer_.size();
  const std::size_t breakLength = buffer_[n - 1] == '\n' && n >= 2 && buffer_[n - 2] == '\r' ? 2 : 1;
  std::size_t before = std::string::npos;
  for (;;) {
    const std::size_t end = buffer_.size() - breakLength;
    before = end == 0 ? std::string::npos : buffer_.find_last_of("\r\n", end - 1);
    if (before != std::string::npos || !Extend()) break;
  }
  const std::size_t start = before == std::string::npos ? 0 : before + 1;
  line = DecodeText(std::string_view(buffer_).substr(start, buffer_.size() - breakLength - start));
  buffer_.resize(start);
  lineOffset_ = start_ + static_cast<std::int64_t>(start);
  return true;
}

}  // namespace velmora
