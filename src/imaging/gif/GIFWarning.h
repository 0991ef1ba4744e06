#pragma once
// Warnings of the GIF unit. Damaged files are read as far as they go: problems that can be passed
// over are reported through this event instead of raising, and the image decides what to do.

#include <functional>
#include <string>

namespace kestrel {

enum class TGIFSeverity { Information = 0, Warning = 1, Error = 2 };

// (sender, severity, message). The sender is the object that met the problem.
using TGIFWarning =
    std::function<void(const void* sender, TGIFSeverity severity, const std::string& message)>;

// Reports a warning when someone listens; the coders never stop because of a warning themselves.
inline void NotifyGIFWarning(const TGIFWarning& event, const void* sender,
                             const std::string& message) {
  if (event) event(sender, TGIFSeverity::Warning, message);
}

} // namespace kestrel
