// Which of the programs the desktop offers for a file "run" may start: never
// Velmora itself, which would only open a second rename window.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

/// The desktop id Velmora's menu entry is installed under.
inline constexpr const char* kVelmoraDesktopId = "velmora.desktop";

/// A program the desktop offers for a file type, as its entry names it.
struct ProgramCandidate {
  std::string id;          ///< the desktop id, such as "org.gnome.TextEditor.desktop"
  std::string executable;  ///< what its entry starts, found as a shell finds it; empty when not found
};

/// The first of `candidates` (the desktop's default first, then the programs
/// it recommends, then the others registered for the type) that starts
/// neither Velmora's entry nor, by another id or through a link, the program
/// `isSelf` recognises; none when every one would start Velmora.
std::optional<std::size_t> FirstProgramNotVelmora(const std::vector<ProgramCandidate>& candidates,
                                                  const std::function<bool(const std::string&)>& isSelf);

}  // namespace velmora
