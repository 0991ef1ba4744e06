#include "processing/colour/ReduceToPalette.h"

#include "processing/colour/DibRows.h"

namespace kestrel {

namespace {

TBgrRowSource RowsOf(const TDIBReader& reader) {
  return [&reader](int y) { return reader.ScanLine(y); };
}

} // namespace

std::unique_ptr<TBitmap> ReduceToPalette(const TBitmap& source, int mode, int ditherMode, int bits,
                                         const TPalette& customPalette) {
  auto result = std::make_unique<TBitmap>();
  if (mode == rmNone) {
    result->Assign(&source);
    result->SetPixelFormat(pf24bit);
    return result;
  }
  // A large picture's empty result costs nothing until its rows are written.
  if (static_cast<int64_t>(source.Width()) * source.Height() > 500000)
    result->SetPixelFormat(pf1bit);
  TDIBReader reader(source, pf24bit);
  TBgrRowSource rows = RowsOf(reader);
  TPaletteReduction reduction(mode, ditherMode, bits, customPalette, reader.Width(),
                              reader.Height(), rows);
  if (reduction.Empty()) return result;
  TDIBWriter writer(*result, reduction.Palette(), reader.Height(), reader.Width(), pf8bit);
  reduction.Run(rows, [&writer](int y) { return writer.ScanLine(y); });
  writer.Commit();
  return result;
}

TPalette BuildOctreePalette(const TBitmap& bitmap, int colors, int colorBits, bool systemColors) {
  TDIBReader reader(bitmap, pf24bit);
  return OctreePalette(reader.Width(), reader.Height(), RowsOf(reader), colors, colorBits,
                       systemColors);
}

} // namespace kestrel
