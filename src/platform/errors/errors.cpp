#include "platform/errors/errors.h"

#include <cerrno>
#include <iterator>

namespace velmora {

namespace {

constexpr bool InOrderOfNumber() {
  for (std::size_t i = 1; i < std::size(kErrorTable); ++i) {
    if (kErrorTable[i - 1].number >= kErrorTable[i].number) return false;
  }
  return true;
}
static_assert(InOrderOfNumber(), "kErrorTable: one row per number, in order");

}  // namespace

Text ErrorDescription(int number) {
  for (const ErrorText& e : kErrorTable) {
    if (e.number == number) return Text(e.description);
  }
  return u"Application-defined or object-defined error";
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, ErrorDescription(number)) {}

RuntimeError::RuntimeError(int number, Text description)
    : number_(number), description_(std::move(description)) {
  what_ = "Run-time error " + std::to_string(number_) + ": " + ToUtf8ForDisplay(description_);
}

void Raise(int number) { throw RuntimeError(number); }
void Raise(int number, Text description) { throw RuntimeError(number, std::move(description)); }

int ErrorFromErrno(int e) {
  switch (e) {
    case 0: return 0;
    case ENOENT: return err::kFileNotFound;
    case ENOTDIR: return err::kPathNotFound;
    case EEXIST:
    case ENOTEMPTY: return err::kFileAlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return err::kPermissionDenied;
    case EISDIR:
    case EBUSY:
    case ELOOP: return err::kPathFileAccessError;
    case ENAMETOOLONG:
    case EBADF: return err::kBadFileNameOrNumber;
    case EXDEV: return err::kCantRenameWithDifferentDrive;
    case ENOSPC:
    case EFBIG:  // a file size limit: no room for this write, as on a full disk
#ifdef EDQUOT
    case EDQUOT:
#endif
      return err::kDiskFull;
    case EMFILE:
    case ENFILE: return err::kTooManyFiles;
    case ENOMEM: return err::kOutOfMemory;
    case EINVAL: return err::kInvalidProcedureCall;
    case ENXIO:
    case ENODEV: return err::kDeviceUnavailable;
    default: return err::kDeviceIOError;
  }
}

void RaiseErrno(int errnoValue) { Raise(ErrorFromErrno(errnoValue)); }

}  // namespace velmora
