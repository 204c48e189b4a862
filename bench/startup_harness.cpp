// Start-up time and memory of the program against a bare Qt window with the
// same controls, under one private Xvfb. A run lasts from just before fork to
// the moment the X server reports the keyboard focus on the child's window
// with its final title: both programs set the title and select and focus the
// base name in their activation handler. The child is then killed and its
// peak RSS read from wait4. Runs alternate (ABBA) after a warm-up.
//
//   velmora_startup_bench [--runs N] [--warmup N] [PROGRAM BARE_WINDOW]
//   velmora_startup_bench --words-mb N [--runs N] [--warmup N] [PROGRAM]
//   velmora_startup_bench --wine [--runs N] [--warmup N] VELMORA_EXE BARE_WINDOW_EXE
//
// With --wine both are Windows programs, each in a folder with the Qt DLLs,
// started by wine on a Windows path; Wine's X11 driver makes their windows
// (goal: at most 1.05, since Wine's own start-up is in both). A run ends when
// the child's window is on screen with its final title (Wine moves no X focus
// without a window manager). The prefix is
// $WINEPREFIX, or a fresh one made before the first run whose server is kept
// running, as on a desktop where Wine is in use.
// With --words-mb the program is measured against itself: once with an
// N MB words.txt in its settings folder and once without (goal: at most
// 1.10 in time and peak memory, since only the head of the list is read).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kTarget = 1.03;
constexpr double kWordsTarget = 1.10;  // a huge words.txt against none
constexpr double kWineTarget = 1.05;   // both programs under Wine
constexpr long kPollNs = 500'000;      // 0.5 ms between focus checks
constexpr double kRunTimeoutS = 30.0;  // a window that never activates
const char kTitle[] = "Velmora";       // the title both windows set on activation

// A window can vanish between the focus query and the property read.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

double Seconds(const timeval& tv) { return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6; }

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

/// A private Xvfb on a display it picks itself; stopped on destruction.
class Xvfb {
 public:
  /// Starts the server and waits until it accepts clients; false on failure.
  bool Start() {
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      const int null = open("/dev/null", O_WRONLY);
      if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
      }
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its display number to the pipe once it is ready.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    const double deadline = Now() + 15;
    while (Now() < deadline && poll(&p, 1, 100) >= 0) {
      if ((p.revents & (POLLIN | POLLHUP)) == 0) continue;
      char c = 0;
      const ssize_t n = read(fds[0], &c, 1);
      if (n <= 0 || c == '\n') break;
      number += c;
    }
    close(fds[0]);
    if (number.empty()) return false;
    display_ = ":" + number;
    return true;
  }
  ~Xvfb() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

/// The sample file the programs open, in a fresh folder removed on destruction.
class SampleFile {
 public:
  SampleFile() {
    std::string pattern = (fs::temp_directory_path() / "velmora-startup-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    folder_ = pattern;
    path_ = (folder_ / "Holiday photos 2023 - beach.jpg").string();
    std::ofstream(path_) << "not really a picture\n";
  }
  ~SampleFile() {
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
  }
  const std::string& Path() const { return path_; }
  /// Where the programs' own output goes, so it does not mix with the figures.
  std::string LogPath() const { return (folder_ / "output.log").string(); }
  /// The sample file as a Windows program sees it under Wine's Z: drive.
  std::string WindowsPath() const {
    std::string path = "Z:" + path_;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }
  /// A Wine prefix of its own, made on first use.
  std::string WinePrefix() const { return (folder_ / "wine").string(); }
  /// A settings folder holding velmora/words.txt of about `megabytes` MB of
  /// short names, or an empty settings folder for 0.
  std::string ConfigHome(int megabytes) const {
    const fs::path home = folder_ / ("config-" + std::to_string(megabytes));
    fs::create_directories(home / "velmora");
    if (megabytes > 0) {
      std::ofstream words(home / "velmora" / "words.txt", std::ios::binary);
      const std::size_t target = static_cast<std::size_t>(megabytes) * 1000 * 1000;
      std::string block;
      for (std::size_t written = 0, i = 0; written < target; ++i) {
        block += "Often used name ";
        block += std::to_string(i);
        block += "\r\n";
        if (block.size() > 1 << 20) {
          words << block;
          written += block.size();
          block.clear();
        }
      }
    }
    return home.string();
  }

 private:
  fs::path folder_;
  std::string path_;
};

struct Run {
  double seconds;     // exec to active window
  long maxRssKb;      // peak resident set
  double cpuSeconds;  // user + system time of the child, steadier on a busy machine
};

class Bench {
 public:
  explicit Bench(Display* display, bool wine) : dpy_(display), wine_(wine) {
    netWmPid_ = XInternAtom(dpy_, "_NET_WM_PID", False);
    netWmName_ = XInternAtom(dpy_, "_NET_WM_NAME", False);
    utf8_ = XInternAtom(dpy_, "UTF8_STRING", False);
  }

