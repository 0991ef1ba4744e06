#pragma once
// Shared by the image fuzzers: a small memory limit, and loading followed by a write and re-read
// that must give the same pixels.

#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"

#include <cstddef>
#include <cstdint>

namespace kestrel::fuzz {

inline void LimitPictureMemory() {
  static const bool limited = (ImageLimits::SetMaxBytes(64u << 20), true);
  (void)limited;
}

template <class T> void LoadAndRoundTrip(const uint8_t* data, size_t size) {
  TSpanStream stream(data, size);
  T picture;
  try {
    picture.LoadFromStream(stream);
  } catch (const Exception&) {
    return;
  }
  if (picture.Width() * picture.Height() > 1 << 16) return;
  TMemoryStream written;
  picture.SaveToStream(written); // a picture we read can always be written
  written.SetPosition(0);
  T again;
  again.LoadFromStream(written);
  if (again.Width() != picture.Width() || again.Height() != picture.Height()) __builtin_trap();
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if (again.Pixel(x, y) != picture.Pixel(x, y)) __builtin_trap();
}

} // namespace kestrel::fuzz
