// Runs every registered window test class; the exit code counts failures.
#include <QApplication>
#include <QtTest>

#include "registry.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  int failures = 0;
  for (const auto& make : velmora::testing::UiTests()) {
    std::unique_ptr<QObject> test = make();
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
