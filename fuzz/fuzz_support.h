// What the fuzz targets share: a failed property aborts with a readable
// message (libFuzzer then keeps the input), inputs become text in two ways,
// and the file readers get a real file to read.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <string_view>
#include <unistd.h>

#include "platform/codec/codec.h"
#include "platform/text/text.h"

namespace velmora::fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
  std::abort();
}

#define FUZZ_CHECK(cond) \
  do { \
    if (!(cond)) ::velmora::fuzz::Fail(__FILE__, __LINE__, #cond); \
  } while (0)

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Text from fuzz bytes. A leading NUL byte makes the rest raw UTF-16 code
// units (little-endian), so lone surrogates and any BMP character are
// reachable; otherwise the bytes are UTF-8 as files hold it, which keeps
// seeds readable and mutations ASCII-friendly.
inline Text TextFromInput(std::string_view bytes) {
  if (!bytes.empty() && bytes[0] == '\0') {
    Text units;
    for (std::size_t i = 1; i + 1 < bytes.size(); i += 2) {
      units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return units;
  }
  return DecodeText(bytes);
}

inline bool Contains(TextView s, TextView part) { return s.find(part) != TextView::npos; }

// One file in a private temporary folder, rewritten for every input; the
// folder goes when the process ends normally.
class ScratchFile {
 public:
  ScratchFile() {
    const char* tmp = std::getenv("TMPDIR");
    folder_ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/velmora-fuzz-XXXXXX";
    if (mkdtemp(folder_.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    native_ = folder_ + "/input";
    path_ = FromNativePath(native_);
  }
  ~ScratchFile() {
    unlink(native_.c_str());
    rmdir(folder_.c_str());
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Replaces the file's contents with `bytes`; returns its path as text.
  const Text& Write(std::string_view bytes) {
    std::FILE* f = std::fopen(native_.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
        std::fclose(f) != 0) {
      std::perror("writing the scratch file");
      std::abort();
    }
    return path_;
  }

 private:
  std::string folder_;
  std::string native_;
  Text path_;
};

// `unit` repeated until the result holds exactly `size` bytes (the last copy
// cut): a small input grown into a file large enough to reach the readers'
// limits. An empty unit grows into spaces.
inline std::string Grown(std::string_view unit, std::size_t size) {
  if (unit.empty()) return std::string(size, ' ');
  std::string out;
  out.reserve(size);
  while (out.size() < size) out.append(unit.substr(0, size - out.size()));
  return out;
}

}  // namespace velmora::fuzz
