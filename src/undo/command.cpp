// velmora-undo's command: what the person asked, carried out on the log, and
// said in plain words.
#include "undo/command.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include "fileio/undo_log.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/text/unicode.h"

namespace velmora {

namespace {

Text Quoted(TextView text, char16_t sep) {
  Text out(1, u'"');  // built in place: GCC 12 warns wrongly on "x" + Text&&
  out += ShowText(text, sep);
  out += u'"';
  return out;
}

void AppendHex(Text& out, unsigned value, int digits) {
  static constexpr char16_t kHex[] = u"0123456789abcdef";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

bool ChangesDirection(char16_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

/// What is said of an entry that cannot be undone now: the list's short
/// note, and the end of the sentence that says why.
struct Said {
  Text note, why;
};

Said Describe(const UndoEntry& entry, char16_t sep) {
  const UndoRecord& r = entry.record;
  switch (entry.status) {
    case UndoStatus::Ready:
      break;
    case UndoStatus::Undone: {
      const Text by = Str(static_cast<long long>(entry.undoneBy));
      return {u"(undone by " + by + u")", u"it is undone already (entry " + by + u" reverses it)."};
    }
    case UndoStatus::Gone:
      return {u"(file gone)", u"the file " + Quoted(r.target, sep) + u" is gone (renamed, moved or deleted since)."};
    case UndoStatus::NameTaken:
      return {u"(old name taken)", u"its old name " + Quoted(r.oldName, sep) + u" is taken by another file in " +
                                       Quoted(FolderOf(r.target, sep), sep) + u"."};
    case UndoStatus::ForeignPath:
      if (sep != u'\\' && LooksLikeWindowsPath(r.target)) {
        return {u"(written on Windows)",
                Quoted(r.target, sep) + u" is a Windows path: a rename made on Windows can only be undone there."};
      }
      return {u"(not a full path)", Quoted(r.target, sep) + u" is not a full path on this system."};
    case UndoStatus::BadName:
      return {u"(not a file name)", u"the line does not name a file and another plain name for it (" +
                                        Quoted(r.target, sep) + u", " + Quoted(r.oldName, sep) +
                                        u"), so it could move a file out of its folder."};
    case UndoStatus::Ambiguous:
      return {u"(ambiguous)", u"the line can be read in more than one way, and more than one of the files it "
                              u"may name exists."};
  }
  return {};
}

Text WhyNot(const UndoEntry& entry, char16_t sep) { return Describe(entry, sep).why; }

struct Attempt {
  ErrState error;
  Text message;  ///< what was done, when it was
};

/// Gives the file of `entry` its old name and says so.
Attempt UndoOne(const UndoEntry& entry, const Text& logPath, char16_t sep) {
  const UndoAttempt done = UndoRename(entry, logPath, sep);
  Attempt attempt{done.error, {}};
  if (done.error.number != 0) return attempt;
  const UndoRecord& r = entry.record;
  attempt.message = u"Renamed " + Quoted(r.target, sep) + u" back to " + Quoted(r.oldName, sep) + u".";
  if (done.notLogged) {
    attempt.message += u"\nThe undo log " + Quoted(logPath, sep) + u" could not record this (" + *done.notLogged +
                       u"), so it cannot be undone in turn.";
  }
  return attempt;
}

bool TakenOrGone(int error) {
  return error == err::kFileAlreadyExists || error == err::kFileNotFound ||
         error == err::kPathNotFound;
}

Text Count(std::size_t n, const char16_t* one, const char16_t* many) {
  return Str(static_cast<long long>(n)) + u" " + (n == 1 ? one : many);
}

UndoOutcome Failure(int status, Text message) { return {status, {}, std::move(message)}; }

}  // namespace

Text ShowText(TextView text, char16_t sep) {
  Text out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (PairAt(text, i)) {
      out += c;
      out += text[++i];
    } else if (const auto byte = EscapedByte(c)) {
      out += u"\\x";
      AppendHex(out, *byte, 2);  // the byte the lossless codec kept
    } else if (IsSurrogate(c) || (c >= 0x80 && c <= 0x9F) || ChangesDirection(c)) {
      out += u"\\u";
      AppendHex(out, c, 4);
    } else if (c == u'\r') {
      out += u"\\r";
    } else if (c == u'\n') {
      out += u"\\n";
    } else if (c == u'\t') {
      out += u"\\t";
    } else if (c < 0x20 || c == 0x7F) {
      out += u"\\x";
      AppendHex(out, c, 2);
    } else if (c == u'"') {
      out += u"\\\"";
    } else if (c == u'\\' && sep != u'\\') {
      out += u"\\\\";
    } else {
      out += c;
    }
  }
  return out;
}

Text FormatUndoListLine(const UndoEntry& e, std::size_t width, char16_t sep) {
  const Text number = Str(static_cast<long long>(e.listNumber));
  Text out = Text(width > number.size() ? width - number.size() : 0, u' ') + number + u"  " +
             Quoted(e.record.target, sep) + u" was " + Quoted(e.record.oldName, sep);
  const Text note = Describe(e, sep).note;
  if (!note.empty()) out += u"  " + note;
  out += u'\n';
  return out;
}

UndoRequest ParseUndoArguments(const std::vector<Text>& args) {
  UndoRequest request;
  std::vector<Text> rest;
  for (const Text& a : args) {
    if (a == u"--notify" && !request.notify) {
      request.notify = true;
    } else {
      rest.push_back(a);
    }
  }
  auto invalid = [&](Text problem) {
    request.kind = UndoRequest::Kind::Invalid;
    request.problem = std::move(problem);
    return request;
  };
  if (rest.empty()) return request;
  if (rest.size() > 1) return invalid(u"Give one of N, --list or --help, not several.");
  const Text& a = rest.front();
  if (a == u"--help" || a == u"-h") {
    request.kind = UndoRequest::Kind::Help;
  } else if (a == u"--list") {
    request.kind = UndoRequest::Kind::List;
  } else if (!a.empty() && a.find_first_not_of(u"0123456789") == Text::npos) {
    const Text significant = a.substr(std::min(a.size(), a.find_first_not_of(u'0')));
    // Numbers too long to hold are past any log's end anyway.
    if (significant.size() > static_cast<std::size_t>(std::numeric_limits<std::size_t>::digits10)) {
      return invalid(u"There is no entry " + a + u".");
    }
    std::size_t n = 0;
    for (char16_t c : significant) n = n * 10 + static_cast<std::size_t>(c - u'0');
    if (n == 0) return invalid(u"The entries are numbered from 1.");
    request.kind = UndoRequest::Kind::Entry;
    request.entry = n;
  } else {
    return invalid(u"Unknown argument " + Quoted(a, NativeSeparator()) + u".");
  }
  if (request.notify && request.kind != UndoRequest::Kind::Entry) {
    return invalid(u"--notify goes with an undo only (no argument, or N).");
  }
  return request;
}

Text UndoUsage() {
  return u"Usage: velmora-undo [N] [--notify]\n"
         u"       velmora-undo --list | --help\n"
         u"\n"
         u"Gives files their old names back from Velmora's undo log.\n"
         u"\n"
         u"  (no argument)  undo the newest rename that can still be undone and is not\n"
         u"                 an undo itself: run again, it steps further back\n"
         u"  --list         list the renames of the log, newest first, numbered from 1\n"
         u"  N              undo the rename numbered N in that list\n"
         u"  --notify       also show the outcome on the desktop (a notification or a\n"
         u"                 message box)\n"
         u"  --help         show this text\n"
         u"\n"
         u"An undo never replaces a file: when the old name is taken, nothing changes.\n"
         u"Each undo is logged as a rename of its own; undo it by its number (N) to\n"
         u"put the rename back.\n"
         u"The list and this text go to standard output, every other message to\n"
         u"standard error. Exit status: 0 done, 1 nothing to undo, 2 error.\n";
}

UndoOutcome RunUndo(const UndoRequest& request, const Text& logPath, char16_t sep,
                    const std::function<void(const Text&)>& print) {
  using Kind = UndoRequest::Kind;
  if (request.kind == Kind::Help) return {kUndoDone, UndoUsage(), {}};
  if (request.kind == Kind::Invalid) {
    return Failure(kUndoError, request.problem + u"\nTry velmora-undo --help.");
  }

  const Text log = Quoted(logPath, sep);
  // Opened again for each pass over it; nothing when there is no log.
  ErrState unread;
  auto open = [&]() {
    std::unique_ptr<UndoLogLines> lines;
    IgnoreErrors(unread, [&] {
      try {
        lines = std::make_unique<UndoLogLines>(logPath);
      } catch (const RuntimeError& e) {
        if (e.Number() != err::kFileNotFound && e.Number() != err::kPathNotFound) throw;
      }
    });
    return lines;
  };
  std::unique_ptr<UndoLogLines> lines = open();
  if (unread.number != 0) {
    return Failure(kUndoError, u"The undo log " + log + u" cannot be read: " + unread.description + u".");
  }
  if (!lines) return Failure(kNothingToUndo, u"Nothing to undo: there is no undo log " + log + u" yet.");
  const UndoOutcome noRenames =
      Failure(kNothingToUndo, u"Nothing to undo: the undo log " + log + u" holds no renames.");

  if (request.kind == Kind::List) {
    const std::size_t count = CountUndoEntries(*lines);
    if (count == 0) return noRenames;
    lines = open();
    if (!lines) return noRenames;  // gone since
    const std::size_t width = Str(static_cast<long long>(count)).size();
    UndoOutcome listed{kUndoDone, {}, {}};
    WalkUndoEntries(
        *lines,
        [&](const UndoEntry& e) {
          if (print) {
            print(FormatUndoListLine(e, width, sep));
          } else {
            listed.output += FormatUndoListLine(e, width, sep);
          }
          return true;
        },
        sep);
    return listed;
  }

  if (request.kind == Kind::Entry) {
    const Text number = u"entry " + Str(static_cast<long long>(request.entry));
    std::optional<UndoEntry> found;
    std::size_t seen = 0;
    WalkUndoEntries(
        *lines,
        [&](const UndoEntry& e) {
          seen = e.listNumber;
          if (e.listNumber == request.entry) found = e;
          return !found;
        },
        sep);
    if (seen == 0) return noRenames;
    if (!found) {
      return Failure(kUndoError, u"There is no " + number + u": the undo log holds " +
                                     Count(seen, u"rename", u"renames") +
                                     u" (see velmora-undo --list).");
    }
    UndoEntry& entry = *found;
    if (entry.status != UndoStatus::Ready) {
      return Failure(kNothingToUndo, u"Cannot undo " + number + u": " + WhyNot(entry, sep));
    }
    Attempt attempt = UndoOne(entry, logPath, sep);
    if (attempt.error.number == 0) return {kUndoDone, {}, attempt.message};
    if (TakenOrGone(attempt.error.number)) {
      entry.status = attempt.error.number == err::kFileAlreadyExists ? UndoStatus::NameTaken
                                                                      : UndoStatus::Gone;
      return Failure(kNothingToUndo, u"Cannot undo " + number + u": " + WhyNot(entry, sep));
    }
    return Failure(kUndoError, u"Could not rename " + Quoted(entry.record.target, sep) + u" back to " +
                                   Quoted(entry.record.oldName, sep) + u": " +
                                   attempt.error.description + u".");
  }

  // The newest rename that is neither undone nor itself an undo, so that
  // undo after undo steps back through the history as an editor's does.
  // Whether a line is an undo shows only once the older line it reverses is
  // read, so a ready line waits as a candidate until the walk has passed
  // kUndoReach bytes before it; the older part of a long log is never read.
  // Files that changed since the line was checked (taken or gone) only move
  // the search on.
  std::size_t passedOver = 0;
  bool any = false;
  std::optional<UndoOutcome> outcome;
  std::deque<UndoEntry> candidates;  // ready, newest first, not shown to be undos
  // Undoes the newest candidate; false when the walk is over.
  auto undoNewest = [&]() {
    UndoEntry entry = std::move(candidates.front());
    candidates.pop_front();
    Attempt attempt = UndoOne(entry, logPath, sep);
    if (attempt.error.number == 0) {
      if (passedOver > 0) {
        attempt.message += u"\n" + Count(passedOver, u"newer rename", u"newer renames") +
                           u" of the log cannot be undone now (see velmora-undo --list).";
      }
      outcome = UndoOutcome{kUndoDone, {}, attempt.message};
      return false;
    }
    if (!TakenOrGone(attempt.error.number)) {
      outcome = Failure(kUndoError, u"Could not rename " + Quoted(entry.record.target, sep) + u" back to " +
                                        Quoted(entry.record.oldName, sep) + u": " +
                                        attempt.error.description + u".");
      return false;
    }
    ++passedOver;
    return true;
  };
  WalkUndoEntries(
      *lines,
      [&](const UndoEntry& entry) {
        any = true;
        if (entry.undoneBy != 0) {
          // The entry that reverses this one is an undo: never a candidate.
          std::erase_if(candidates, [&](const UndoEntry& c) { return c.listNumber == entry.undoneBy; });
        }
        while (!candidates.empty() && candidates.front().logOffset - entry.logOffset > kUndoReach) {
          if (!undoNewest()) return false;
        }
        if (entry.status == UndoStatus::Ready) {
          candidates.push_back(entry);
        } else if (entry.status != UndoStatus::Undone) {
          ++passedOver;
        }
        return true;
      },
      sep);
  while (!outcome && !candidates.empty()) undoNewest();
  if (outcome) return *outcome;
  if (!any) return noRenames;
  return Failure(kNothingToUndo, u"Nothing to undo: no rename in the undo log " + log +
                                     u" can be undone now (see velmora-undo --list).");
}

}  // namespace velmora
