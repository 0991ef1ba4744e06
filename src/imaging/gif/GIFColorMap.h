#pragma once
// Colour tables of a GIF file: the global table of the logical screen and the local table of a
// frame. Up to 256 red-green-blue entries; a table marked optimized is sorted by how often its
// colours are used, most used first.

#include "imaging/core/Palette.h"
#include "imaging/gif/GIFItem.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kestrel {

struct TGIFColor {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
  friend bool operator==(const TGIFColor&, const TGIFColor&) = default;
};

class TGIFColorMap : public TGIFItem {
public:
  static constexpr int kMaxColors = 256;

  using TGIFItem::TGIFItem;
  const char* ClassName() const override { return "TGIFColorMap"; }

  int Count() const { return static_cast<int>(colors_.size()); }
  bool Empty() const { return colors_.empty(); }
  // Room reserved for entries: 16 for up to 16 colours, else the next multiple of 32, at most 256.
  int Capacity() const { return capacity_; }
  bool Optimized() const { return optimized_; }
  void SetOptimized(bool value) { optimized_ = value; }

  // The colour of an entry. An index outside the table gives the warning "Invalid color index" and
  // entry 0; an empty table raises GIFException "Color table is empty".
  TGIFColor Color(int index) const;
  void SetColor(int index, TGIFColor color) { colors_.at(static_cast<size_t>(index)) = color; }
  std::span<const TGIFColor> Colors() const { return colors_; }
  // Appends a colour and returns its index; a 257th raises GIFException "Color table overflow".
  int Add(TGIFColor color);
  // Removes the last entries down to count.
  void Truncate(int count);
  void Clear();
  // Replaces the entries by a palette's (at most 256).
  void AssignPalette(const TPalette& palette);
  // The table as a palette whose entries carry flags.
  TPalette Palette(uint8_t flags = 0) const;

  // Bits per pixel of a table of count entries: 0 for none, else the smallest b >= 1 with 2^b >=
  // count.
  static int BitsPerPixelOf(int count);
  int BitsPerPixel() const { return BitsPerPixelOf(Count()); }

  // Reads count entries (a cut table warns "Premature end of data" and keeps what was there, the
  // rest black).
  void LoadEntries(TStream& stream, int count);
  // Writes the entries padded with black to 2^BitsPerPixel().
  void SaveToStream(TStream& stream) override;
  // Colour tables are read by their owner, who knows the count.
  void LoadFromStream(TStream& stream) override { LoadEntries(stream, Count()); }

  // Sorts the table by use over the pixels of the frames that use it (most used first), marks it
  // optimized, renumbers those pixels and drops colours that no pixel uses. Nothing happens to a
  // table of fewer than two colours.
  void Optimize(std::span<const std::span<uint8_t>> pixelsOfUsers);

private:
  void Grow(int count);

  std::vector<TGIFColor> colors_;
  int capacity_ = 0;
  bool optimized_ = false;
};

// The table of the logical screen.
class TGIFGlobalColorMap : public TGIFColorMap {
public:
  using TGIFColorMap::TGIFColorMap;
  const char* ClassName() const override { return "TGIFGlobalColorMap"; }
};

// A frame's own table.
class TGIFLocalColorMap : public TGIFColorMap {
public:
  using TGIFColorMap::TGIFColorMap;
  const char* ClassName() const override { return "TGIFLocalColorMap"; }
};

} // namespace kestrel
