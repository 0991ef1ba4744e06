#pragma once
// TPalette: what a system "palette handle" stands for here. A palette is plain data: up to 256
// entries of red, green, blue and flags, copied by value. The empty palette is the null handle.
// Realizing a palette is a no-op on a true-colour screen, so nothing here talks to the display.

#include "imaging/core/Color.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace kestrel {

// Entry flags.
constexpr uint8_t PC_RESERVED = 0x01;
constexpr uint8_t PC_EXPLICIT = 0x02;
constexpr uint8_t PC_NOCOLLAPSE = 0x04;

struct TPaletteEntry {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
  uint8_t Flags = 0;
  friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

class TPalette {
public:
  static constexpr int kMaxEntries = 256;

  TPalette() = default; // the null palette
  // Raises EInvalidGraphic "Invalid palette" for more than 256 entries.
  explicit TPalette(std::span<const TPaletteEntry> entries);
  TPalette(std::initializer_list<TPaletteEntry> entries);
  // count black entries (0..256).
  static TPalette Black(int count);

  bool IsNull() const { return entries_.empty(); }
  explicit operator bool() const { return !entries_.empty(); }
  int Count() const { return static_cast<int>(entries_.size()); }
  // Grows with black entries or shrinks to count (0..256).
  void Resize(int count);

  // Entry access; index must be below Count().
  const TPaletteEntry& operator[](int index) const { return entries_[static_cast<size_t>(index)]; }
  TPaletteEntry& operator[](int index) { return entries_[static_cast<size_t>(index)]; }
  std::span<const TPaletteEntry> Entries() const { return entries_; }

  TColor Color(int index) const;
  TPixelColor PixelColor(int index) const;
  void SetColor(int index, TColor color, uint8_t flags = 0);

  // The entry nearest to color by squared distance over red, green and blue; the lowest index wins
  // a tie. -1 for the null palette.
  int NearestIndex(TColor color) const;

  friend bool operator==(const TPalette&, const TPalette&) = default;

private:
  std::vector<TPaletteEntry> entries_;
};

} // namespace kestrel
