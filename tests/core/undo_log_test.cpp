// The undo line both ways: every form UndoLine writes reads back through
// ParseUndoLine to the names it was made from, and lines that are blank,
// torn, malformed or foreign read as nothing.
#include "fileio/undo_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/codec/codec.h"
#include "test_platform.h"

namespace velmora {
namespace {

std::string Show(TextView t) { return ToUtf8ForDisplay(t); }

TEST(UndoLogTest, EveryLineUndoLineWritesReadsBackToItsNames) {
  struct Case {
    Text target, oldName;
    Text line;         // what UndoLine writes
    std::size_t readings;  // how many ways the line reads
  };
  const Case cases[] = {
      {u"/d/new.txt", u"old.txt", u"Ren \"/d/new.txt\" \"old.txt\"", 1},
      {u"C:\\Docs\\new.txt", u"old.txt", u"Ren \"C:\\Docs\\new.txt\" \"old.txt\"", 1},
      {u"/d/my file.txt", u" lead and trail ", u"Ren \"/d/my file.txt\" \" lead and trail \"", 1},
      // Quotes inside names, at either end too, are written as they are.
      {u"/d/say \"hi\".txt", u"old.txt", u"Ren \"/d/say \"hi\".txt\" \"old.txt\"", 1},
      {u"/d/a\"", u"\"b", u"Ren \"/d/a\"\" \"\"b\"", 1},
      {u"/d/back\\slash", u"x\\y", u"Ren \"/d/back\\slash\" \"x\\y\"", 1},
      // Bytes that are not UTF-8 travel as U+DC80 + byte.
      {u"/d/\xdcff.txt", u"\xdc80\xdcfe", u"Ren \"/d/\xdcff.txt\" \"\xdc80\xdcfe\"", 1},
      {u"/d/\xd83d\xde00.txt", u"\x00e9t\x00e9", u"Ren \"/d/\xd83d\xde00.txt\" \"\x00e9t\x00e9\"", 1},
      // CR or LF in a name: the escaped form, which escapes \ and " too.
      {u"/d/a\nb", u"c", u"RenEsc \"/d/a\\nb\" \"c\"", 1},
      {u"/d/new", u"x\r\n\\\"y", u"RenEsc \"/d/new\" \"x\\r\\n\\\\\\\"y\"", 1},
      {u"/d/\"\n", u"\\", u"RenEsc \"/d/\\\"\\n\" \"\\\\\"", 1},
      // The gap between the names inside a name: several readings, the
      // right one among them.
      {u"/d/x", u"a\" \"b", u"Ren \"/d/x\" \"a\" \"b\"", 2},
      {u"/d/x\" \"y", u"z", u"Ren \"/d/x\" \"y\" \"z\"", 2},
      {u"/d/\" \"", u"\" \"", u"Ren \"/d/\" \"\" \"\" \"\"", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Show(c.line));
    const Text line = UndoLine(c.target, c.oldName);
    EXPECT_EQ(line, c.line);
    const std::vector<UndoRecord> readings = ParseUndoLine(line);
    EXPECT_EQ(readings.size(), c.readings);
    EXPECT_NE(std::find(readings.begin(), readings.end(), UndoRecord{c.target, c.oldName}),
              readings.end());
    // Through the file's bytes and back nothing is lost: where the log is
    // UTF-8, and for a name's stray bytes only where names are bytes.
    if (FileTextIsUtf8() && (!kWindows || DisplayText(line) == line)) {
      EXPECT_EQ(ParseUndoLine(DecodeText(EncodeText(line))), readings);
    }
  }
}

TEST(UndoLogTest, LinesThatAreNoRenameReadAsNothing) {
  const Text cases[] = {
      u"",
      u" ",
      u"Ren",
      u"Ren \"",
      u"Ren \"/d/new.txt\" \"old.txt",        // torn inside the old name
      u"Ren \"/d/new.txt\" \"",               // torn after the gap
      u"Ren \"/d/new.txt\"",                  // torn before the gap
      u"Ren \"/d/new.txt\" \"old.txt\" ",     // something after the line
      u"Ren \"\" \"old.txt\"",                // empty target
      u"Ren \"/d/new.txt\" \"\"",             // empty old name
      u"ren \"/d/new.txt\" \"old.txt\"",      // the verb is exact
      u"Ren  \"/d/new.txt\" \"old.txt\"",
      u"Rename \"/d/new.txt\" \"old.txt\"",
      u"move /d/new.txt old.txt",
      u"RenEsc \"/d/a\\tb\" \"c\"",           // an escape that is not one
      u"RenEsc \"/d/a\\",                     // torn inside an escape
      u"RenEsc \"/d/a\" \"c",                 // torn old name
      u"RenEsc \"/d/a\" \"c\"x",              // something after the line
      u"RenEsc \"/d/a\"\"c\"",                // no gap
      u"RenEsc \"/d/a\" \"\"",
      u"RenEsc \"/d/a\" \"b\" \"c\"",         // a bare quote ends the name
  };
  for (const Text& line : cases) {
    EXPECT_TRUE(ParseUndoLine(line).empty()) << Show(line);
  }
}

// A crafted line full of gaps costs time in proportion to its length: only
// gaps that leave names short enough to be a file's can divide it.
TEST(UndoLogTest, OnlyReadingsAFileCouldHaveCount) {
  auto gaps = [](int n, TextView each) {
    Text out;
    for (int i = 0; i < n; ++i) out += each;
    return out;
  };
  const Text crafted = u"Ren \"/d/x" + gaps(16000, u"\" \"") + u"\" \"y\"";
  for (const UndoRecord& r : ParseUndoLine(crafted)) {
    EXPECT_LE(r.oldName.size(), kLongestFileName);
    EXPECT_LE(r.target.size() - r.target.rfind(u'/') - 1, kLongestFileName);
  }
  EXPECT_LE(ParseUndoLine(crafted).size(), 2 * kLongestFileName / 3 + 1);

  // Gaps inside real names of legal length: the right reading is among them.
  const Text target = u"/d/" + gaps(40, u"x\" \"") + u"y", oldName = gaps(20, u"z\" \"") + u"w";
  const std::vector<UndoRecord> readings = ParseUndoLine(UndoLine(target, oldName));
  EXPECT_NE(std::find(readings.begin(), readings.end(), UndoRecord{target, oldName}), readings.end());

  Text longest;
  while (longest.size() + 8 <= kLongestPath) longest += u"/folder1";
  longest += Text(kLongestPath - longest.size(), u'x');
  EXPECT_EQ(ParseUndoLine(UndoLine(longest, u"old")).size(), 1u);
  EXPECT_TRUE(ParseUndoLine(UndoLine(longest + u"x", u"old")).empty());
  EXPECT_TRUE(ParseUndoLine(UndoLine(u"/d/new", Text(kLongestFileName + 1, u'n'))).empty());
  EXPECT_TRUE(ParseUndoLine(UndoLine(u"/d/" + Text(kLongestFileName + 1, u'n'), u"old")).empty());
  EXPECT_EQ(ParseUndoLine(UndoLine(u"C:\\d\\" + Text(kLongestFileName, u'n'), u"old")).size(), 1u);
}

}  // namespace
}  // namespace velmora
