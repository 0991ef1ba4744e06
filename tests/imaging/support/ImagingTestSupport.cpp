#include "ImagingTestSupport.h"

#include "imaging/core/Stream.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace kestrel::test {

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "kestrel_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

private:
  std::unique_ptr<QGuiApplication> app_;
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace

std::string DataPath(const std::string& relative) {
  return std::string(KESTREL_TEST_DATA) + "/" + relative;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  TMemoryStream stream;
  stream.LoadFromFile(path);
  return stream.Bytes();
}

namespace {
template <class Colour> std::vector<TPixelColor> Collect(int width, int height, Colour colour) {
  std::vector<TPixelColor> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.push_back(colour(x, y));
  return pixels;
}
} // namespace

std::vector<TPixelColor> PixelsOf(const TBitmap& bitmap) {
  return Collect(bitmap.Width(), bitmap.Height(),
                 [&](int x, int y) { return bitmap.PixelColor(x, y); });
}

std::vector<TPixelColor> PixelsOf(const TDibGraphic& picture) {
  return Collect(picture.Width(), picture.Height(),
                 [&](int x, int y) { return picture.Pixel(x, y); });
}

std::vector<TPixelColor> PixelsOf(const QImage& image) {
  return Collect(image.width(), image.height(),
                 [&](int x, int y) { return image.pixel(x, y) & 0xFFFFFF; });
}

TPixelColor PatternColor(int x, int y) {
  return static_cast<TPixelColor>((x * 37 + y * 11) & 0xFF) << 16 |
         static_cast<TPixelColor>((x * 5 + y * 53) & 0xFF) << 8 |
         static_cast<TPixelColor>((x * 71 ^ y * 29) & 0xFF);
}

std::unique_ptr<TBitmap> PatternBitmap(int width, int height, TPixelFormat format) {
  auto result = std::make_unique<TBitmap>();
  TBitmap& bitmap = *result;
  const int bits = PixelFormatBits(format);
  TPalette palette;
  if (bits <= 8) {
    palette = TPalette::Black(1 << bits);
    for (int i = 0; i < palette.Count(); ++i)
      palette.SetColor(i, ColorOfPixel(PatternColor(i, 7 * i + 1)));
  }
  bitmap.NewImage(width, height, format, palette);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      if (bits <= 8) {
        PixelRows::SetIndex(row, x, bits, (x + 3 * y) % palette.Count());
      } else {
        const TPixelColor c = PatternColor(x, y);
        PixelRows::Write(row, bits, x, 1, &c, nullptr);
      }
    }
  }
  return result;
}

ScreenDepth::ScreenDepth(int bits) {
  if (const char* old = std::getenv("KESTREL_SCREEN_DEPTH")) saved_ = old;
  setenv("KESTREL_SCREEN_DEPTH", std::to_string(bits).c_str(), 1);
}

ScreenDepth::~ScreenDepth() {
  if (saved_)
    setenv("KESTREL_SCREEN_DEPTH", saved_->c_str(), 1);
  else
    unsetenv("KESTREL_SCREEN_DEPTH");
}

} // namespace kestrel::test
