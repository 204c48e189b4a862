// macOS: renamex_np(RENAME_EXCL), which fails with EEXIST instead of replacing.
#include <stdio.h>

#include <cerrno>

#include "platform/fs/rename_native.h"

namespace velmora::detail {

int AtomicRenameNoReplace(const char* from, const char* to) {
  if (::renamex_np(from, to, RENAME_EXCL) == 0) return 0;
  return errno;
}

}  // namespace velmora::detail
