// Windows error codes mapped onto the run-time error numbers.
#include "platform/errors/win_error.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/errors/errors.h"

namespace velmora {
namespace {

TEST(WinErrorTest, CodesMapOntoClassicNumbers) {
  struct Case {
    DWORD code;
    int number;
  } cases[] = {
      {ERROR_FILE_NOT_FOUND, 53}, {ERROR_PATH_NOT_FOUND, 76},  {ERROR_ALREADY_EXISTS, 58},
      {ERROR_FILE_EXISTS, 58},    {ERROR_ACCESS_DENIED, 70},   {ERROR_SHARING_VIOLATION, 70},
      {ERROR_INVALID_NAME, 52},   {ERROR_DISK_FULL, 61},       {ERROR_TOO_MANY_OPEN_FILES, 67},
      {ERROR_HANDLE_EOF, 62},     {ERROR_DIR_NOT_EMPTY, 75},   {ERROR_NOT_SAME_DEVICE, 74},
      {ERROR_GEN_FAILURE, 57},    {ERROR_NOT_READY, 71},       {ERROR_BAD_NET_NAME, 68},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorFromWin32(c.code), c.number) << c.code;
  SetLastError(ERROR_FILE_EXISTS);
  try {
    RaiseLastError();
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), 58);
    EXPECT_EQ(e.Description(), u"File already exists");
  }
}

}  // namespace
}  // namespace velmora
