// Application facts common to every system: the range of the random numbers.
#include "platform/application/application.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

TEST(ApplicationTest, RndStaysInUnitIntervalAndRandomizeReseeds) {
  Randomize();
  double sum = 0;
  std::vector<double> first;
  for (int i = 0; i < 10000; ++i) {
    const double r = Rnd();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    sum += r;
    if (i < 4) first.push_back(r);
  }
  EXPECT_NEAR(sum / 10000, 0.5, 0.05);
  Randomize();
  std::vector<double> second;
  for (int i = 0; i < 4; ++i) second.push_back(Rnd());
  EXPECT_NE(first, second);
}

}  // namespace
}  // namespace velmora
