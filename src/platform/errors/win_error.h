// Windows error codes (GetLastError) mapped onto the run-time error numbers;
// the one place that does so, as ErrorFromErrno does for errno.
#pragma once

namespace velmora {

/// The run-time error number for a Windows error code.
int ErrorFromWin32(unsigned long code);
/// Raise(ErrorFromWin32(GetLastError())).
[[noreturn]] void RaiseLastError();

}  // namespace velmora
