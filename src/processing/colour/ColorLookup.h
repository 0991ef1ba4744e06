#pragma once
// Colour lookups: map an RGB colour to a palette index and that entry's colour. The ditherers call
// them once per pixel, so the subclasses are final and their MapColor is inline: a ditherer that
// knows the concrete class calls it without the virtual dispatch.

#include "imaging/core/Palette.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace kestrel {

// A palette index with the colour the palette holds there.
struct TMappedColor {
  int Index = 0;
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
};

class TColorLookup {
public:
  virtual ~TColorLookup() = default;
  virtual TMappedColor MapColor(uint8_t red, uint8_t green, uint8_t blue) = 0;
  // Number of palette colours the lookup can return; 0 means it cannot map anything.
  int ColorCount() const { return colorCount_; }

protected:
  explicit TColorLookup(int colorCount) : colorCount_(colorCount) {}

private:
  int colorCount_;
};

// Nearest colour of an arbitrary palette (up to 256 entries), remembered per 16-bit key (5 bits of
// blue, 6 of green, 5 of red): the first colour of a key decides the index of every later colour
// with the same key.
class TFastColorLookup final : public TColorLookup {
public:
  static constexpr int kUnset = -1;

  explicit TFastColorLookup(std::span<const TPaletteEntry> palette);

  static int Key(uint8_t red, uint8_t green, uint8_t blue) {
    return (blue >> 3) << 11 | (green >> 2) << 5 | (red >> 3);
  }
  // The index stored for a key, or kUnset.
  int Slot(int key) const { return inverse_[key]; }

  TMappedColor MapColor(uint8_t red, uint8_t green, uint8_t blue) override {
    int key = Key(red, green, blue);
    int index = inverse_[key];
    if (index < 0) index = Search(red, green, blue, key);
    const TPaletteEntry& e = entries_[index];
    return {index, e.Red, e.Green, e.Blue};
  }

private:
  int Search(uint8_t red, uint8_t green, uint8_t blue, int key);

  std::array<TPaletteEntry, 256> entries_{};
  std::vector<int16_t> inverse_;
};

// The 216-colour cube: each channel to the nearest of six levels 0, 51, ..., 255.
class TNetscapeColorLookup final : public TColorLookup {
public:
  explicit TNetscapeColorLookup(std::span<const TPaletteEntry> = {}) : TColorLookup(216) {}
  TMappedColor MapColor(uint8_t red, uint8_t green, uint8_t blue) override {
    int r = (red + 3) / 51, g = (green + 3) / 51, b = (blue + 3) / 51;
    return {36 * r + 6 * g + b, static_cast<uint8_t>(51 * r), static_cast<uint8_t>(51 * g),
            static_cast<uint8_t>(51 * b)};
  }
};

// 256 greys by luminance.
class TGrayScaleLookup final : public TColorLookup {
public:
  explicit TGrayScaleLookup(std::span<const TPaletteEntry> = {}) : TColorLookup(256) {}
  TMappedColor MapColor(uint8_t red, uint8_t green, uint8_t blue) override {
    auto y = static_cast<uint8_t>((77 * red + 150 * green + 29 * blue) >> 8);
    return {y, y, y, y};
  }
};

// Black below half luminance, else white.
class TMonochromeLookup final : public TColorLookup {
public:
  explicit TMonochromeLookup(std::span<const TPaletteEntry> = {}) : TColorLookup(2) {}
  TMappedColor MapColor(uint8_t red, uint8_t green, uint8_t blue) override {
    if (77 * red + 150 * green + 29 * blue < 32513) return {0, 0, 0, 0};
    return {1, 255, 255, 255};
  }
};

} // namespace kestrel
