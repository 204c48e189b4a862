// Windows error codes mapped onto the run-time error numbers.
#include "platform/errors/win_error.h"

#include <windows.h>

#include "platform/errors/errors.h"

namespace velmora {

int ErrorFromWin32(unsigned long code) {
  switch (code) {
    case ERROR_SUCCESS: return 0;
    case ERROR_FILE_NOT_FOUND: return err::kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: return err::kPathNotFound;
    case ERROR_TOO_MANY_OPEN_FILES: return err::kTooManyFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return err::kPermissionDenied;
    case ERROR_INVALID_HANDLE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE: return err::kBadFileNameOrNumber;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return err::kOutOfMemory;
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return err::kDeviceUnavailable;
    case ERROR_NOT_SAME_DEVICE: return err::kCantRenameWithDifferentDrive;
    case ERROR_NOT_READY: return err::kDiskNotReady;
    case ERROR_HANDLE_EOF: return err::kInputPastEndOfFile;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return err::kDiskFull;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return err::kFileAlreadyExists;
    case ERROR_DIR_NOT_EMPTY: return err::kPathFileAccessError;
    case ERROR_INVALID_PARAMETER: return err::kInvalidProcedureCall;
    default: return err::kDeviceIOError;
  }
}

void RaiseLastError() { Raise(ErrorFromWin32(GetLastError())); }

}  // namespace velmora
