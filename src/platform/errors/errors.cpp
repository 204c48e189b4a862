#include "platform/errors/errors.h"

#include <cerrno>

namespace velmora {

Text ErrorDescription(int number) {
  switch (number) {
    case 5: return u"Invalid procedure call or argument";
    case 6: return u"Overflow";
    case 7: return u"Out of memory";
    case 9: return u"Subscript out of range";
    case 52: return u"Bad file name or number";
    case 53: return u"File not found";
    case 54: return u"Bad file mode";
    case 55: return u"File already open";
    case 57: return u"Device I/O error";
    case 58: return u"File already exists";
    case 61: return u"Disk full";
    case 62: return u"Input past end of file";
    case 67: return u"Too many files";
    case 68: return u"Device unavailable";
    case 70: return u"Permission denied";
    case 71: return u"Disk not ready";
    case 74: return u"Can't rename with different drive";
    case 75: return u"Path/File access error";
    case 76: return u"Path not found";
    default: return u"Application-defined or object-defined error";
  }
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
    case EXDEV: return 74;
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
    case ENODEV: return 68;
    default: return err::kDeviceIOError;
  }
}

void RaiseErrno(int errnoValue) { Raise(ErrorFromErrno(errnoValue)); }

}  // namespace velmora
