#include "platform/shell/program_choice.h"

namespace velmora {

std::optional<std::size_t> FirstProgramNotVelmora(const std::vector<ProgramCandidate>& candidates,
                                                  const std::function<bool(const std::string&)>& isSelf) {
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const ProgramCandidate& c = candidates[i];
    if (c.id == kVelmoraDesktopId) continue;
    if (!c.executable.empty() && isSelf(c.executable)) continue;
    return i;
  }
  return std::nullopt;
}

}  // namespace velmora
