// The error model: a run-time error carries a classic number and a description.
// Callers treat errors in one of three ways: ignore them step by step
// (IgnoreErrors), trap them into a plain result (TrapErrors), or let them go.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include "platform/text/text.h"

namespace velmora {

/// The error numbers the system raises, by name; kErrorTable gives each its text.
namespace err {
inline constexpr int kInvalidProcedureCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kBadFileNameOrNumber = 52;
inline constexpr int kFileNotFound = 53;
inline constexpr int kBadFileMode = 54;
inline constexpr int kFileAlreadyOpen = 55;
inline constexpr int kDeviceIOError = 57;
inline constexpr int kFileAlreadyExists = 58;
inline constexpr int kDiskFull = 61;
inline constexpr int kInputPastEndOfFile = 62;
inline constexpr int kTooManyFiles = 67;
inline constexpr int kDeviceUnavailable = 68;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kDiskNotReady = 71;
inline constexpr int kCantRenameWithDifferentDrive = 74;
inline constexpr int kPathFileAccessError = 75;
inline constexpr int kPathNotFound = 76;
}  // namespace err

struct ErrorText {
  int number;
  TextView description;
};

/// Every error number the system raises with the runtime's description of it,
/// in order of number: the one table of error texts.
inline constexpr ErrorText kErrorTable[] = {
    {err::kInvalidProcedureCall, u"Invalid procedure call or argument"},
    {err::kOverflow, u"Overflow"},
    {err::kOutOfMemory, u"Out of memory"},
    {err::kBadFileNameOrNumber, u"Bad file name or number"},
    {err::kFileNotFound, u"File not found"},
    {err::kBadFileMode, u"Bad file mode"},
    {err::kFileAlreadyOpen, u"File already open"},
    {err::kDeviceIOError, u"Device I/O error"},
    {err::kFileAlreadyExists, u"File already exists"},
    {err::kDiskFull, u"Disk full"},
    {err::kInputPastEndOfFile, u"Input past end of file"},
    {err::kTooManyFiles, u"Too many files"},
    {err::kDeviceUnavailable, u"Device unavailable"},
    {err::kPermissionDenied, u"Permission denied"},
    {err::kDiskNotReady, u"Disk not ready"},
    {err::kCantRenameWithDifferentDrive, u"Can't rename with different drive"},
    {err::kPathFileAccessError, u"Path/File access error"},
    {err::kPathNotFound, u"Path not found"},
};

/// The description kErrorTable gives `number`; "Application-defined or
/// object-defined error" for a number it does not hold.
Text ErrorDescription(int number);

/// A run-time error. `what()` gives the description in UTF-8.
class RuntimeError : public std::exception {
 public:
  explicit RuntimeError(int number);
  RuntimeError(int number, Text description);
  int Number() const noexcept { return number_; }
  const Text& Description() const noexcept { return description_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  int number_;
  Text description_;
  std::string what_;
};

/// Throws RuntimeError(number) with the runtime's description.
[[noreturn]] void Raise(int number);
[[noreturn]] void Raise(int number, Text description);

/// The last error of an ignore-errors section: number 0 means none.
struct ErrState {
  int number = 0;
  Text description;
  void Clear() {
    number = 0;
    description.clear();
  }
};

/// Runs one step of an ignore-errors section: a RuntimeError (or an allocation
/// failure, as error 7) is recorded in `state` and swallowed. Returns the
/// number of the error raised by this step, 0 when it succeeded.
template <class Step>
int IgnoreErrors(ErrState& state, Step&& step) {
  try {
    std::forward<Step>(step)();
    return 0;
  } catch (const RuntimeError& e) {
    state.number = e.Number();
    state.description = e.Description();
    return e.Number();
  } catch (const std::bad_alloc&) {
    state.number = err::kOutOfMemory;
    state.description = ErrorDescription(err::kOutOfMemory);
    return err::kOutOfMemory;
  }
}

/// Runs one step whose failure nobody looks at.
template <class Step>
int IgnoreErrors(Step&& step) {
  ErrState ignored;
  return IgnoreErrors(ignored, std::forward<Step>(step));
}

/// Runs `body`; any run-time error (or allocation failure) is cleared and
/// `fallback` is returned instead.
template <class Body, class Result>
Result TrapErrors(Body&& body, Result fallback) {
  try {
    return std::forward<Body>(body)();
  } catch (const RuntimeError&) {
    return fallback;
  } catch (const std::bad_alloc&) {
    return fallback;
  }
}

/// Maps an errno value onto the classic numbers; the one place that does so.
int ErrorFromErrno(int errnoValue);
/// Raise(ErrorFromErrno(errnoValue)).
[[noreturn]] void RaiseErrno(int errnoValue);

}  // namespace velmora
