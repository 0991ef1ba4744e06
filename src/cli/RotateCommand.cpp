#include "cli/RotateCommand.h"

#include "cli/ToolCommands.h"
#include "imaging/core/Bitmap.h"
#include "imaging/core/Picture.h"
#include "processing/rotate/Rotation.h"

#include <algorithm>
#include <cctype>

namespace kestrel {

namespace {

// A whole number with an optional sign; nine digits at most, so that it fits.
std::optional<int> Degrees(const std::string& text) {
  const size_t digits = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (text.size() == digits || text.size() - digits > 9 ||
      !std::all_of(text.begin() + static_cast<ptrdiff_t>(digits), text.end(),
                   [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return std::stoi(text);
}

// RRGGBB as written on the web, into the viewer's 0x00BBGGRR.
std::optional<TColor> ColourOf(const std::string& text) {
  if (text.size() != 6 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(uint8_t(c)); }))
    return std::nullopt;
  const unsigned long rgb = std::stoul(text, nullptr, 16);
  return static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

} // namespace

bool ParseRotateOption(const std::string& option, const std::function<const std::string&()>& value,
                       TRotateOptions& options) {
  if (option == "--angle") {
    options.Angle = Degrees(value());
    if (!options.Angle) throw TUsageError{"--angle takes a whole number of degrees"};
  } else if (option == "--background") {
    options.Background = ColourOf(value());
    if (!options.Background) throw TUsageError{"--background takes a colour as RRGGBB"};
  } else {
    return false;
  }
  return true;
}

std::unique_ptr<TBitmap> RotatedPicture(const std::string& input, const TRotateOptions& options) {
  TPicture picture;
  picture.LoadFromFile(input);
  std::unique_ptr<TBitmap> bitmap = DeviceBitmapOf(*picture.Graphic());
  if (bitmap->BitsPerPixel() < 8) bitmap->SetPixelFormat(pf8bit);
  RotateBitmap(*bitmap, *bitmap, options.Angle.value_or(0), options.Background.value_or(clBlack));
  return bitmap;
}

} // namespace kestrel
