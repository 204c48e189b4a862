// Files by name on real files in a fresh folder: the rename that never
// replaces (every method), trailing dots, byte names, attributes and search.
#include "platform/fs/filesystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "test_files.h"

namespace velmora {
namespace {

using testing::ErrorOf;

class FilesystemTest : public testing::TempFolderTest {
 protected:
  FilesystemTest() : TempFolderTest("velmora-fs-") {}

 public:
  /// True when the folder ignores letter case (a casefold mount given as TMPDIR).
  bool CaseInsensitive() const {
    Write("CaseProbe", "");
    const bool folded = Exists("caseprobe");
    ::unlink(Native("CaseProbe").c_str());
    return folded;
  }
};

const NoReplaceMethod kAllMethods[] = {NoReplaceMethod::Auto, NoReplaceMethod::Atomic,
                                       NoReplaceMethod::LinkUnlink,
                                       NoReplaceMethod::CheckThenRename};

TEST_F(FilesystemTest, RenameMovesTheFileWithEveryMethod) {
  for (NoReplaceMethod method : kAllMethods) {
    SCOPED_TRACE(static_cast<int>(method));
    Write("old.txt", "content");
    RenameNoReplace(PathOf("old.txt"), PathOf("new.txt"), method);
    EXPECT_FALSE(Exists("old.txt"));
    EXPECT_EQ(Read("new.txt"), "content");
    ::unlink(Native("new.txt").c_str());
  }
}

TEST_F(FilesystemTest, ExistingTargetIs58AndBothFilesStayByteIdentical) {
  struct Case {
    const char* what;
    std::function<void(FilesystemTest&)> makeTarget;
  };
  const Case cases[] = {
      {"other file", [](FilesystemTest& t) { t.Write("b.txt", "target\r\nbytes\xff"); }},
      {"hard link of the source",
       [](FilesystemTest& t) {
         ASSERT_EQ(::link(t.Native("a.txt").c_str(), t.Native("b.txt").c_str()), 0);
       }},
      {"dangling symbolic link",
       [](FilesystemTest& t) { ASSERT_EQ(::symlink("nowhere", t.Native("b.txt").c_str()), 0); }},
      {"folder", [](FilesystemTest& t) { t.MakeFolder("b.txt"); }},
  };
  for (const Case& c : cases) {
    for (NoReplaceMethod method : kAllMethods) {
      SCOPED_TRACE(std::string(c.what) + " method " + std::to_string(static_cast<int>(method)));
      Reset();
      Write("a.txt", "source\n");
      c.makeTarget(*this);
      const auto before = std::filesystem::symlink_status(Native("b.txt")).type();
      const std::optional<std::string> targetBytes =
          before == std::filesystem::file_type::regular ? Read("b.txt") : std::nullopt;
      EXPECT_EQ(ErrorOf([&] { RenameNoReplace(PathOf("a.txt"), PathOf("b.txt"), method); }),
                err::kFileAlreadyExists);
      EXPECT_EQ(Read("a.txt"), "source\n");
      EXPECT_EQ(std::filesystem::symlink_status(Native("b.txt")).type(), before);
      if (before == std::filesystem::file_type::regular) {
        EXPECT_EQ(Read("b.txt"), targetBytes);
      }
    }
  }
}

TEST_F(FilesystemTest, TrailingDotsOfTheNewNameAreDropped) {
  struct Case {
    std::string from, to;
    int error;
    std::vector<std::string> after;
  };
  const Case cases[] = {
      {"README", "README.", 0, {"README"}},  // nothing left to change
      {"README", "README...", 0, {"README"}},
      {"a.txt", "new.", 0, {"new"}},
      {"a.txt", ".hidden.", 0, {".hidden"}},
      {"a.txt", "x. y..", 0, {"x. y"}},
      {"a.txt", ".", 52, {"a.txt"}},
      {"a.txt", "..", 52, {"a.txt"}},
      {"a.txt", "...", 52, {"a.txt"}},
      {"a.txt", "two\nlines", 52, {"a.txt"}},  // control characters: no name holds them
      {"a.txt", "tab\tname", 52, {"a.txt"}},
      {"missing", "missing.", 53, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from + " -> " + c.to);
    Reset();
    if (c.from != "missing") Write(c.from, "x");
    EXPECT_EQ(ErrorOf([&] { RenameNoReplace(PathOf(c.from), PathOf(c.to)); }), c.error);
    EXPECT_EQ(Names(), c.after);
  }
}

TEST_F(FilesystemTest, RenameFailuresKeepTheFile) {
  Write("a.txt", "x");
  struct Case {
    Text from, to;
    int error;
  };
  const Case cases[] = {
      {PathOf("none.txt"), PathOf("b.txt"), 53},
      {PathOf("no/none.txt"), PathOf("b.txt"), 76},
      {PathOf("a.txt"), PathOf("no/b.txt"), 76},
      {PathOf("a.txt"), u"", 52},
      {u"", PathOf("b.txt"), 52},
      {PathOf("a.txt"), PathOf("b") + Text(u"\0c.txt", 6), 52},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8ForDisplay(c.from) + " -> " + ToUtf8ForDisplay(c.to));
    EXPECT_EQ(ErrorOf([&] { RenameNoReplace(c.from, c.to); }), c.error);
    EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
  }
}

TEST_F(FilesystemTest, NamesThatAreNotUtf8RenameLosslessly) {
  Write("old\xff\xfe.bin", "bytes");
  const Text from = PathOf("old\xff\xfe.bin");
  const Text to = from.substr(0, from.size() - 4) + u"\xdc80-\u00e9.bin";
  for (NoReplaceMethod method : kAllMethods) {
    SCOPED_TRACE(static_cast<int>(method));
    RenameNoReplace(from, to, method);
    EXPECT_EQ(Read("old\xff\xfe\x80-\xc3\xa9.bin"), "bytes");
    RenameNoReplace(to, from, method);
    EXPECT_EQ(Read("old\xff\xfe.bin"), "bytes");
  }
}

TEST_F(FilesystemTest, FoldersRenameToo) {
  MakeFolder("sub");
  Write("sub/inner.txt", "x");
  RenameNoReplace(PathOf("sub"), PathOf("moved"));
  EXPECT_EQ(Read("moved/inner.txt"), "x");
}

TEST_F(FilesystemTest, CaseOnlyRenameOnCaseInsensitiveFolder) {
  if (!CaseInsensitive()) GTEST_SKIP() << "needs TMPDIR on a case-insensitive file system";
  for (NoReplaceMethod method : kAllMethods) {
    SCOPED_TRACE(static_cast<int>(method));
    Reset();
    // A method forced on a file system without it (no hard links on FAT)
    // fails any rename: it has nothing to show here.
    Write("probe", "");
    if (ErrorOf([&] { RenameNoReplace(PathOf("probe"), PathOf("probed"), method); }) != 0) continue;
    ::unlink(Native("probed").c_str());
    Write("Report.txt", "r");
    Write("Other.txt", "o");
    RenameNoReplace(PathOf("Report.txt"), PathOf("report.txt"), method);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Other.txt", "report.txt"}));
    EXPECT_EQ(ErrorOf([&] { RenameNoReplace(PathOf("report.txt"), PathOf("OTHER.txt"), method); }),
              err::kFileAlreadyExists);
    EXPECT_EQ(Read("report.txt"), "r");
  }
}

TEST_F(FilesystemTest, KillLengthAndAttributes) {
  Write("plain.txt", "12345");
  Write(".hidden", "");
  Write("locked.txt", "");
  ::chmod(Native("locked.txt").c_str(), 0444);
  MakeFolder("folder");
  MakeFolder(".cache");
  struct Case {
    std::string name;
    int attributes;  // -1: the error below
    int error;
  };
  const Case cases[] = {
      {"plain.txt", attr::kNormal, 0},
      {".hidden", attr::kHidden, 0},
      {"locked.txt", attr::kReadOnly, 0},
      {"folder", attr::kDirectory, 0},
      {"folder/", attr::kDirectory, 0},
      {".cache", attr::kDirectory | attr::kHidden, 0},
      {"folder/.", attr::kDirectory, 0},
      {"none", -1, 53},
      {"none/x", -1, 76},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.attributes >= 0) {
      EXPECT_EQ(GetAttr(PathOf(c.name)), c.attributes);
    } else {
      EXPECT_EQ(ErrorOf([&] { GetAttr(PathOf(c.name)); }), c.error);
    }
  }
  EXPECT_EQ(FileLen(PathOf("plain.txt")), 5);
  EXPECT_EQ(ErrorOf([&] { FileLen(PathOf("none")); }), 53);
  EXPECT_EQ(ErrorOf([&] { Kill(PathOf("folder")); }), 75);
  EXPECT_EQ(ErrorOf([&] { Kill(PathOf("none")); }), 53);
  Kill(PathOf("plain.txt"));
  EXPECT_FALSE(PathExists(PathOf("plain.txt")));
  EXPECT_TRUE(PathExists(PathOf("folder")));
  EXPECT_FALSE(PathExists(u""));
}

