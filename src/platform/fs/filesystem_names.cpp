#include "platform/fs/filesystem_names.h"

#include "platform/errors/errors.h"

namespace velmora::detail {

Text DropTrailingDots(const Text& to, TextView separators) {
  const std::size_t slash = to.find_last_of(separators);
  const std::size_t nameStart = slash == Text::npos ? 0 : slash + 1;
  std::size_t end = to.size();
  while (end > nameStart && to[end - 1] == u'.') --end;
  if (end == nameStart) Raise(err::kBadFileNameOrNumber);
  for (std::size_t i = nameStart; i < end; ++i)
    if (to[i] < 0x20) Raise(err::kBadFileNameOrNumber);
  return to.substr(0, end);
}

}  // namespace velmora::detail