  /// One start of `program` on `file`, or nothing when it died or never
  /// activated. A non-empty `configHome` becomes the child's XDG_CONFIG_HOME.
  std::optional<Run> Once(const std::string& program, const std::string& file, const std::string& log,
                          const std::string& configHome = "") {
    const double start = Now();
    const pid_t child = fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (!configHome.empty()) setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
      const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (out >= 0) {
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
      }
      if (wine_) {
        // wine execs its loader, so the window's _NET_WM_PID is this child.
        execlp("wine", "wine", program.c_str(), file.c_str(), static_cast<char*>(nullptr));
      } else {
        execl(program.c_str(), program.c_str(), file.c_str(), static_cast<char*>(nullptr));
      }
      _exit(127);
    }
    std::optional<Run> run;
    const Window root = DefaultRootWindow(dpy_);
    while (Now() - start < kRunTimeoutS) {
      Window focus = None;
      int revert = 0;
      XGetInputFocus(dpy_, &focus, &revert);
      const bool ready = wine_ ? TitledWindowOf(child)
                               : focus != None && focus != PointerRoot && focus != root && Ready(focus, child);
      if (ready) {
        run = Run{Now() - start, 0, 0};
        break;
      }
      if (waitpid(child, nullptr, WNOHANG) == child) return std::nullopt;
      const timespec pause{0, kPollNs};
      nanosleep(&pause, nullptr);
    }
    kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    XSync(dpy_, False);
    if (run) {
      run->maxRssKb = usage.ru_maxrss;
      run->cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    }
    return run;
  }

 private:
  /// Whether `window` (or the top-level window holding it) is the child's, with its final title.
  bool Ready(Window window, pid_t child) {
    // The focus may be on a window inside the top level: walk up.
    for (int depth = 0; depth < 8 && window != None; ++depth) {
      long pid = -1;
      if (PidOf(window, pid)) return pid == child && TitleOf(window) == kTitle;
      Window root = None, parent = None, *children = nullptr;
      unsigned count = 0;
      if (!XQueryTree(dpy_, window, &root, &parent, &children, &count)) return false;
      if (children != nullptr) XFree(children);
      if (parent == root) return false;
      window = parent;
    }
    return false;
  }

