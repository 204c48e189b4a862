// Application facts that every platform shares: the application title and the
// clock-seeded random generator.
#include "platform/application/application.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <random>

namespace velmora {

namespace {

std::mutex g_mutex;
Text g_title;
// The fixed default seed gives the same sequence until Randomize, as the
// classic runtime does.
std::mt19937_64 g_random{0x5EED5EEDull};

}  // namespace

void SetAppTitle(const Text& title) {
  std::lock_guard lock(g_mutex);
  g_title = title;
}

Text AppTitle() {
  std::lock_guard lock(g_mutex);
  return g_title;
}

void Randomize() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  std::lock_guard lock(g_mutex);
  g_random.seed(static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

double Rnd() {
  std::lock_guard lock(g_mutex);
  // 53 random bits scaled by 2^-53: never 1.0, unlike a rounded division.
  return static_cast<double>(g_random() >> 11) * 0x1.0p-53;
}

}  // namespace velmora
