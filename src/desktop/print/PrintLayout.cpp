#include "desktop/print/PrintLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kestrel {

namespace {

constexpr const char* kPositionNames[] = {"center",       "top-left",     "top-right",
                                          "bottom-left",  "bottom-right", "top-center",
                                          "bottom-center"};

int Rounded(double value) {
  return static_cast<int>(std::lround(value));
}

} // namespace

QString PrintPositionName(TPrintPosition position) {
  return kPositionNames[static_cast<int>(position)];
}

std::optional<TPrintPosition> PrintPositionNamed(const QString& name) {
  for (int i = 0; i < int(std::size(kPositionNames)); ++i)
    if (name == kPositionNames[i]) return static_cast<TPrintPosition>(i);
  return std::nullopt;
}

int FitPercentage(TSize picture, TSize page) {
  if (picture.Width <= 0 || picture.Height <= 0 || page.Width <= 0 || page.Height <= 0)
    return kMinPercent;
  // Whole numbers, rounded down: a fit rounded up would cut the picture's edge off the page.
  const int64_t across = int64_t(100) * page.Width / picture.Width;
  const int64_t down = int64_t(100) * page.Height / picture.Height;
  const int64_t fit = std::min({across, down, int64_t(INT32_MAX)});
  // A picture a hundred times the page would get 0, below what the scale field holds.
  return std::max(kMinPercent, static_cast<int>(fit));
}

TSize PrintedSize(TSize picture, int percent) {
  const double f = percent * 0.01;
  return {std::max(1, Rounded(picture.Width * f)), std::max(1, Rounded(picture.Height * f))};
}

TPoint PlaceAt(TPrintPosition position, TSize area, TSize item) {
  const int right = area.Width - item.Width;
  const int bottom = area.Height - item.Height;
  // Integer division halves toward zero, as the placement rules say.
  const int centre = right / 2;
  switch (position) {
  case TPrintPosition::Center:
    return {centre, bottom / 2};
  case TPrintPosition::TopLeft:
    return {0, 0};
  case TPrintPosition::TopRight:
    return {right, 0};
  case TPrintPosition::BottomLeft:
    return {0, bottom};
  case TPrintPosition::BottomRight:
    return {right, bottom};
  case TPrintPosition::TopCenter:
    return {centre, 0};
  case TPrintPosition::BottomCenter:
    return {centre, bottom};
  }
  return {};
}

TSize DiagramSize(int clientHeight, TSize page, bool landscape) {
  if (page.Width <= 0 || page.Height <= 0) return {};
  const double aspect = double(page.Width) / page.Height;
  int height = clientHeight * 15 / 24;
  if (landscape) height = Rounded(height / aspect);
  return {Rounded(aspect * height), height};
}

TSize ShapeSize(TSize diagram, TSize page, TSize picture, int percent) {
  if (page.Height <= 0 || picture.Width <= 0 || picture.Height <= 0) return {};
  const double f = percent * 0.01;
  const int height = Rounded(diagram.Height * f * picture.Height / page.Height);
  const int width = Rounded(double(height) * picture.Width / picture.Height);
  return {std::max(1, width), std::max(1, height)};
}

TPrintPlacement PlacePicture(TSize picture, TSize page, int percent, TPrintPosition position) {
  TPrintPlacement placement;
  placement.Page = page;
  placement.Percent = percent;
  placement.Printed = PrintedSize(picture, percent);
  placement.Offset = PlaceAt(position, page, placement.Printed);
  return placement;
}

} // namespace kestrel
