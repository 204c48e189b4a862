#include "platform/errors/errors.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace velmora {
namespace {

TEST(ErrorsTest, IgnoreRecordsTheLastErrorAndGoesOn) {
  ErrState state;
  int steps = 0;
  EXPECT_EQ(IgnoreErrors(state, [&] { Raise(err::kFileAlreadyExists); }), 58);
  EXPECT_EQ(IgnoreErrors(state, [&] { ++steps; }), 0);
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(state.number, 58);  // a later good step does not clear it
  EXPECT_EQ(state.description, u"File already exists");
  state.Clear();
  EXPECT_EQ(state.number, 0);
}

TEST(ErrorsTest, TrapGivesTheFallback) {
  EXPECT_EQ(TrapErrors([]() -> Text { Raise(err::kOverflow); }, Text(u"empty")), u"empty");
  EXPECT_EQ(TrapErrors([]() -> bool { throw std::bad_alloc(); }, false), false);
  EXPECT_EQ(TrapErrors([] { return 3; }, 0), 3);
}

TEST(ErrorsTest, ErrnoMapsOntoClassicNumbers) {
  struct Case {
    int errnoValue, number;
  } cases[] = {{ENOENT, 53}, {EEXIST, 58}, {EACCES, 70}, {EPERM, 70}, {ENOTDIR, 76},
               {ENOSPC, 61}, {EMFILE, 67}, {EISDIR, 75}, {EIO, 57}};
  for (const Case& c : cases) EXPECT_EQ(ErrorFromErrno(c.errnoValue), c.number) << c.errnoValue;
  try {
    RaiseErrno(ENOENT);
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), 53);
    EXPECT_EQ(e.Description(), u"File not found");
  }
}

}  // namespace
}  // namespace velmora
