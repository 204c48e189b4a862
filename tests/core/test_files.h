// What tests on real files share: a fresh temporary folder that goes away with
// the test, whole files read and written as bytes, and the error number a step
// raises.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/files/files.h"
#include "test_platform.h"

namespace velmora::testing {

/// The number of the run-time error that `step` raises, or 0 when it raises none.
inline int ErrorOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

/// The whole content of `file`, or nothing when it cannot be opened.
inline std::optional<std::string> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

/// Makes `bytes` the whole content of `file`; false when it cannot be written.
inline bool WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

/// A fresh folder "<prefix><random>" in the system's temporary folder, removed
/// with all it holds when the object goes; a folder that cannot be removed
/// fails the running test. Names inside it are native bytes, joined to the
/// folder with the native separator and otherwise taken as they are.
class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "velmora-test-")
      : root_(MakeTempFolder(prefix)) {}
  ~TempFolder() {
    std::error_code ec;
    Clear(ec);
    if (ec) ADD_FAILURE() << "cannot remove " << root_ << ": " << ec.message();
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  /// The folder's native path, without a trailing separator.
  const std::string& Root() const { return root_; }
  /// The native path of `relative` inside the folder.
  std::string Native(const std::string& relative) const { return root_ + kSep + relative; }
  /// The path of `relative` inside the folder, as the program sees it.
  Text PathOf(const std::string& relative) const { return FromNativePath(Native(relative)); }

  /// Makes `bytes` the whole content of `relative`; a failure fails the test.
  void Write(const std::string& relative, std::string_view bytes) const {
    if (!WriteBytes(Native(relative), bytes)) ADD_FAILURE() << "cannot write " << Native(relative);
  }
  /// The whole content of `relative`, or nothing when it cannot be opened.
  std::optional<std::string> Read(const std::string& relative) const {
    return ReadBytes(Native(relative));
  }
  /// True when `relative` names anything, a dangling symbolic link included.
  bool Exists(const std::string& relative) const {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(Native(relative), ec));
  }
  void MakeFolder(const std::string& relative) const {
    std::filesystem::create_directory(Native(relative));
  }
  /// The names in the folder `sub` (the folder itself when empty), sorted.
  std::vector<std::string> Names(const std::string& sub = "") const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(Native(sub))) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  /// Empties the folder.
  void Reset() const {
    std::error_code ec;
    Clear(ec);
    if (ec) throw std::filesystem::filesystem_error("cannot empty the folder", root_, ec);
    std::filesystem::create_directory(root_);
  }

 private:
  /// Removes the folder; entries a test made read-only or unreadable are
  /// given back to their owner first, since Windows keeps read-only files.
  void Clear(std::error_code& ec) const {
    namespace fs = std::filesystem;
    const auto mine = fs::perms::owner_all;
    fs::permissions(root_, mine, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(root_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      std::error_code ignored;
      if (!it->is_symlink(ignored)) fs::permissions(it->path(), mine, fs::perm_options::add, ignored);
    }
    fs::remove_all(root_, ec);
  }

  std::string root_;
};

/// A fixture whose every test gets a fresh TempFolder, with its helpers at hand.
class TempFolderTest : public ::testing::Test, public TempFolder {
 protected:
  explicit TempFolderTest(const std::string& prefix) : TempFolder(prefix) {}
};

}  // namespace velmora::testing

namespace velmora {

/// ASCII test data as Text.
inline Text FromAscii(std::string_view ascii) {
  Text out;
  for (char c : ascii) out.push_back(static_cast<unsigned char>(c));
  return out;
}

/// Whether `fileNumber` is open in the process-wide pool of file numbers.
inline bool IsFileOpen(int fileNumber) {
  // FileAttr raises 52 for a number that is not open.
  return TrapErrors(
      [&] {
        FileAttr(fileNumber);
        return true;
      },
      false);
}

/// Closes every number left open, so that no test's files reach the next.
inline void CloseAllFiles() {
  for (int n = 1; n <= 255; ++n) {
    if (IsFileOpen(n)) IgnoreErrors([&] { CloseFile(n); });
  }
}

}  // namespace velmora