  /// Whether the child shows a top-level window with its final title. Without
  /// a window manager Wine activates its window but leaves the X focus where
  /// it was; the title is set in the same activation handler that selects
  /// and focuses the base name.
  bool TitledWindowOf(pid_t child) {
    Window root = None, parent = None, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy_, DefaultRootWindow(dpy_), &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
      long pid = -1;
      XWindowAttributes attributes{};
      found = PidOf(children[i], pid) && pid == child && TitleOf(children[i]) == kTitle &&
              XGetWindowAttributes(dpy_, children[i], &attributes) && attributes.map_state == IsViewable;
    }
    if (children != nullptr) XFree(children);
    return found;
  }

  bool PidOf(Window window, long& pid) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(dpy_, window, netWmPid_, 0, 1, False, XA_CARDINAL, &type, &format,
                                          &items, &after, &data);
    const bool found = status == Success && type == XA_CARDINAL && format == 32 && items == 1;
    if (found) pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    if (data != nullptr) XFree(data);
    return found;
  }

  std::string TitleOf(Window window) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(dpy_, window, netWmName_, 0, 256, False, utf8_, &type, &format, &items, &after,
                           &data) == Success &&
        type == utf8_ && format == 8 && data != nullptr) {
      title.assign(reinterpret_cast<char*>(data), items);
    }
    if (data != nullptr) XFree(data);
    return title;
  }

  Display* dpy_;
  bool wine_;
  Atom netWmPid_;
  Atom netWmName_;
  Atom utf8_;
};

struct Summary {
  double median, min;
  long maxRssKb, medianRssKb;
  double medianCpu;
};

Summary Summarise(std::vector<Run> runs) {
  std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  const std::size_t n = runs.size();
  const double median = n % 2 ? runs[n / 2].seconds : (runs[n / 2 - 1].seconds + runs[n / 2].seconds) / 2;
  std::vector<long> rss;
  for (const Run& r : runs) rss.push_back(r.maxRssKb);
  std::sort(rss.begin(), rss.end());
  std::vector<double> cpu;
  for (const Run& r : runs) cpu.push_back(r.cpuSeconds);
  std::sort(cpu.begin(), cpu.end());
  return {median, runs.front().seconds, rss.back(), rss[n / 2], cpu[n / 2]};
}

