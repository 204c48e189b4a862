// The one rename primitive that differs between POSIX systems: an atomic
// rename that refuses to replace an existing target.
#pragma once

namespace velmora::detail {

/// Renames `from` to `to` atomically unless `to` exists. Returns 0 on success,
/// otherwise the errno value: EEXIST for an existing target; EINVAL, ENOSYS or
/// EOPNOTSUPP when the file system or kernel does not offer the operation.
int AtomicRenameNoReplace(const char* from, const char* to);

}  // namespace velmora::detail
