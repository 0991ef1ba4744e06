#include "processing/editing/FloodFill.h"

#include "imaging/core/Bitmap.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kestrel {
namespace {

// Reading and writing one pixel of a row by its stored value. Key is the value compared: for
// palette formats the lowest index of the same colour, else the packed colour.
struct TDirect24 {
  static uint32_t Key(const uint8_t* row, int x) {
    const uint8_t* p = row + 3 * static_cast<ptrdiff_t>(x);
    return p[0] | p[1] << 8 | p[2] << 16;
  }
  static void Set(uint8_t* row, int x, uint32_t v) {
    uint8_t* p = row + 3 * static_cast<ptrdiff_t>(x);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
  }
};

struct TDirect32 {
  static uint32_t Key(const uint8_t* row, int x) {
    const uint8_t* p = row + 4 * static_cast<ptrdiff_t>(x);
    return p[0] | p[1] << 8 | p[2] << 16;
  }
  static void Set(uint8_t* row, int x, uint32_t v) {
    uint8_t* p = row + 4 * static_cast<ptrdiff_t>(x);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = 0xFF;
  }
};

template <uint32_t Mask> struct TDirect16 {
  static uint32_t Key(const uint8_t* row, int x) {
    const uint8_t* p = row + 2 * static_cast<ptrdiff_t>(x);
    return (p[0] | p[1] << 8) & Mask;
  }
  static void Set(uint8_t* row, int x, uint32_t v) {
    uint8_t* p = row + 2 * static_cast<ptrdiff_t>(x);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
  }
};

template <int Bits> struct TIndexed {
  const std::array<uint8_t, 256>* Canonical;
  uint32_t Key(const uint8_t* row, int x) const {
    return (*Canonical)[PixelRows::GetIndex(row, x, Bits)];
  }
  static void Set(uint8_t* row, int x, uint32_t v) {
    PixelRows::SetIndex(row, x, Bits, static_cast<int>(v));
  }
};

// Which pixels a fill takes: those of the target key (surface), or those not of the border key
// and not yet filled (border; filled pixels may keep a key other than the border's).
class TInsideTest {
public:
  TInsideTest(TFillStyle style, uint32_t key, int width, int height)
      : style_(style), key_(key), width_(width) {
    if (style == fsBorder)
      visited_.assign((static_cast<size_t>(width) * static_cast<size_t>(height) + 63) / 64, 0);
  }
  bool Inside(uint32_t key, int x, int y) const {
    if (style_ == fsSurface) return key == key_;
    if (key == key_) return false;
    const size_t bit =
        static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
    return !(visited_[bit >> 6] >> (bit & 63) & 1);
  }
  void Mark(int x, int y) {
    if (style_ == fsSurface) return; // the new colour marks it
    const size_t bit =
        static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
    visited_[bit >> 6] |= uint64_t(1) << (bit & 63);
  }

private:
  TFillStyle style_;
  uint32_t key_;
  int width_;
  std::vector<uint64_t> visited_;
};

struct TSpan {
  int X1, X2, Y, Dy;
};

// Row operations of a fill, pixel by pixel: any format, either style.
template <class Format> class TPixelOps {
public:
  TPixelOps(const Format& format, TInsideTest& test, uint32_t fillValue)
      : format_(format), test_(test), fill_(fillValue) {}
  bool Inside(const uint8_t* row, int y, int x) const {
    return test_.Inside(format_.Key(row, x), x, y);
  }
  // The first pixel from x on (before limit) that the fill does not take.
  int RunEnd(const uint8_t* row, int y, int x, int limit) const {
    while (x < limit && Inside(row, y, x))
      ++x;
    return x;
  }
  void Fill(uint8_t* row, int y, int from, int to) {
    for (int x = from; x < to; ++x) {
      Format::Set(row, x, fill_);
      test_.Mark(x, y);
    }
  }

private:
  const Format& format_;
  TInsideTest& test_;
  uint32_t fill_;
};

// Row operations of a surface fill where equal colours are equal bytes (8 bits with no other
// entry of the target's colour, 16 and 24 bits): runs are compared and written a block at a time,
// so a large region goes at the speed of a memory copy.
class TBlockOps {
public:
  static constexpr int kBlock = 64; // pixels