int Usage() {
  std::fprintf(stderr,
               "usage: velmora_startup_bench [--runs N] [--warmup N] [PROGRAM BARE_WINDOW]\n"
               "       velmora_startup_bench --words-mb N [--runs N] [--warmup N] [PROGRAM]\n"
               "       velmora_startup_bench --wine [--runs N] [--warmup N] VELMORA_EXE BARE_WINDOW_EXE\n");
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  int runs = -1;  // 20; 40 under Wine, whose start-up varies more from run to run
  int warmup = 3;
  int wordsMb = 0;
  bool wine = false;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--runs" || arg == "--warmup") && i + 1 < argc) {
      (arg == "--runs" ? runs : warmup) = std::atoi(argv[++i]);
    } else if (arg == "--words-mb" && i + 1 < argc) {
      wordsMb = std::atoi(argv[++i]);
      if (wordsMb < 1) return Usage();
    } else if (arg == "--wine") {
      wine = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else {
      paths.push_back(arg);
    }
  }
  if (wine && (wordsMb > 0 || paths.size() != 2)) return Usage();
  if (runs == -1) runs = wine ? 40 : 20;
  if (paths.empty()) paths = {VELMORA_PROGRAM, VELMORA_BARE_WINDOW};
  if (wordsMb > 0 && paths.size() == 2) paths.pop_back();
  if (paths.size() != (wordsMb > 0 ? 1u : 2u) || runs < 1 || warmup < 0) return Usage();
  const std::string program = paths[0];
  const std::string bare = wordsMb > 0 ? paths[0] : paths[1];

  Xvfb xvfb;
  if (!xvfb.Start()) {
    std::fprintf(stderr, "could not start Xvfb (install xvfb)\n");
    return 1;
  }
  setenv("DISPLAY", xvfb.Display().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("WAYLAND_DISPLAY");
  Display* dpy = XOpenDisplay(xvfb.Display().c_str());
  if (dpy == nullptr) {
    std::fprintf(stderr, "could not open display %s\n", xvfb.Display().c_str());
    return 1;
  }
  fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC);
  XSetErrorHandler(IgnoreXError);

  SampleFile sample;
  if (sample.Path().empty()) {
    std::fprintf(stderr, "could not create the sample file\n");
    return 1;
  }

  bool ownPrefix = false;
  if (wine) {
    ownPrefix = getenv("WINEPREFIX") == nullptr;
    if (ownPrefix) setenv("WINEPREFIX", sample.WinePrefix().c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    // The prefix made up front, and for our own prefix a server kept
    // running: neither is start-up of the programs measured. A user's prefix
    // keeps its own server, which the warm-up runs start.
    std::error_code made;
    std::filesystem::create_directories(getenv("WINEPREFIX"), made);  // the server starts in it
    if ((ownPrefix && std::system("wineserver -p >/dev/null 2>&1") != 0) ||
        std::system("wineboot -i >/dev/null 2>&1") != 0) {
      std::fprintf(stderr, "could not start Wine (install wine and wine64)\n");
      return 1;
    }
  }
  const std::string file = wine ? sample.WindowsPath() : sample.Path();

  // In the word-list comparison "program" has the big list and "bare" none.
  const std::string withWords = wordsMb > 0 ? sample.ConfigHome(wordsMb) : "";
  const std::string withoutWords = wordsMb > 0 ? sample.ConfigHome(0) : "";

  Bench bench(dpy, wine);
  std::vector<Run> timesProgram, timesBare;
  bool failed = false;
  for (int i = 0; i < warmup + runs && !failed; ++i) {
    // ABBA: neither program always runs right after the other.
    const bool programFirst = i % 2 == 0;
    for (int k = 0; k < 2 && !failed; ++k) {
      const bool isProgram = (k == 0) == programFirst;
      const std::string& exe = isProgram ? program : bare;
      std::optional<Run> run =
          bench.Once(exe, file, sample.LogPath(), isProgram ? withWords : withoutWords);
      if (!run) {
        std::fprintf(stderr, "%s did not reach an active window; its output:\n", exe.c_str());
        std::ifstream log(sample.LogPath());
        for (std::string line; std::getline(log, line);) std::fprintf(stderr, "  %s\n", line.c_str());
        failed = true;
      } else if (i >= warmup) {
        (isProgram ? timesProgram : timesBare).push_back(*run);
      }
    }
  }
  XCloseDisplay(dpy);
  // Only our own prefix's server ends: a user's runs their programs.
  if (ownPrefix) (void)std::system("wineserver -k >/dev/null 2>&1");
  if (failed) return 1;

  const Summary p = Summarise(timesProgram);
  const Summary b = Summarise(timesBare);
  const double timeRatio = p.median / b.median;
  const double rssRatio = static_cast<double>(p.maxRssKb) / static_cast<double>(b.maxRssKb);
  const double target = wordsMb > 0 ? kWordsTarget : wine ? kWineTarget : kTarget;
  std::printf("start-up to active window%s, %d runs each after %d warm-up, display %s\n",
              wine ? " under Wine" : "", runs, warmup, xvfb.Display().c_str());
  std::printf("%-16s %10s %8s %12s %12s %15s\n", "", "median ms", "min ms", "CPU ms (med)", "max RSS MiB",
              "median RSS MiB");
  const std::string withName = "words.txt " + std::to_string(wordsMb) + " MB";
  const char* nameA = wordsMb > 0 ? withName.c_str() : wine ? "velmora.exe" : "velmora";
  const char* nameB = wordsMb > 0 ? "no words.txt" : wine ? "bare window.exe" : "bare window";
  for (const auto& [name, s] : {std::pair{nameA, p}, std::pair{nameB, b}}) {
    std::printf("%-16s %10.1f %8.1f %12.1f %12.1f %15.1f\n", name, s.median * 1e3, s.min * 1e3, s.medianCpu * 1e3,
                s.maxRssKb / 1024.0, s.medianRssKb / 1024.0);
  }
  std::printf("ratio time (medians) %.3f, ratio CPU (medians) %.3f, ratio peak RSS %.3f; target <= %.2f: %s\n",
              timeRatio, p.medianCpu / b.medianCpu, rssRatio, target,
              timeRatio <= target && rssRatio <= target ? "met" : "missed");
  return 0;
}
