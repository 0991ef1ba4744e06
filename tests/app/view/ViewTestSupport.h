#pragma once
// Pictures for the display tests: patterned bitmaps, files of every format written from them,
// and a stand-in for the screen's depth.

#include "imaging/core/Bitmap.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/core/Picture.h"
#include "support/ScreenDepth.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <stdexcept>
#include <vector>

namespace kestrel::test {

// A reproducible colour for pixel (x, y).
inline TPixelColor PatternColor(int x, int y) {
  return static_cast<TPixelColor>((x * 37 + y * 11) & 0xFF) << 16 |
         static_cast<TPixelColor>((x * 5 + y * 53) & 0xFF) << 8 |
         static_cast<TPixelColor>((x * 71 ^ y * 29) & 0xFF);
}

// The colours of a bitmap row by row, with its size first, for comparing two bitmaps.
inline std::vector<TPixelColor> SizeAndPixels(const TBitmap& bitmap) {
  std::vector<TPixelColor> all{TPixelColor(bitmap.Width()), TPixelColor(bitmap.Height())};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      all.push_back(bitmap.PixelColor(x, y));
  return all;
}

// A 24-bit bitmap of the pattern.
inline std::unique_ptr<TBitmap> PatternBitmap(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(width, height, pf24bit, {});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const TPixelColor c = PatternColor(x, y);
      PixelRows::Write(bitmap->ScanLine(y), 24, x, 1, &c, nullptr);
    }
  return bitmap;
}

// An 8-bit bitmap whose pixel (x, y) has index (x + 3y) mod count of a palette of count colours.
inline std::unique_ptr<TBitmap> IndexedBitmap(int width, int height, int count) {
  TPalette palette = TPalette::Black(count);
  for (int i = 0; i < count; ++i)
    palette.SetColor(i, ColorOfPixel(PatternColor(i, 7 * i + 1)));
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(width, height, pf8bit, palette);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap->ScanLine(y)[x] = static_cast<uint8_t>((x + 3 * y) % count);
  return bitmap;
}

inline std::string FileName(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// Writes bitmap to path in the format of its extension (an image-library format imports the
// bitmap at its own depth).
inline void WritePicture(const TBitmap& bitmap, const QString& path) {
  const auto format = TPicture::FindFileFormat(FileName(path));
  if (!format) throw std::runtime_error("no format for " + FileName(path));
  std::unique_ptr<TGraphic> graphic = format->Create();
  if (auto* dib = dynamic_cast<TDibGraphic*>(graphic.get()))
    dib->ImportBitmapHandle(bitmap);
  else
    graphic->Assign(&bitmap);
  graphic->SaveToFile(FileName(path));
}

} // namespace kestrel::test
