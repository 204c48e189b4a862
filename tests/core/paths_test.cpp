// Path helpers: the splitting table with "\" and its twin with "/", the 16-bit
// position limits, and the two helpers that consult real folders.
#include "fileio/paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "support/fake_desktop.h"
#include "test_files.h"

namespace velmora {
namespace {

using testing::ErrorOf;
using testing::FakeDesktop;

std::string Show(const Text& t) { return ToUtf8ForDisplay(t); }

/// The text with "\" and "/" exchanged: the same path written for the other separator.
Text Mirror(Text t) {
  for (char16_t& c : t) {
    if (c == u'\\') c = u'/';
    else if (c == u'/') c = u'\\';
  }
  return t;
}

struct SplitCase {
  Text path, folder, name, ext;
};

const SplitCase kSplitCases[] = {
    {u"C:\\Docs\\report.final.pdf", u"C:\\Docs\\", u"report.final.pdf", u"pdf"},
    {u"report.pdf", u"", u"report.pdf", u"pdf"},
    {u"C:\\Docs\\", u"C:\\Docs\\", u"", u""},
    {u"C:\\my.folder\\README", u"C:\\my.folder\\", u"README", u""},
    {u"C:\\Docs\\.profile", u"C:\\Docs\\", u".profile", u"profile"},
    {u"C:\\Docs\\name.", u"C:\\Docs\\", u"name.", u""},
    {u"\\\\server\\share\\a.txt", u"\\\\server\\share\\", u"a.txt", u"txt"},
    {u"C:/Docs/a.txt", u"", u"C:/Docs/a.txt", u"txt"},
    {u"", u"", u"", u""},
    {u"\\", u"\\", u"", u""},
    {u"C:\\Docs\\a.TXT", u"C:\\Docs\\", u"a.TXT", u"TXT"},  // case kept
    {u"C:\\D\\\U0001F600.\u00e9", u"C:\\D\\", u"\U0001F600.\u00e9", u"\u00e9"},
};

TEST(PathsTest, SplitsWithBackslash) {
  for (const auto& c : kSplitCases) {
    SCOPED_TRACE(Show(c.path));
    EXPECT_EQ(GetFolderPath(c.path, u'\\'), c.folder);
    EXPECT_EQ(GetFileName(c.path, u'\\'), c.name);
    EXPECT_EQ(GetFileExt(c.path, u'\\'), c.ext);
  }
}

TEST(PathsTest, SplitsWithSlash) {
  for (const auto& c : kSplitCases) {
    SCOPED_TRACE(Show(Mirror(c.path)));
    EXPECT_EQ(GetFolderPath(Mirror(c.path), u'/'), Mirror(c.folder));
    EXPECT_EQ(GetFileName(Mirror(c.path), u'/'), Mirror(c.name));
    EXPECT_EQ(GetFileExt(Mirror(c.path), u'/'), Mirror(c.ext));
  }
}

TEST(PathsTest, AddBackslashEnsuresOneSeparator) {
  struct Case {
    Text in, out;
  };
  const Case cases[] = {{u"C:", u"C:\\"}, {u"C:\\", u"C:\\"}, {u"", u"\\"}, {u"C:/", u"C:/\\"}};
  for (const auto& c : cases) {
    EXPECT_EQ(AddBackslash(c.in, u'\\'), c.out) << Show(c.in);
    EXPECT_EQ(AddBackslash(Mirror(c.in), u'/'), Mirror(c.out)) << Show(c.in);
  }
}

// A path of 40,000 characters with separators and dots at given positions
// (from 1); every other character is "x".
Text LongPath(const std::vector<std::size_t>& seps, const std::vector<std::size_t>& dots,
              char16_t sep) {
  Text path(40000, u'x');
  for (std::size_t p : seps) path[p - 1] = sep;
  for (std::size_t p : dots) path[p - 1] = u'.';
  return path;
}

TEST(PathsTest, SixteenBitPositionLimits) {
  struct Case {
    const char* label;
    std::vector<std::size_t> seps, dots;
    bool splitOverflows, extOverflows, dirNameBox;
  };
  const Case cases[] = {
      {"sep 10, dot 20", {10}, {20}, false, false, false},
      {"last sep 32,766", {10, 32766}, {20}, false, false, false},
      {"sep at 32,767", {10, 32767}, {20}, true, true, false},
      {"sep at 32,768", {10, 32768}, {20}, true, true, true},
      {"no sep, dot at 32,767", {}, {32767}, false, false, false},
      {"no sep, dot at 32,768", {}, {32768}, false, true, false},
      {"dot at name position 32,767", {10}, {10 + 32767}, false, false, false},
      {"dot at name position 32,768", {10}, {10 + 32768}, false, true, false},
  };
  for (const char16_t sep : {u'\\', u'/'}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.label) + (sep == u'/' ? " (slash)" : " (backslash)"));
      const Text path = LongPath(c.seps, c.dots, sep);
      const std::size_t last = c.seps.empty() ? 0 : c.seps.back();
      const std::size_t dot = c.dots.back() > last ? c.dots.back() : 0;

