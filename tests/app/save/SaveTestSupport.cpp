#include "SaveTestSupport.h"

#include "imaging/core/Picture.h"

#include <QFile>

#include <set>

namespace kestrel::test {

bool TScriptedQuestions::AskJpegOptions(TJpegSaveOptions& options) {
  ++JpegAsked;
  if (Jpeg.empty()) return false;
  const auto [accepted, answer] = Jpeg.front();
  Jpeg.pop_front();
  if (accepted) options = answer;
  return accepted;
}

TCompressAnswer TScriptedQuestions::AskCompression(TCompressUse use, const TBitmap&, int depthCode,
                                                   bool) {
  AskedUses.push_back(use);
  AskedDepths.push_back(depthCode);
  if (Compression.empty()) return {};
  const TCompressAnswer answer = Compression.front();
  Compression.pop_front();
  return answer;
}

void TScriptedQuestions::Tell(const std::string& text, const std::string& caption) {
  Told.push_back(caption + "|" + text);
}

std::string DataPath(const std::string& relative) {
  return std::string(KESTREL_TEST_DATA) + "/" + relative;
}

std::unique_ptr<TBitmap> TestPicture(int width, int height, TPixelFormat format) {
  auto bitmap = std::make_unique<TBitmap>();
  const int bits = PixelFormatBits(format);
  TPalette palette;
  if (bits <= 8) {
    palette = TPalette::Black(1 << bits);
    for (int i = 0; i < palette.Count(); ++i)
      palette.SetColor(i, RgbColor(static_cast<uint8_t>(i * 37 + 11),
                                   static_cast<uint8_t>(255 - i * 13),
                                   static_cast<uint8_t>(i * 91 + 40)));
  }
  bitmap->NewImage(width, height, format, palette);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const TColor color = bits <= 8
                               ? palette.Color((x + 3 * y) % palette.Count())
                               : RgbColor(static_cast<uint8_t>(x * 255 / std::max(1, width - 1)),
                                          static_cast<uint8_t>(y * 255 / std::max(1, height - 1)),
                                          static_cast<uint8_t>((x * y) % 256));
      bitmap->Canvas().SetPixel(x, y, color);
    }
  return bitmap;
}

std::unique_ptr<TBitmap> PlainPicture(int width, int height, TPixelFormat format, TColor color) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(width, height, format, {});
  bitmap->Canvas().Brush.Color = color;
  bitmap->Canvas().FillRect({0, 0, width, height});
  return bitmap;
}

std::vector<TPixelColor> PixelsOf(const TBitmap& bitmap) {
  std::vector<TPixelColor> pixels;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      pixels.push_back(bitmap.PixelColor(x, y) & 0xFFFFFF);
  return pixels;
}

std::unique_ptr<TBitmap> ReadBack(const std::string& path) {
  TPicture picture;
  picture.LoadFromFile(path);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->Assign(picture.Graphic());
  return bitmap;
}

std::string FileStart(const std::string& path, int count) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.read(count).toStdString();
}

int ColorCount(const TBitmap& bitmap) {
  const std::vector<TPixelColor> pixels = PixelsOf(bitmap);
  return static_cast<int>(std::set<TPixelColor>(pixels.begin(), pixels.end()).size());
}

} // namespace kestrel::test