TEST_F(FilesystemTest, DirSearchMatchesWildcardsAndAttributes) {
  for (const char* name : {"a.txt", "b.txt", "ab.log", "x[1].txt", ".hidden.txt"}) Write(name, "");
  MakeFolder("sub.txt");
  Write("\xe9t\xe9.txt", "");  // Latin-1 bytes: not UTF-8
  struct Case {
    std::string pattern;
    int mask;
    std::vector<Text> found;
  };
  const Case cases[] = {
      {"*.txt", 0, {u"a.txt", u"b.txt", u"x[1].txt", u"\xdce9t\xdce9.txt"}},
      {"?.txt", 0, {u"a.txt", u"b.txt"}},
      {"?.txt", attr::kHidden, {u"a.txt", u"b.txt"}},
      {"???.txt", 0, {u"\xdce9t\xdce9.txt"}},
      {"*.txt", attr::kDirectory | attr::kHidden,
       {u".hidden.txt", u"a.txt", u"b.txt", u"sub.txt", u"x[1].txt", u"\xdce9t\xdce9.txt"}},
      {"x[1].txt", 0, {u"x[1].txt"}},
      {"a*", 0, {u"a.txt", u"ab.log"}},
      {"*.*", 0, {u"a.txt", u"ab.log", u"b.txt", u"x[1].txt", u"\xdce9t\xdce9.txt"}},
      {"sub.txt", 0, {}},
      {"sub.txt", 55, {u"sub.txt"}},
      {"sub.txt/", 55, {u"."}},
      {"sub.txt/", 0, {}},
      {"", 55, {u"."}},  // the temporary folder itself, written with its trailing slash
      {"none/*", 55, {}},
      {"nothing*", 55, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern + " mask " + std::to_string(c.mask));
    EXPECT_EQ(DirSearch(PathOf(c.pattern), c.mask), c.found);
  }
  EXPECT_EQ(ErrorOf([] { DirSearch(u"", 0); }), 52);
  EXPECT_EQ(NativeSeparator(), u'/');
}

}  // namespace
}  // namespace velmora
