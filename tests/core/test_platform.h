// What tests on real files need from the system, the same on POSIX and
// Windows: a fresh temporary folder, the separator to join names with, and
// environment variables.
#pragma once

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#include "platform/codec/codec.h"

namespace velmora {

#ifdef _WIN32
inline constexpr bool kWindows = true;
inline constexpr char kSep = '\\';
#else
inline constexpr bool kWindows = false;
inline constexpr char kSep = '/';
#endif

/// How file text reads a byte that is no part of UTF-8: kept as U+DC80 + byte
/// on POSIX, where names are bytes; on Windows its character in the system's
/// code page, what an older file meant by it.
inline Text StrayByte(std::uint8_t byte) {
  return Text(1, kWindows ? AnsiChr(byte) : static_cast<char16_t>(0xDC00 + byte));
}

/// Creates a new, empty folder "<prefix><random>" in the system's temporary
/// folder (TMPDIR on POSIX, TEMP on Windows) and returns its native path,
/// without a trailing separator. Never reuses a folder that exists.
inline std::string MakeTempFolder(const std::string& prefix) {
  static std::mt19937_64 random(std::random_device{}() ^
                                static_cast<std::uint64_t>(
                                    std::chrono::steady_clock::now().time_since_epoch().count()));
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix;
    for (int i = 0; i < 8; ++i) name += kDigits[random() % 36];
    const std::filesystem::path folder = base / name;
    std::error_code ec;
    if (std::filesystem::create_directory(folder, ec)) return folder.string();
    if (ec) break;
  }
  throw std::runtime_error("cannot make a temporary folder in " + base.string());
}

/// Sets an environment variable, or removes it when `value` is null.
inline void SetEnv(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value ? value : "");
#else
  if (value) setenv(name, value, 1);
  else unsetenv(name);
#endif
}

}  // namespace velmora
