// Lets several QtTest classes share one test program.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace velmora::testing {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<TestFactory>& UiTests() {
  static std::vector<TestFactory> tests;
  return tests;
}

template <class T>
int RegisterUiTest() {
  UiTests().push_back([] { return std::make_unique<T>(); });
  return 0;
}

}  // namespace velmora::testing
