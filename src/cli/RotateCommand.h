#pragma once
// kestrel-tool rotate: a picture turned by any whole number of degrees, as the "Arbitrary
// Rotation" window turns it, written through the viewer's save engine.

#include "imaging/core/Color.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kestrel {

class TBitmap;

struct TRotateOptions {
  std::optional<int> Angle;         // degrees, clockwise on the screen
  std::optional<TColor> Background; // black when not given, as the viewer's frame starts
  bool Any() const { return Angle || Background; }
};

// Takes option into options when it is one of rotate's ("--angle"), asking value for the word
// after it; false when it is not. A bad value raises TUsageError.
bool ParseRotateOption(const std::string& option, const std::function<const std::string&()>& value,
                       TRotateOptions& options);

// The picture of input turned as options say (pictures of fewer than 8 bits per pixel become
// 8-bit ones first, their indices kept). Raises what reading or turning raises.
std::unique_ptr<TBitmap> RotatedPicture(const std::string& input, const TRotateOptions& options);

} // namespace kestrel
