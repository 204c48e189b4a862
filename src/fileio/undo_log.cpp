#include "fileio/undo_log.h"

#include "fileio/paths.h"
#include "platform/application/application.h"
#include "platform/errors/errors.h"

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
  const Text folder = AddBackslash(state, sep) + u"velmora";
  if (makeFolder && IgnoreErrors([&] { CreateFolders(folder); }) != 0) return beside;
  return AddBackslash(folder, sep) + u"Undo.log";
}

Text WordListPath(const Text& programFolder, char16_t sep) {
  const Text beside = AddBackslash(programFolder, sep) + u"words.txt";
  if (!programFolder.empty() && PathExists(beside)) return beside;
  const Text config = UserConfigFolder();
  if (config.empty()) return beside;
  return AddBackslash(AddBackslash(config, sep) + u"velmora", sep) + u"words.txt";
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
  std::vector<UndoRecord> readings;
  for (std::size_t at = inner.find(kBetween); at != TextView::npos; at = inner.find(kBetween, at + 1)) {
    UndoRecord record{Text(inner.substr(0, at)), Text(inner.substr(at + kBetween.size()))};
    if (!record.target.empty() && !record.oldName.empty()) readings.push_back(std::move(record));
  }
  return readings;
}

}  // namespace velmora
