#include "processing/editing/ToolGeometry.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace kestrel {
namespace {

int ClampStep(int step) {
  return std::clamp(step, 0, kPenWidthSteps - 1);
}

} // namespace

int PenWidthOfStep(int step) {
  static constexpr std::array<int, kPenWidthSteps> widths{1, 2, 4, 8, 12, 16};
  return widths[static_cast<size_t>(ClampStep(step))];
}

int PenSampleSize(int step) {
  static constexpr std::array<int, kPenWidthSteps> sizes{4, 6, 8, 10, 12, 16};
  return sizes[static_cast<size_t>(ClampStep(step))];
}

int NextPenStep(int step, bool up) {
  return ClampStep(step + (up ? 1 : -1));
}

TCorners NormalizedCorners(const TCorners& c) {
  return {std::min(c.Left, c.Right), std::min(c.Top, c.Bottom), std::max(c.Left, c.Right),
          std::max(c.Top, c.Bottom)};
}

TSize ShapeSize(const TCorners& c) {
  return {std::abs(c.Right - c.Left) + 1, std::abs(c.Bottom - c.Top) + 1};
}

TRect CropArea(const TCorners& corners, int width, int height) {
  const TCorners n = NormalizedCorners(corners);
  // In 64 bits: corners dragged far outside must not overflow when extended.
  const auto clip = [](int64_t v, int limit) {
    return static_cast<int>(std::clamp<int64_t>(v, 0, limit));
  };
  const TRect area{clip(n.Left, width), clip(n.Top, height), clip(int64_t(n.Right) + 1, width),
                   clip(int64_t(n.Bottom) + 1, height)};
  return area.IsEmpty() ? TRect{} : area;
}

TRect TextBoxArea(const TCorners& corners) {
  const TCorners n = NormalizedCorners(corners);
  return {n.Left + 1, n.Top + 1, std::max(n.Left + 1, n.Right), std::max(n.Top + 1, n.Bottom)};
}

int AdjustTolerance(int penWidth, int zoom, bool selectTool) {
  const int half = selectTool ? 0 : penWidth / 2;
  return half + (zoom <= 1 ? 2 : zoom == 2 ? 1 : 0);
}

TAdjustZone AdjustZoneAt(const TCorners& corners, TPoint p, int t) {
  const TCorners c = NormalizedCorners(corners);
  if (p.X < c.Left - t || p.X > c.Right + t || p.Y < c.Top - t || p.Y > c.Bottom + t)
    return TAdjustZone::Outside;
  const bool left = std::abs(p.X - c.Left) <= t, right = std::abs(p.X - c.Right) <= t;
  const bool top = std::abs(p.Y - c.Top) <= t, bottom = std::abs(p.Y - c.Bottom) <= t;
  if (left && top) return TAdjustZone::TopLeft;
  if (right && top) return TAdjustZone::TopRight;
  if (right && bottom) return TAdjustZone::BottomRight;
  if (left && bottom) return TAdjustZone::BottomLeft;
  if (left) return TAdjustZone::Left;
  if (top) return TAdjustZone::Top;
  if (right) return TAdjustZone::Right;
  if (bottom) return TAdjustZone::Bottom;
  return TAdjustZone::Inside;
}

TCorners AdjustedCorners(const TCorners& corners, TAdjustZone zone, int dx, int dy) {
  TCorners c = NormalizedCorners(corners);
  const bool moveLeft = zone == TAdjustZone::Inside || zone == TAdjustZone::Left ||
                        zone == TAdjustZone::TopLeft || zone == TAdjustZone::BottomLeft;
  const bool moveRight = zone == TAdjustZone::Inside || zone == TAdjustZone::Right ||
                         zone == TAdjustZone::TopRight || zone == TAdjustZone::BottomRight;
  const bool moveTop = zone == TAdjustZone::Inside || zone == TAdjustZone::Top ||
                       zone == TAdjustZone::TopLeft || zone == TAdjustZone::TopRight;
  const bool moveBottom = zone == TAdjustZone::Inside || zone == TAdjustZone::Bottom ||
                          zone == TAdjustZone::BottomLeft || zone == TAdjustZone::BottomRight;
  if (moveLeft) c.Left += dx;
  if (moveRight) c.Right += dx;
  if (moveTop) c.Top += dy;
  if (moveBottom) c.Bottom += dy;
  return NormalizedCorners(c);
}

TCorners WithOrientationOf(const TCorners& original, const TCorners& adjusted) {
  TCorners c = adjusted;
  if (original.Left > original.Right) std::swap(c.Left, c.Right);
  if (original.Top > original.Bottom) std::swap(c.Top, c.Bottom);
  return c;
}

int ZoomFactorOfStep(int step) {
  return 1 << std::clamp(step, 0, 4);
}

int ZoomStepOfFactor(int factor) {
  int step = 0;
  while (step < 4 && (1 << step) < factor)
    ++step;
  return step;
}

int ZoomScrollPosition(int oldRange, int oldPosition, int newRange, int client, int delta) {
  if (oldRange <= 0) return 0;
  delta = std::clamp(delta, -4, 4);
  // (2^delta - 1) / 2 as a fraction C / D.
  int64_t c = 0, d = 2;
  if (delta > 0) {
    c = (int64_t(1) << delta) - 1;
  } else if (delta < 0) {
    c = 1 - (int64_t(1) << -delta);
    d = int64_t(1) << (1 - delta);
  }
  const int64_t position = int64_t(newRange) * oldPosition / oldRange + c * int64_t(client) / d;
  return static_cast<int>(std::clamp<int64_t>(position, 0, INT32_MAX));
}

} // namespace kestrel
