// Time and memory of the title readers on 1 GiB files: a reader must answer
// at once on a huge file whose answer is fixed early, and walk a file of
// unusable lines at page-cache speed without holding it. Prints one row per
// case and exits with 1 when a limit is missed.
//
//   title_bench [folder] [size in MiB]    (defaults: the temp folder, 1024)
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/codec/codec.h"
#include "transform/title.h"

namespace fs = std::filesystem;
using velmora::Text;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// A kB figure of /proc/self/status; -1 where the system has none.
long long StatusKb(const std::string& field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stoll(line.substr(field.size() + 1));
  }
  return -1;
}

// Starts a new peak: the kernel resets VmHWM to the current resident size.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Writes `piece` again and again until the file holds `bytes` bytes, with
// `head` in front.
void WriteFile(const fs::path& path, const std::string& head, const std::string& piece,
               std::uint64_t bytes) {
  std::string block;
  while (block.size() < (1u << 20)) block += piece;
  block.resize((1u << 20) / piece.size() * piece.size());
  std::ofstream out(path, std::ios::binary);
  out << head;
  std::uint64_t left = bytes - head.size();
  while (left > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
    out.write(block.data(), static_cast<std::streamsize>(n));
    left -= n;
  }
}

struct Figures {
  double worstMs = 0;
  double bestMs = 1e300;
  double growthMiB = 0;  // largest growth of the resident size over one call
};

Figures Measure(const std::function<Text()>& read, const Text& expected, int runs, bool& ok) {
  Figures f;
  for (int i = 0; i < runs; ++i) {
    const long long before = StatusKb("VmRSS");
    ResetPeak();
    const auto start = std::chrono::steady_clock::now();
    const Text got = read();
    const auto stop = std::chrono::steady_clock::now();
    const long long peak = StatusKb("VmHWM");
    const double ms = std::chrono::duration<double, std::milli>(stop - start).count();
    f.worstMs = std::max(f.worstMs, ms);
    f.bestMs = std::min(f.bestMs, ms);
    if (before >= 0 && peak >= 0) f.growthMiB = std::max(f.growthMiB, (peak - before) / 1024.0);
    if (got != expected) {
      std::printf("  wrong result: \"%s\"\n", velmora::ToUtf8ForDisplay(got).c_str());
      ok = false;
    }
  }
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  const std::uint64_t size = (argc > 2 ? std::stoull(argv[2]) : 1024) << 20;
  const fs::path dir = base / ("velmora-title-bench-" + std::to_string(std::random_device{}()));
  fs::create_directory(dir);
  const Text path = velmora::FromNativePath((dir / "big").string());

  struct Case {
    const char* name;
    std::string head, piece;
    Text html, text;
    double limitMs;  // for both readers; 0: throughput case
  };
  const std::vector<Case> cases = {
      {"one line, no title", "", "abcdefgh", u"", u"", 50},
      {"one line, title at 100", std::string(100, 'x') + "<title>Big Title</title>", "abcdefgh",
       u"Big Title", u"", 50},
      {"short lines, no title", "", "short line of text\r\n", u"", u"short line of text", 50},
      {"unusable lines ???", "", "???\r\n", u"", u"", 0},
  };
  constexpr double kGrowthLimitMiB = 16;
  constexpr double kLeastMBps = 500;
  bool ok = true;
  std::printf("file size %.0f MiB, folder %s\n", size / kMiB, dir.string().c_str());
  std::printf("%-24s %-6s %10s %10s %12s %10s\n", "case", "reader", "best ms", "worst ms",
              "growth MiB", "MB/s");
  for (const Case& c : cases) {
    WriteFile(dir / "big", c.head, c.piece, size);
    const int runs = c.limitMs > 0 ? 5 : 3;
    if (c.limitMs == 0) velmora::GetTextTitle(path, 100);  // bring the file into the page cache
    const Figures html = Measure([&] { return velmora::GetHtmlTitle(path, 100); }, c.html, runs, ok);
    const Figures text = Measure([&] { return velmora::GetTextTitle(path, 100); }, c.text, runs, ok);
    for (const auto& [reader, f] : {std::pair{"html", html}, std::pair{"text", text}}) {
      const double mbps = size / 1e6 / (f.worstMs / 1000);
      const bool mustBeQuick = c.limitMs > 0 || std::string(reader) == "html";
      std::printf("%-24s %-6s %10.2f %10.2f %12.2f %10s\n", c.name, reader, f.bestMs, f.worstMs,
                  f.growthMiB, mustBeQuick ? "-" : std::to_string(static_cast<long>(mbps)).c_str());
      if (mustBeQuick && f.worstMs > (c.limitMs > 0 ? c.limitMs : 50)) ok = false;
      if (!mustBeQuick && mbps < kLeastMBps) ok = false;
      if (f.growthMiB > kGrowthLimitMiB) ok = false;
    }
  }
  fs::remove_all(dir);
  std::printf("%s\n", ok ? "all limits met" : "LIMIT MISSED");
  return ok ? 0 : 1;
}
