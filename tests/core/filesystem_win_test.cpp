// Files by name on Windows, on real files in a fresh folder: MoveFileW never
// replaces (every method), trailing dots, Unicode names, attributes and search.
#include "platform/fs/filesystem.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/errors/errors.h"
#include "test_files.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::ErrorOf;

/// Wine renames a case-only change without changing the stored case.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

/// The folder's helpers with names in UTF-16, as Windows has them.
class FilesystemWinTest : public testing::TempFolderTest {
 protected:
  FilesystemWinTest() : TempFolderTest("velmora-fs-") {}

 public:
  fs::path Native(const std::u16string& name) const { return fs::path(Root()) / name; }
  Text PathOf(const std::u16string& name) const { return Native(name).u16string(); }
  void Write(const std::u16string& name, const std::string& bytes) const {
    EXPECT_TRUE(testing::WriteBytes(Native(name), bytes)) << ToUtf8ForDisplay(name);
  }
  std::optional<std::string> Read(const std::u16string& name) const {
    return testing::ReadBytes(Native(name));
  }
  std::vector<Text> Names() const {
    std::vector<Text> names;
    for (const auto& e : fs::directory_iterator(Root())) names.push_back(e.path().filename().u16string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

const NoReplaceMethod kAllMethods[] = {NoReplaceMethod::Auto, NoReplaceMethod::Atomic,
                                       NoReplaceMethod::LinkUnlink,
                                       NoReplaceMethod::CheckThenRename};

TEST_F(FilesystemWinTest, RenameMovesTheFileAndNeverReplaces) {
  struct Case {
    const char* what;
    std::function<void(FilesystemWinTest&)> makeTarget;  // null: no target
    int error;
  };
  const Case cases[] = {
      {"free name", nullptr, 0},
      {"other file", [](FilesystemWinTest& t) { t.Write(u"b.txt", "target\r\n"); }, 58},
      {"other file, other case", [](FilesystemWinTest& t) { t.Write(u"B.TXT", "target\r\n"); }, 58},
      {"folder", [](FilesystemWinTest& t) { fs::create_directory(t.Native(u"b.txt")); }, 58},
  };
  for (const Case& c : cases) {
    for (NoReplaceMethod method : kAllMethods) {
      SCOPED_TRACE(std::string(c.what) + " method " + std::to_string(static_cast<int>(method)));
      Reset();
      Write(u"a.txt", "source\n");
      if (c.makeTarget) c.makeTarget(*this);
      const std::vector<Text> before = Names();
      EXPECT_EQ(ErrorOf([&] { RenameNoReplace(PathOf(u"a.txt"), PathOf(u"b.txt"), method); }),
                c.error);
      if (c.error == 0) {
        EXPECT_EQ(Names(), std::vector<Text>{u"b.txt"});
        EXPECT_EQ(Read(u"b.txt"), "source\n");
      } else {
        EXPECT_EQ(Names(), before);
        EXPECT_EQ(Read(u"a.txt"), "source\n");
        if (fs::is_regular_file(Native(u"b.txt"))) {
          EXPECT_EQ(Read(u"b.txt"), "target\r\n");
        }
      }
    }
  }
}

TEST_F(FilesystemWinTest, UnicodeNamesRenameWithEveryMethod) {
  const Text from = u"caf\u00e9 \u20ac \u0416.txt";  // not all in one ANSI code page
  const Text to = u"na\u00efve \U0001F600.txt";
  Write(from, "bytes");
  for (NoReplaceMethod method : kAllMethods) {
    SCOPED_TRACE(static_cast<int>(method));
    RenameNoReplace(PathOf(from), PathOf(to), method);
    EXPECT_EQ(Names(), std::vector<Text>{to});
    RenameNoReplace(PathOf(to), PathOf(from), method);
    EXPECT_EQ(Read(from), "bytes");
  }
}

TEST_F(FilesystemWinTest, TrailingDotsAndFailuresKeepTheFile) {
  struct Case {
    Text from, to;
    int error;
    std::vector<Text> after;
  };
  const Case cases[] = {
      {u"README", u"README.", 0, {u"README"}},  // nothing left to change
      {u"a.txt", u"new.", 0, {u"new"}},
      {u"a.txt", u"x. y..", 0, {u"x. y"}},
      {u"a.txt", u"...", 52, {u"a.txt"}},
      {u"a.txt", u"two\nlines", 52, {u"a.txt"}},  // no name holds a control character
      {u"missing", u"missing.", 53, {}},
      {u"none.txt", u"b.txt", 53, {}},
      {u"no\\none.txt", u"b.txt", 76, {}},
      {u"a.txt", u"no\\b.txt", 76, {u"a.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8ForDisplay(c.from) + " -> " + ToUtf8ForDisplay(c.to));
    Reset();
    if (!c.after.empty()) Write(c.from, "x");
    EXPECT_EQ(ErrorOf([&] { RenameNoReplace(PathOf(c.from), PathOf(c.to)); }), c.error);
    EXPECT_EQ(Names(), c.after);
  }
  Reset();
  Write(u"a.txt", "x");
  EXPECT_EQ(ErrorOf([&] { RenameNoReplace(PathOf(u"a.txt"), u""); }), 52);
  EXPECT_EQ(ErrorOf([&] { RenameNoReplace(PathOf(u"a.txt"), PathOf(u"b") + Text(u"\0c", 2)); }), 52);
  EXPECT_EQ(Names(), std::vector<Text>{u"a.txt"});
}

TEST_F(FilesystemWinTest, CaseOnlyRenameChangesTheCase) {
  if (UnderWine()) GTEST_SKIP() << "Wine keeps the old case of a case-only MoveFileW";
  for (NoReplaceMethod method : kAllMethods) {
    SCOPED_TRACE(static_cast<int>(method));
    Reset();
    Write(u"Report.txt", "r");
    Write(u"Other.txt", "o");
    RenameNoReplace(PathOf(u"Report.txt"), PathOf(u"report.txt"), method);
    EXPECT_EQ(Names(), (std::vector<Text>{u"Other.txt", u"report.txt"}));
    EXPECT_EQ(ErrorOf([&] { RenameNoReplace(PathOf(u"report.txt"), PathOf(u"OTHER.txt"), method); }),
              err::kFileAlreadyExists);
    EXPECT_EQ(Read(u"report.txt"), "r");
  }
}

TEST_F(FilesystemWinTest, KillLengthAndAttributes) {
  Write(u"plain.txt", "12345");
  Write(u"hidden.txt", "");
  Write(u"locked.txt", "");
  fs::create_directory(Native(u"folder"));
  SetFileAttributesW(Native(u"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesW(Native(u"locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  struct Case {
    Text name;
    int attributes;  // -1: the error below
    int error;
  };
  const Case cases[] = {
      {u"hidden.txt", attr::kHidden | attr::kSystem, 0},
      {u"locked.txt", attr::kReadOnly, 0},
      {u"folder", attr::kDirectory, 0},
      {u"folder\\", attr::kDirectory, 0},
      {u"none", -1, 53},
      {u"none\\x", -1, 76},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8ForDisplay(c.name));
    if (c.attributes >= 0) {
      // The archive bit comes and goes with the file system: not part of the answer here.
      EXPECT_EQ(GetAttr(PathOf(c.name)) & ~attr::kArchive, c.attributes);
    } else {
      EXPECT_EQ(ErrorOf([&] { GetAttr(PathOf(c.name)); }), c.error);
    }
  }
  EXPECT_EQ(FileLen(PathOf(u"plain.txt")), 5);
  EXPECT_EQ(ErrorOf([&] { FileLen(PathOf(u"none")); }), 53);
  EXPECT_EQ(ErrorOf([&] { Kill(PathOf(u"folder")); }), 75);
  EXPECT_EQ(ErrorOf([&] { Kill(PathOf(u"none")); }), 53);
  Kill(PathOf(u"plain.txt"));
  EXPECT_FALSE(PathExists(PathOf(u"plain.txt")));
  EXPECT_TRUE(PathExists(PathOf(u"folder")));
  EXPECT_FALSE(PathExists(u""));
}

TEST_F(FilesystemWinTest, DirSearchMatchesWildcardsAndAttributes) {
  for (const Text name : {u"a.txt", u"b.txt", u"ab.log", u"hidden.txt", u"\u00e9t\u00e9.txt"}) {
    Write(name, "");
  }
  SetFileAttributesW(Native(u"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  fs::create_directory(Native(u"sub.txt"));
  struct Case {
    Text pattern;
    int mask;
    std::vector<Text> found;
  };
  const Case cases[] = {
      {u"*.txt", 0, {u"a.txt", u"b.txt", u"\u00e9t\u00e9.txt"}},
      {u"?.txt", 0, {u"a.txt", u"b.txt"}},
      {u"???.txt", 0, {u"\u00e9t\u00e9.txt"}},
      {u"*.txt", attr::kHidden, {u"a.txt", u"b.txt", u"hidden.txt", u"\u00e9t\u00e9.txt"}},
      {u"*.txt", attr::kDirectory, {u"a.txt", u"b.txt", u"sub.txt", u"\u00e9t\u00e9.txt"}},
      {u"A*", 0, {u"a.txt", u"ab.log"}},  // letter case does not count
      {u"sub.txt", 0, {}},
      {u"sub.txt\\", 55, {u"."}},
      {u"sub.txt\\", 0, {}},
      {u"none\\*", 55, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8ForDisplay(c.pattern) + " mask " + std::to_string(c.mask));
    std::vector<Text> found = DirSearch(PathOf(c.pattern), c.mask);
    std::sort(found.begin(), found.end());  // the order is the file system's
    EXPECT_EQ(found, c.found);
  }
  EXPECT_EQ(ErrorOf([] { DirSearch(u"", 0); }), 52);
  EXPECT_EQ(NativeSeparator(), u'\\');
}

}  // namespace
}  // namespace velmora
