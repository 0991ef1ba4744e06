#include "imaging/gif/GIFColorMap.h"

#include "imaging/gif/GIFException.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace kestrel {

TGIFColor TGIFColorMap::Color(int index) const {
  if (colors_.empty()) throw GIFException("Color table is empty");
  if (index < 0 || index >= Count()) {
    Warning(TGIFSeverity::Warning, "Invalid color index");
    index = 0;
  }
  return colors_[static_cast<size_t>(index)];
}

void TGIFColorMap::Grow(int count) {
  if (count <= capacity_) return;
  capacity_ = count <= 16 ? 16 : std::min(kMaxColors, (count + 31) / 32 * 32);
  colors_.reserve(static_cast<size_t>(capacity_));
}

int TGIFColorMap::Add(TGIFColor color) {
  if (Count() >= kMaxColors) throw GIFException("Color table overflow");
  Grow(Count() + 1);
  colors_.push_back(color);
  return Count() - 1;
}

void TGIFColorMap::Truncate(int count) {
  if (count < Count()) colors_.resize(static_cast<size_t>(std::max(0, count)));
}

void TGIFColorMap::Clear() {
  colors_.clear();
  capacity_ = 0;
  optimized_ = false;
}

void TGIFColorMap::AssignPalette(const TPalette& palette) {
  Clear();
  Grow(palette.Count());
  for (const TPaletteEntry& e : palette.Entries())
    colors_.push_back({e.Red, e.Green, e.Blue});
}

TPalette TGIFColorMap::Palette(uint8_t flags) const {
  std::vector<TPaletteEntry> entries;
  entries.reserve(colors_.size());
  for (const TGIFColor& c : colors_)
    entries.push_back({c.Red, c.Green, c.Blue, flags});
  return TPalette(entries);
}

int TGIFColorMap::BitsPerPixelOf(int count) {
  if (count <= 0) return 0;
  int bits = 1;
  while ((1 << bits) < count)
    ++bits;
  return bits;
}

void TGIFColorMap::LoadEntries(TStream& stream, int count) {
  Clear();
  count = std::clamp(count, 0, kMaxColors);
  std::array<uint8_t, 3 * kMaxColors> bytes{};
  const int64_t got = stream.Read(bytes.data(), 3 * count);
  if (got < 3 * count) Warning(TGIFSeverity::Warning, "Premature end of data");
  Grow(count);
  for (int i = 0; i < count; ++i)
    colors_.push_back({bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]});
}

void TGIFColorMap::SaveToStream(TStream& stream) {
  std::vector<uint8_t> bytes(3 * (size_t(1) << BitsPerPixel()), 0);
  for (size_t i = 0; i < colors_.size(); ++i) {
    bytes[3 * i] = colors_[i].Red;
    bytes[3 * i + 1] = colors_[i].Green;
    bytes[3 * i + 2] = colors_[i].Blue;
  }
  if (!colors_.empty()) stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TGIFColorMap::Optimize(std::span<const std::span<uint8_t>> pixelsOfUsers) {
  if (Count() < 2) return;
  optimized_ = true;
  std::array<uint64_t, kMaxColors> uses{};
  for (std::span<uint8_t> pixels : pixelsOfUsers)
    for (uint8_t p : pixels)
      ++uses[p];
  std::array<int, kMaxColors> order{};
  std::iota(order.begin(), order.end(), 0);
  // Stable, so colours used equally often keep their order and an unused tail stays where it is.
  std::stable_sort(order.begin(), order.begin() + Count(),
                   [&](int a, int b) { return uses[a] > uses[b]; });
  int used = 0;
  while (used < Count() && uses[order[used]] > 0)
    ++used;
  // A pixel outside the table has no colour to move with; it keeps its value.
  std::array<uint8_t, kMaxColors> newIndex{};
  std::iota(newIndex.begin(), newIndex.end(), 0);
  std::vector<TGIFColor> sorted(static_cast<size_t>(used));
  bool moved = false;
  for (int i = 0; i < used; ++i) {
    sorted[i] = colors_[order[i]];
    newIndex[order[i]] = static_cast<uint8_t>(i);
    moved = moved || order[i] != i;
  }
  if (moved)
    for (std::span<uint8_t> pixels : pixelsOfUsers)
      for (uint8_t& p : pixels)
        p = newIndex[p];
  colors_ = std::move(sorted);
}

} // namespace kestrel
