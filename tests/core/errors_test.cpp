#include "platform/errors/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iterator>

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

TEST(ErrorsTest, EveryNumberHasTheRuntimesText) {
  struct Case {
    int number;
    const char16_t* description;
  } cases[] = {
      {5, u"Invalid procedure call or argument"},
      {6, u"Overflow"},
      {7, u"Out of memory"},
      {52, u"Bad file name or number"},
      {53, u"File not found"},
      {54, u"Bad file mode"},
      {55, u"File already open"},
      {57, u"Device I/O error"},
      {58, u"File already exists"},
      {61, u"Disk full"},
      {62, u"Input past end of file"},
      {67, u"Too many files"},
      {68, u"Device unavailable"},
      {70, u"Permission denied"},
      {71, u"Disk not ready"},
      {74, u"Can't rename with different drive"},
      {75, u"Path/File access error"},
      {76, u"Path not found"},
      {0, u"Application-defined or object-defined error"},
      {1000, u"Application-defined or object-defined error"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorDescription(c.number), c.description) << c.number;
    EXPECT_EQ(RuntimeError(c.number).Description(), c.description) << c.number;
  }
  EXPECT_EQ(std::size(kErrorTable), std::size(cases) - 2);  // the table holds no number untested here
}

TEST(ErrorsTest, ErrnoMapsOntoClassicNumbers) {
  struct Case {
    int errnoValue, number;
  } cases[] = {{ENOENT, 53}, {EEXIST, 58}, {EACCES, 70}, {EPERM, 70}, {ENOTDIR, 76},
               {ENOSPC, 61}, {EMFILE, 67}, {EISDIR, 75}, {EIO, 57},
               {EXDEV, 74}, {ENXIO, 68}, {ENODEV, 68}, {EINVAL, 5}, {ENOMEM, 7}};
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
