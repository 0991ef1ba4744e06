#pragma once
// Helpers shared by the image library's tests. The test program runs with a QGuiApplication on
// the offscreen platform (set up by ImagingTestSupport.cpp), so fonts and the clipboard work.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Color.h"
#include "imaging/core/DibGraphic.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::test {

// A file under tests/data.
std::string DataPath(const std::string& relative);
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// The colours of every pixel, row by row from the top, as 0x00RRGGBB.
std::vector<TPixelColor> PixelsOf(const TBitmap& bitmap);
std::vector<TPixelColor> PixelsOf(const TDibGraphic& picture);
std::vector<TPixelColor> PixelsOf(const QImage& image);

// A reproducible colour for pixel (x, y) of a test picture.
TPixelColor PatternColor(int x, int y);
// A bitmap of the format whose pixels follow the pattern (palette formats: indices x + 3y modulo
// the palette size, with a palette of distinct colours).
std::unique_ptr<TBitmap> PatternBitmap(int width, int height, TPixelFormat format);

// Sets KESTREL_SCREEN_DEPTH for the life of the object.
class ScreenDepth {
public:
  explicit ScreenDepth(int bits);
  ~ScreenDepth();

private:
  std::optional<std::string> saved_;
};

} // namespace kestrel::test
