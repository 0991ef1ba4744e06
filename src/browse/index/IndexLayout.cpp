#include "browse/index/IndexLayout.h"

#include <algorithm>
#include <cmath>

namespace kestrel {
namespace {

int CellLeft(const TIndexPageConfig& config, const TIndexGeometry& g, int column) {
  return config.PageBorder + g.Border + config.Spacing +
         column * (2 * (config.Spacing + g.Border) + g.CellWidth);
}

int CellTop(const TIndexPageConfig& config, const TIndexGeometry& g, int rowOffset) {
  return rowOffset + g.TitleHeight + config.PageBorder + g.Border + config.Spacing;
}

// Nearest whole number, halves to even.
int RoundEven(double value) {
  return static_cast<int>(std::nearbyint(value));
}

} // namespace

TIndexGeometry IndexGeometryOf(const TIndexPageConfig& config, int titleHeight, int footerHeight,
                               int captionHeight) {
  TIndexGeometry g;
  g.TitleHeight = titleHeight;
  g.FooterHeight = footerHeight;
  g.CaptionHeight = captionHeight;
  g.Border = std::max(config.ThumbBorder, 0);
  const int columns = std::max(config.Columns, 1);
  const int rows = std::max(config.Rows, 1);
  const int b = config.PageBorder, s = config.Spacing, t = g.Border;
  g.CellWidth = (config.PageWidth - 2 * b - 2 * (s + t) * columns) / columns;
  g.CellHeight = (config.PageHeight - titleHeight - footerHeight - s - t - 2 * b) / rows -
                 captionHeight - s - t;
  return g;
}

TRect IndexPictureRect(const TIndexPageConfig& config, const TIndexGeometry& g, int width,
                       int height, int column, int rowOffset) {
  const double aspect =
      width > 0 && height > 0 ? static_cast<double>(width) / static_cast<double>(height) : 1.0;
  const int q = std::min(static_cast<int>(g.CellWidth / aspect), g.CellHeight);
  const int w = static_cast<int>(q * aspect);
  const int left = (g.CellWidth - w) / 2 + CellLeft(config, g, column);
  const int top = CellTop(config, g, rowOffset);
  return {left, top, left + w, top + q};
}

TRect IndexCellBox(const TIndexPageConfig& config, const TIndexGeometry& g, int column,
                   int rowOffset) {
  return Bounds(CellLeft(config, g, column), CellTop(config, g, rowOffset), g.CellWidth,
                g.CellHeight);
}

int IndexNextRowOffset(const TIndexPageConfig& config, const TIndexGeometry& g, int rowOffset,
                       int tallest) {
  return rowOffset + tallest + config.Spacing + g.CaptionHeight + g.Border;
}

std::vector<TRect> ThumbnailFrames(const TRect& picture, int t) {
  std::vector<TRect> frames;
  const int grow = std::max(t, 0);
  for (int k = 0; k < std::abs(t); ++k)
    frames.push_back({picture.Left - grow + k, picture.Top - grow + k, picture.Right + grow - k,
                      picture.Bottom + grow - k});
  return frames;
}

TRect FramedRect(const TRect& picture, int t) {
  const int grow = std::max(t, 0);
  return {picture.Left - grow, picture.Top - grow, picture.Right + grow, picture.Bottom + grow};
}

std::optional<TIndexGrid> ProposeIndexGrid(int files, int width, int height) {
  if (height <= 0) return std::nullopt;
  const double ratio = static_cast<double>(width) / height;
  if (ratio == 0) return std::nullopt;
  TIndexGrid grid;
  const double root = std::sqrt(files * ratio);
  grid.Columns = RoundEven(root);
  if (grid.Columns > 0) {
    grid.Rows = RoundEven(files / root);
    bool columnsNext = ratio > 1;
    while (grid.Columns * grid.Rows < files) {
      (columnsNext ? grid.Columns : grid.Rows) += 1;
      columnsNext = !columnsNext;
    }
  }
  return grid;
}

} // namespace kestrel
