#include "imaging/transform/NegativeTransform.h"

#include "imaging/core/DibGraphic.h"

#include <cstring>
#include <utility>
#include <vector>

namespace kestrel {

void TNegativeTransform::Apply(TDibGraphic& graphic) {
  ResetProgress();
  ReportProgress(0, 0, 100);
  if (!graphic.Empty()) {
    switch (graphic.ImageFormat()) {
    case ifBlackWhite:
    case ifGray16:
    case ifGray256:
      // The whole stored row, padding included.
      ComplementRows(graphic, graphic.BytesPerLine());
      break;
    case ifTrueColor:
      ComplementRows(graphic, graphic.Width() * 3);
      break;
    case ifColor16:
    case ifColor256:
      ComplementPalette(graphic);
      break;
    }
  }
  ReportProgress(100, 0, 100);
}

void TNegativeTransform::ApplyOnDest(const TDibGraphic& source, TDibGraphic& dest) {
  dest.Assign(&source);
  Apply(dest);
}

void TNegativeTransform::ComplementRows(TDibGraphic& graphic, int bytesPerRow) {
  const int height = graphic.Height();
  for (int row = 0; row < height; ++row) {
    ReportProgress(row, 0, height - 1);
    uint8_t* line = graphic.ScanLine(row);
    for (int i = 0; i < bytesPerRow; ++i)
      line[i] = static_cast<uint8_t>(~line[i]);
  }
}

void TNegativeTransform::ComplementPalette(TDibGraphic& graphic) {
  TDibPalette negative = graphic.Palette();
  for (int i = 0; i < negative.Count; ++i) {
    TDibPaletteEntry& e = negative.Entries[i];
    e.Blue = static_cast<uint8_t>(~e.Blue);
    e.Green = static_cast<uint8_t>(~e.Green);
    e.Red = static_cast<uint8_t>(~e.Red);
  }
  // The picture is made again around the new palette; the indices are put back unchanged, row by
  // row, as the new picture may keep its rows in another order than the old one (an imported
  // picture shares its bitmap's).
  const auto rowBytes = static_cast<size_t>(graphic.BytesPerLine());
  const int height = graphic.Height();
  std::vector<uint8_t> bits(rowBytes * static_cast<size_t>(height));
  for (int row = 0; row < height; ++row)
    std::memcpy(bits.data() + rowBytes * static_cast<size_t>(row),
                std::as_const(graphic).ScanLine(row), rowBytes);
  graphic.NewImage(graphic.Width(), height, graphic.ImageFormat(), &negative,
                   graphic.XDotsPerInch(), graphic.YDotsPerInch());
  for (int row = 0; row < height; ++row)
    std::memcpy(graphic.ScanLine(row), bits.data() + rowBytes * static_cast<size_t>(row), rowBytes);
}

} // namespace kestrel
