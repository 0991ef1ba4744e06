#pragma once
// TStorageSurface: what a canvas draws on when a picture keeps its own pixel storage (the device
// bitmap and the device-independent image). Palette storage takes the nearest entry through the
// owner's converter; top-down direct-colour storage lets the painter work in place.

#include "imaging/core/Canvas.h"
#include "imaging/core/PixelStorage.h"
#include "imaging/core/RgbToPaletteConverter.h"

#include <QImage>

namespace kestrel {

// The Qt format with the same packing as storage of a depth (Format_Invalid for 4 bits).
QImage::Format QtFormatOfDepth(int bitsPerPixel);

class TStorageSurface : public TCanvasSurface {
public:
  // Both are the owner's and outlive the surface; the table colours palette indices.
  TStorageSurface(TPixelStorage& storage, const TColorTable& table)
      : storage_(storage), table_(table) {}

  int SourceWidth() const override { return storage_.Width(); }
  int SourceHeight() const override { return storage_.Height(); }
  void ReadPixels(int x0, int y, int count, TPixelColor* out) const override;
  void WritePixels(int x0, int y, int count, const TPixelColor* colors) override;
  TPixelColor Representable(TPixelColor color) override;
  QImage DirectView() override;
  const TPixelStorage* RawStorage() const override { return &storage_; }
  const TColorTable* RawColorTable() const override { return &table_; }
  TPixelStorage* RawStorageForWrite() override { return &storage_; }

protected:
  // The nearest-entry lookup of palette storage; never called for direct colour.
  virtual TRgbToPaletteConverter& Converter() = 0;

private:
  TPixelStorage& storage_;
  const TColorTable& table_;
};

} // namespace kestrel
