// Time and peak memory of velmora-undo on crafted logs up to the largest it
// reads (16 MiB), each run as its own process in a folder of its own, so that
// the program finds the log beside itself. Goals: any log listed in under 1 s
// and 64 MiB; a plain undo of the newest line of a 16 MiB log within 10 times
// the time on a one-line log, since the older lines are never read.
//
//   velmora_undo_bench [PATH/TO/velmora-undo]
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLargestLog = 16 * 1024 * 1024;

struct Run {
  double seconds = 0;
  long peakKiB = 0;
  int status = -1;
};

double Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

Run RunUndo(const fs::path& program, const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  Run run;
  std::fflush(stdout);
  const double start = Now();
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.seconds = Now() - start;
  run.peakKiB = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

/// `line` again and again up to `bytes`.
std::string Repeated(const std::string& line, std::size_t bytes) {
  std::string out;
  out.reserve(bytes);
  while (out.size() + line.size() <= bytes) out += line;
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path source = fs::absolute(argc > 1 ? argv[1] : VELMORA_UNDO_PROGRAM);
  const fs::path folder = fs::temp_directory_path() / ("velmora-undo-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path program = folder / "velmora-undo";
  fs::copy_file(source, program);
  const fs::path file = folder / "a.txt";
  const std::string plain = "Ren \"" + (folder / "gone.txt").string() + "\" \"old.txt\"\r\n";
  std::string gaps;  // one line of `" "` gaps, as long as the size rule keeps
  for (int i = 0; i < 16000; ++i) gaps += "\" \"";

  // Each log is made only when its turn comes: the forked child starts as a
  // copy of this process, and its peak memory would count them all.
  struct Case {
    const char* what;
    std::function<std::string()> log;
  };
  const std::string gapName = Repeated("\" \"", 160);  // both names of a reading at most 255
  const std::vector<Case> cases = {
      {"64 KB line, 16,000 gaps", [&] { return "Ren \"/d/x" + gaps + "\" \"y\"\r\n"; }},
      {"16 MiB line of gaps", [&] { return "Ren \"/d/x" + Repeated("\" \"", kLargestLog - 32) + "\" \"y\"\r\n"; }},
      {"16 MiB of short lines", [&] { return Repeated(plain, kLargestLog); }},
      {"16 MiB of lines of gaps, folder there",
       [&] { return Repeated("Ren \"" + folder.string() + "/x" + gapName + "\" \"y\"\r\n", kLargestLog); }},
      {"16 MiB of blank lines", [] { return std::string(kLargestLog, '\n'); }},
  };
  bool ok = true;
  std::printf("%-40s %9s %9s\n", "--list on", "seconds", "peak MiB");
  for (const Case& c : cases) {
    std::ofstream(folder / "Undo.log", std::ios::binary | std::ios::trunc) << c.log();
    const Run r = RunUndo(program, {"--list"});
    const bool fits = r.seconds < 1.0 && r.peakKiB < 64 * 1024;
    ok = ok && fits;
    std::printf("%-40s %9.3f %9.1f %s\n", c.what, r.seconds, static_cast<double>(r.peakKiB) / 1024,
                fits ? "" : " over the goal");
  }

  // A plain undo: the newest line of a long log against a one-line log.
  const std::string newest = "Ren \"" + file.string() + "\" \"b.txt\"\r\n";
  auto undoTime = [&](std::size_t olderBytes) {
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
      std::ofstream(file) << "a";
      fs::remove(folder / "b.txt");
      std::ofstream(folder / "Undo.log", std::ios::binary | std::ios::trunc)
          << Repeated(plain, olderBytes) << newest;
      const Run r = RunUndo(program, {});
      if (r.status != 0) std::printf("undo failed: status %d\n", r.status);
      best = std::min(best, r.seconds);
    }
    return best;
  };
  const double one = undoTime(0);
  const double large = undoTime(kLargestLog - newest.size());
  const double ratio = large / one;
  std::printf("plain undo: one line %.4f s, 16 MiB log %.4f s, ratio %.2f (goal at most 10)\n", one, large,
              ratio);
  ok = ok && ratio <= 10;
  fs::remove_all(folder);
  return ok ? 0 : 1;
}