  TBlockOps(int bytesPerPixel, uint32_t target, uint32_t fill) : bytes_(bytesPerPixel) {
    for (int i = 0; i < kBlock; ++i)
      for (int b = 0; b < bytes_; ++b) {
        target_[static_cast<size_t>(i * bytes_ + b)] = static_cast<uint8_t>(target >> (8 * b));
        fill_[static_cast<size_t>(i * bytes_ + b)] = static_cast<uint8_t>(fill >> (8 * b));
      }
  }
  bool Inside(const uint8_t* row, int, int x) const {
    return std::memcmp(row + Offset(x), target_.data(), static_cast<size_t>(bytes_)) == 0;
  }
  int RunEnd(const uint8_t* row, int y, int x, int limit) const {
    const size_t block = static_cast<size_t>(kBlock * bytes_);
    while (x + kBlock <= limit && std::memcmp(row + Offset(x), target_.data(), block) == 0)
      x += kBlock;
    while (x < limit && Inside(row, y, x))
      ++x;
    return x;
  }
  void Fill(uint8_t* row, int, int from, int to) {
    while (from < to) {
      const int n = std::min(to - from, kBlock);
      std::memcpy(row + Offset(from), fill_.data(), static_cast<size_t>(n * bytes_));
      from += n;
    }
  }

private:
  size_t Offset(int x) const { return static_cast<size_t>(x) * static_cast<size_t>(bytes_); }
  int bytes_;
  std::array<uint8_t, kBlock * 4> target_{};
  std::array<uint8_t, kBlock * 4> fill_{};
};

// The span fill: each entry is a run of a row known to border on filled pixels of the row Dy
// before it; only the parts of the neighbouring rows not yet looked at are pushed.
template <class Ops> TRect SpanFill(TBitmap& bitmap, Ops& ops, TPoint start) {
  const int w = bitmap.Width(), h = bitmap.Height();
  uint8_t* base = bitmap.ScanLine(0);
  const ptrdiff_t stride = bitmap.BytesPerLine();
  TRect bounds{w, h, 0, 0};
  std::vector<TSpan> stack{{start.X, start.X, start.Y, 1}, {start.X, start.X, start.Y - 1, -1}};
  while (!stack.empty()) {
    const TSpan s = stack.back();
    stack.pop_back();
    if (s.Y < 0 || s.Y >= h) continue;
    uint8_t* row = base + stride * s.Y;
    int x = s.X1;
    int x1 = s.X1;
    if (ops.Inside(row, s.Y, x)) {
      while (x > 0 && ops.Inside(row, s.Y, x - 1))
        --x;
      if (x < x1) {
        ops.Fill(row, s.Y, x, x1);
        stack.push_back({x, x1 - 1, s.Y - s.Dy, -s.Dy});
      }
    }
    while (x1 <= s.X2) {
      const int end = ops.RunEnd(row, s.Y, x1, w);
      ops.Fill(row, s.Y, x1, end);
      x1 = end;
      if (x1 > x) {
        stack.push_back({x, x1 - 1, s.Y + s.Dy, s.Dy});
        bounds = {std::min(bounds.Left, x), std::min(bounds.Top, s.Y), std::max(bounds.Right, x1),
                  std::max(bounds.Bottom, s.Y + 1)};
      }
      if (x1 - 1 > s.X2) stack.push_back({s.X2 + 1, x1 - 1, s.Y - s.Dy, -s.Dy});
      ++x1;
      while (x1 < s.X2 && !ops.Inside(row, s.Y, x1))
        ++x1;
      x = x1;
    }
  }
  return bounds.IsEmpty() ? TRect{} : bounds;
}

// The lowest index of each colour, so that palette entries of one colour compare equal.
std::array<uint8_t, 256> CanonicalIndices(const TColorTable& table, int entries) {
  std::array<uint8_t, 256> canonical{};
  for (int i = 0; i < 256; ++i) {
    canonical[i] = static_cast<uint8_t>(i);
    for (int j = 0; j < i && j < entries; ++j)
      if (table.Colors[j] == table.Colors[i]) {
        canonical[i] = static_cast<uint8_t>(j);
        break;
      }
  }
  return canonical;
}

// No other palette entry has the colour of the entry key.
bool UniqueColour(const std::array<uint8_t, 256>& canonical, uint32_t key) {
  for (int i = 0; i < 256; ++i)
    if (canonical[static_cast<size_t>(i)] == key && static_cast<uint32_t>(i) != key) return false;
  return true;
}

// The stored value of a colour the bitmap can hold exactly.
uint32_t StoredValue(const TBitmap& bitmap, TPixelColor color,
                     const std::array<uint8_t, 256>& canonical) {
  const uint32_t r = color >> 16 & 0xFF, g = color >> 8 & 0xFF, b = color & 0xFF;
  switch (bitmap.BitsPerPixel()) {
  case 1:
  case 4:
  case 8: {
    const int entries = 1 << bitmap.BitsPerPixel();
    for (int i = 0; i < entries; ++i)
      if (bitmap.ColorTable().Colors[i] == color) return canonical[i];
    return 0;
  }
  case 15:
    return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
  case 16:
    return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
  default:
    return color & 0xFFFFFF;
  }
}

} // namespace