      if (c.splitOverflows) {
        EXPECT_EQ(ErrorOf([&] { GetFolderPath(path, sep); }), err::kOverflow);
        EXPECT_EQ(ErrorOf([&] { GetFileName(path, sep); }), err::kOverflow);
      } else {
        EXPECT_EQ(GetFolderPath(path, sep), path.substr(0, last));
        EXPECT_EQ(GetFileName(path, sep), path.substr(last));
      }
      if (c.extOverflows) {
        EXPECT_EQ(ErrorOf([&] { GetFileExt(path, sep); }), err::kOverflow);
      } else {
        EXPECT_EQ(GetFileExt(path, sep), dot ? path.substr(dot) : Text());
      }

      FakeDesktop desktop;
      const Text dir = GetDirName(desktop, path, sep);
      if (c.dirNameBox) {
        EXPECT_EQ(dir, u"");
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_EQ(desktop.messages[0].text, u"6\t" + ErrorDescription(err::kOverflow));
        EXPECT_EQ(desktop.messages[0].title, u"Error in [GetDirName()]");
        EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Critical);
      } else {
        EXPECT_EQ(dir, path.substr(0, last));
        EXPECT_TRUE(desktop.messages.empty());
      }
      EXPECT_FALSE(FolderExists(path, sep));
    }
  }
}

/// The path of `relative` inside `tmp`, with "/" written as the native separator.
Text At(const testing::TempFolder& tmp, std::string relative) {
  std::replace(relative.begin(), relative.end(), '/', kSep);
  return tmp.PathOf(relative);
}

TEST(PathsTest, GetDirName) {
  const char16_t sep = NativeSeparator();
  testing::TempFolder tmp;
  tmp.MakeFolder("Docs");
  tmp.Write("Docs/a.txt", "x");
  struct Case {
    Text path, dir;
    char16_t sep;
  };
  const Case cases[] = {
      {At(tmp, "Docs/a.txt"), At(tmp, "Docs/"), sep},  // a file: its folder
      {At(tmp, "Docs"), At(tmp, "Docs/"), sep},        // a folder: itself, not its parent
      {At(tmp, "Docs/"), At(tmp, "Docs/"), sep},
      {At(tmp, "nowhere/x"), At(tmp, "nowhere/"), sep},  // missing: cut after the last separator
      {u"C:\\nowhere\\x", u"C:\\nowhere\\", u'\\'},
      {u"a.txt", u"", u'\\'},  // no separator: the file system is not asked
      {u"", u"", u'/'},
  };
  for (const auto& c : cases) {
    FakeDesktop desktop;
    EXPECT_EQ(GetDirName(desktop, c.path, c.sep), c.dir) << Show(c.path);
    EXPECT_TRUE(desktop.messages.empty());
  }
}

TEST(PathsTest, FolderExistsOnRealFolders) {
  testing::TempFolder tmp;
  tmp.MakeFolder("Docs");
  tmp.MakeFolder(".hidden");
  if (!kWindows) tmp.MakeFolder("\xff\xfe bad");  // not valid UTF-8: a name only where names are bytes
  tmp.Write("Docs/a.txt", "x");
  struct Case {
    Text path;
    bool exists;
  };
  const Case cases[] = {
      {At(tmp, "Docs"), true},
      {At(tmp, "Docs/"), true},
      {At(tmp, ".hidden"), true},
      {At(tmp, "\xff\xfe bad"), !kWindows},
      {At(tmp, "Docs/a.txt"), false},   // a file
      {At(tmp, "Docs/a.txt/"), false},
      {At(tmp, "missing"), false},
      {At(tmp, "D*"), false},           // the search finds Docs, the name itself is no folder
      {At(tmp, "Docs") + Text(1, u'\0'), false},  // no file name holds NUL
      {u"", false},
      {u"   ", false},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderExists(c.path), c.exists) << Show(c.path);
}

}  // namespace
}  // namespace velmora
