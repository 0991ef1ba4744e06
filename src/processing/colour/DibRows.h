#pragma once
// Row access to device bitmaps in a chosen pixel format, for the colour reducers and the GIF
// frames: a reader that hands out the rows of a bitmap converted to the format, and a writer that
// collects rows and turns them into a bitmap at the end.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Palette.h"
#include "imaging/core/PixelStorage.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kestrel {

// A bitmap seen through rows of one pixel format.
class TDIB {
public:
  explicit TDIB(TPixelFormat format) : format_(format) {}
  virtual ~TDIB() = default;
  TDIB(const TDIB&) = delete;
  TDIB& operator=(const TDIB&) = delete;

  TPixelFormat PixelFormat() const { return format_; }

private:
  TPixelFormat format_;
};

class TDIBReader : public TDIB {
public:
  // Converts the bitmap's pixels to format once, on creation; the bitmap itself is left as it is
  // and must outlive the reader. Raises EInvalidGraphic "Invalid pixel format" for pfCustom, and
  // the bitmap's size error when the converted copy passes the memory limit.
  TDIBReader(const TBitmap& bitmap, TPixelFormat format);
  ~TDIBReader() override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Row row (0 = top) in the format's packing. Raises EInvalidGraphicOperation "Scan line index
  // out of range" outside 0..Height()-1.
  const uint8_t* ScanLine(int row) const;

private:
  const TBitmap& bitmap_;
  int width_, height_;
  // Where the bitmap's own rows are not in the format: direct formats are converted here...
  TPixelStorage converted_;
  // ... palette formats by a converted copy of the bitmap.
  std::unique_ptr<TBitmap> copy_;
};

class TDIBWriter : public TDIB {
public:
  // A writer of |height| rows of width pixels into bitmap, with palette as the colour table of an
  // 8-bit result. As a helper of the GIF frames it raises their GIFException: "Unsupported
  // PixelFormat" for formats other than 8 and 24 bits, and "Invalid image dimensions" unless width
  // is positive and height is not 0. A negative height stores the rows top-down.
  TDIBWriter(TBitmap& bitmap, const TPalette& palette, int height, int width, TPixelFormat format);
  // Loads the rows into the bitmap unless Commit did so or an exception is passing.
  ~TDIBWriter() override;

  // Row row (0 = top) to fill; the first call allocates the pixels (GIFException "Failed to
  // allocate memory for GIF DIB" when they pass the memory limit). Raises EInvalidGraphicOperation
  // "Scan line index out of range" outside 0..|height|-1, and GIFException "Image has no DIB"
  // once the rows have been handed to the bitmap.
  uint8_t* ScanLine(int row);
  // Wraps the header and the rows as an in-memory .bmp file and loads it into the bitmap (an
  // untouched writer gives blank rows); the bitmap's load errors pass on.
  void Commit();

private:
  void Allocate();

  TBitmap& bitmap_;
  TPalette palette_;
  int width_, height_;
  int64_t stride_ = 0;
  int64_t dataOffset_ = 0;
  // The whole file: headers, colour table, rows; empty until the first row is asked for.
  std::vector<uint8_t> file_;
  bool committed_ = false;
};

} // namespace kestrel