TRect FloodFillBitmap(TBitmap& bitmap, TPoint start, TColor fill, TColor border, TFillStyle style) {
  if (bitmap.Empty() || start.X < 0 || start.Y < 0 || start.X >= bitmap.Width() ||
      start.Y >= bitmap.Height())
    return {};
  TCanvasSurface& surface = bitmap.Canvas().Surface();
  const int bits = bitmap.BitsPerPixel();
  const std::array<uint8_t, 256> canonical =
      CanonicalIndices(bitmap.ColorTable(), bits <= 8 ? 1 << bits : 0);
  const uint32_t fillValue =
      StoredValue(bitmap, surface.Representable(PixelColorOf(ColorToRgb(fill))), canonical);
  const uint32_t borderValue =
      StoredValue(bitmap, surface.Representable(PixelColorOf(ColorToRgb(border))), canonical);

  auto run = [&](const auto& format) -> TRect {
    const uint32_t startKey = format.Key(bitmap.ScanLine(start.Y), start.X);
    if (style == fsSurface && startKey == fillValue) return {}; // nothing would change
    TInsideTest test(style, style == fsSurface ? startKey : borderValue, bitmap.Width(),
                     bitmap.Height());
    if (!test.Inside(startKey, start.X, start.Y)) return {};
    TCanvas& canvas = bitmap.Canvas();
    if (canvas.OnChanging) canvas.OnChanging();
    surface.SurfaceChanging();
    TRect filled;
    const int bytes = bits == 15 ? 2 : bits / 8;
    const bool sameBytesSameColour =
        bits == 16 || bits == 24 || (bits == 8 && UniqueColour(canonical, startKey));
    if (style == fsSurface && sameBytesSameColour) {
      TBlockOps ops(bytes, startKey, fillValue);
      filled = SpanFill(bitmap, ops, start);
    } else {
      TPixelOps ops(format, test, fillValue);
      filled = SpanFill(bitmap, ops, start);
    }
    surface.SurfaceChanged();
    if (canvas.OnChange) canvas.OnChange();
    return filled;
  };
  switch (bits) {
  case 1:
    return run(TIndexed<1>{&canonical});
  case 4:
    return run(TIndexed<4>{&canonical});
  case 8:
    return run(TIndexed<8>{&canonical});
  case 15:
    return run(TDirect16<0x7FFF>{});
  case 16:
    return run(TDirect16<0xFFFF>{});
  case 24:
    return run(TDirect24{});
  default:
    return run(TDirect32{});
  }
}

} // namespace kestrel
