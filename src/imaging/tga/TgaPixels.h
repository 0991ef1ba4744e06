#pragma once
// Targa pixels to picture pixels: 8-bit indices and grey levels stay as they are; grey plus alpha
// keeps its grey byte; 16-bit words (blue in bits 0..4, green 5..9, red 10..14, bit 15 ignored)
// become blue, green, red with each 5-bit value v as v * 8; 24-bit pixels stay; 32-bit pixels
// lose their fourth (alpha) byte.

#include "imaging/tga/TgaHeader.h"

#include <cstdint>

namespace kestrel {

class TTgaPixels {
public:
  explicit TTgaPixels(const TTgaHeader& header)
      : fileBytes_(header.FileBytesPerPixel()), pictureBytes_(header.BitsPerPixel() / 8) {}

  int FileBytes() const { return fileBytes_; }
  int PictureBytes() const { return pictureBytes_; }
  // Converts count file pixels at from into picture pixels at to.
  void Convert(const uint8_t* from, int count, uint8_t* to) const;
  // Stores the one file pixel at from count times at to.
  void Repeat(const uint8_t* from, int count, uint8_t* to) const {
    if (fileBytes_ == 3 && count <= kShortRun) { // most runs of true-colour files
      for (int i = 0; i < count; ++i, to += 3) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
      }
      return;
    }
    RepeatLong(from, count, to);
  }

private:
  static constexpr int kShortRun = 8;
  void RepeatLong(const uint8_t* from, int count, uint8_t* to) const;

  int fileBytes_;
  int pictureBytes_;
};

} // namespace kestrel
