#pragma once
// Loading and saving whole GIF images in memory for the container tests.

#include "imaging/core/Stream.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFImage.h"

#include "GIFTestData.h"
#include "GifReference.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::giftest {

// The message of the GIFException f raises, or "no error".
template <class F> std::string GIFErrorOf(F&& f) {
  try {
    f();
  } catch (const GIFException& e) {
    return e.what();
  }
  return "no error";
}

// A colour table as giflib gives it.
inline std::vector<gifref::RefColor> RefColors(const TGIFColorMap& map) {
  std::vector<gifref::RefColor> colors;
  for (const TGIFColor& c : map.Colors())
    colors.push_back({c.Red, c.Green, c.Blue});
  return colors;
}

// Loads bytes into image with log listening to its warnings.
inline void LoadGIF(TGIFImage& image, const std::vector<uint8_t>& bytes, WarningLog& log) {
  image.OnWarning = log.Event();
  TMemoryStream stream(bytes);
  image.LoadFromStream(stream);
}

inline std::vector<uint8_t> SaveGIF(TGIFImage& image) {
  TMemoryStream stream;
  image.SaveToStream(stream);
  return stream.Bytes();
}

// A grey ramp of count entries as a colour table.
inline void FillGreyMap(TGIFColorMap& map, int count) {
  map.Clear();
  for (int i = 0; i < count; ++i) {
    const auto v = static_cast<uint8_t>(count > 1 ? i * 255 / (count - 1) : 0);
    map.Add({v, v, v});
  }
}

// Adds a frame of the given place and pixels to image.
inline TGIFSubImage& AddFrame(TGIFImage& image, int left, int top, int width, int height,
                              const std::vector<uint8_t>& pixels) {
  auto frame = std::make_unique<TGIFSubImage>(&image);
  frame->SetBounds(left, top, width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      frame->SetPixel(x, y, pixels[size_t(y) * width + x]);
  return image.Images()[image.Images().Add(std::move(frame))];
}

} // namespace kestrel::giftest
