#include "imaging/tiff/TiffPixelReader.h"

#include "imaging/core/DibGraphic.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/pixels/ChannelOrder.h"
#include "imaging/tiff/TiffFile.h"
#include "imaging/tiff/TiffPageLayout.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kestrel {

namespace {

// Red, green, blue (and further samples) to blue, green, red.
void StoreBgrSamples(const uint8_t* from, uint8_t* to, uint32_t width, int samples) {
  if (samples == 3) return SwapRedAndBlue(from, to, width);
  for (uint32_t x = 0; x < width; ++x, from += samples, to += 3) {
    to[0] = from[2];
    to[1] = from[1];
    to[2] = from[0];
  }
}

// Rows per strip (or per tile, for tiled files) as libtiff gives them, within 1..height.
uint32_t RowsPerBlock(const TTiffFile& file, uint32_t height) {
  uint32_t rows = height;
  if (TIFFIsTiled(file.Handle()))
    TIFFGetField(file.Handle(), TIFFTAG_TILELENGTH, &rows);
  else
    TIFFGetFieldDefaulted(file.Handle(), TIFFTAG_ROWSPERSTRIP, &rows);
  return std::clamp<uint32_t>(rows, 1, height);
}

// A buffer of rows x rowLength elements, refused (step) when it would pass the memory limit.
template <class T>
std::vector<T> RowBuffer(const TTiffFile& file, uint64_t rowLength, uint32_t rows,
                         const char* step) {
  const auto count = CheckedMul(rowLength, rows);
  const auto bytes = count ? CheckedMul(*count, sizeof(T)) : std::nullopt;
  if (!bytes || *bytes == 0 || *bytes > ImageLimits::MaxBytes()) file.Fail(step);
  return std::vector<T>(static_cast<size_t>(*count));
}

// Copies decoded rows (scan lines of the file, lineBytes apart) into the picture: true colour
// takes the first three samples of each pixel as blue, green, red; other formats keep the bytes.
class RowCopier {
public:
  RowCopier(const TTiffFile& file, const TTiffPageLayout& layout, TDibGraphic& picture)
      : layout_(layout), picture_(picture), lineBytes_(TIFFScanlineSize64(file.Handle())),
        reorder_(layout.Format == ifTrueColor),
        copyBytes_(std::min<uint64_t>(lineBytes_, picture.BytesPerLine())) {
    const uint64_t needed = reorder_ ? uint64_t(layout.Width) * layout.SamplesPerPixel : 1;
    if (lineBytes_ < needed) file.Fail("TIFFScanlineSize");
  }

  uint64_t LineBytes() const { return lineBytes_; }

  void Store(const uint8_t* rows, uint32_t firstRow, uint32_t count) {
    for (uint32_t r = 0; r < count; ++r, rows += lineBytes_) {
      uint8_t* to = picture_.ScanLine(static_cast<int>(firstRow + r));
      if (reorder_)
        StoreBgrSamples(rows, to, layout_.Width, layout_.SamplesPerPixel);
      else
        std::memcpy(to, rows, copyBytes_);
    }
  }

private:
  const TTiffPageLayout& layout_;
  TDibGraphic& picture_;
  uint64_t lineBytes_;
  bool reorder_;
  size_t copyBytes_;
};

// A block that decoded short keeps black in its missing part rather than an earlier block.
void ClearAfter(std::vector<uint8_t>& buffer, tmsize_t got, size_t wanted) {
  if (static_cast<size_t>(got) < wanted)
    std::memset(buffer.data() + got, 0, wanted - static_cast<size_t>(got));
}

void ReadStrips(const TTiffFile& file, const TTiffPageLayout& layout, TDibGraphic& picture) {
  RowCopier copier(file, layout, picture);
  const uint32_t rowsPerStrip = RowsPerBlock(file, layout.Height);
  std::vector<uint8_t> strip =
      RowBuffer<uint8_t>(file, copier.LineBytes(), rowsPerStrip, "TIFFStripSize");
  uint32_t index = 0;
  for (uint32_t row = 0; row < layout.Height; row += rowsPerStrip, ++index) {
    const uint32_t rows = std::min(rowsPerStrip, layout.Height - row);
    const size_t want = rows * copier.LineBytes();
    const tmsize_t got =
        TIFFReadEncodedStrip(file.Handle(), index, strip.data(), static_cast<tmsize_t>(want));
    if (got < 0) file.Fail("TIFFReadEncodedStrip");
    ClearAfter(strip, got, want);
    copier.Store(strip.data(), row, rows);
  }
}

// Tiles of a band of rows are decoded and placed side by side, then the band is copied as a strip
// would be.
void ReadTiles(const TTiffFile& file, const TTiffPageLayout& layout, TDibGraphic& picture) {
  TIFF* tif = file.Handle();
  RowCopier copier(file, layout, picture);
  const uint32_t tileWidth = file.RequiredField<uint32_t>(TIFFTAG_TILEWIDTH);
  const uint32_t tileRows = RowsPerBlock(file, layout.Height);
  const uint64_t tileLineBytes = TIFFTileRowSize64(tif);
  const uint64_t pixelBits = uint64_t(layout.BitsPerSample) * layout.SamplesPerPixel;
  // Tiles start on byte boundaries only when their width in bits is whole bytes.
  if (tileLineBytes == 0 || tileWidth * pixelBits % 8 != 0) file.Fail("TIFFReadTile");
  std::vector<uint8_t> band =
      RowBuffer<uint8_t>(file, copier.LineBytes(), tileRows, "TIFFTileSize");
  const uint32_t tileLength = file.RequiredField<uint32_t>(TIFFTAG_TILELENGTH);
  std::vector<uint8_t> tile = RowBuffer<uint8_t>(file, tileLineBytes, tileLength, "TIFFTileSize");
  for (uint32_t row = 0; row < layout.Height; row += tileRows) {
    const uint32_t rows = std::min(tileRows, layout.Height - row);
    for (uint32_t column = 0; column < layout.Width; column += tileWidth) {
      const tmsize_t got = TIFFReadTile(tif, tile.data(), column, row, 0, 0);
      if (got < 0) file.Fail("TIFFReadTile");
      ClearAfter(tile, got, tile.size());
      const uint64_t offset = column * pixelBits / 8;
      const size_t bytes = std::min(tileLineBytes, copier.LineBytes() - offset);
      for (uint32_t r = 0; r < rows; ++r)
        std::memcpy(band.data() + r * copier.LineBytes() + offset, tile.data() + r * tileLineBytes,
                    bytes);
    }
    copier.Store(band.data(), row, rows);
  }
}

void ReadFaxLines(const TTiffFile& file, const TTiffPageLayout& layout, TDibGraphic& picture) {
  if (TIFFScanlineSize64(file.Handle()) > static_cast<uint64_t>(picture.BytesPerLine()))
    file.Fail("TIFFReadScanline");
  for (uint32_t row = 0; row < layout.Height; ++row)
    if (TIFFReadScanline(file.Handle(), picture.ScanLine(static_cast<int>(row)), row, 0) != 1)
      file.Fail("TIFFReadScanline");
}

class RgbaImage {
public:
  explicit RgbaImage(const TTiffFile& file) {
    char message[1024] = {};
    if (!TIFFRGBAImageOK(file.Handle(), message) ||
        !TIFFRGBAImageBegin(&image_, file.Handle(), 1, message))
      file.Fail("TIFFReadRGBAImage");
    image_.req_orientation = ORIENTATION_TOPLEFT;
  }
  ~RgbaImage() { TIFFRGBAImageEnd(&image_); }
  RgbaImage(const RgbaImage&) = delete;
  RgbaImage& operator=(const RgbaImage&) = delete;

  // Rows row .. row + rows - 1, top row first, as 32-bit red | green << 8 | blue << 16 | alpha.
  bool Get(uint32_t row, uint32_t rows, uint32_t* raster) {
    image_.row_offset = static_cast<int>(row);
    image_.col_offset = 0;
    return TIFFRGBAImageGet(&image_, raster, image_.width, rows) == 1;
  }

private:
  TIFFRGBAImage image_{};
};

void StoreRgba(const uint32_t* from, TDibGraphic& picture, int y) {
  const int width = picture.Width();
  if (picture.ImageFormat() == ifTrueColor) {
    uint8_t* to = picture.ScanLine(y);
    for (int x = 0; x < width; ++x, to += 3) {
      to[0] = static_cast<uint8_t>(TIFFGetB(from[x]));
      to[1] = static_cast<uint8_t>(TIFFGetG(from[x]));
      to[2] = static_cast<uint8_t>(TIFFGetR(from[x]));
    }
    return;
  }
  for (int x = 0; x < width; ++x)
    picture.SetPixel(x, y, TIFFGetB(from[x]) | TIFFGetG(from[x]) << 8 | TIFFGetR(from[x]) << 16);
}

void ReadRgba(const TTiffFile& file, const TTiffPageLayout& layout, TDibGraphic& picture) {
  RgbaImage image(file);
  const uint64_t rowBytes = uint64_t(layout.Width) * sizeof(uint32_t);
  // Bands as tall as the file's strips or tiles, so each is decoded once, within the limit.
  const uint32_t band = static_cast<uint32_t>(
      std::min<uint64_t>(RowsPerBlock(file, layout.Height),
                         std::max<uint64_t>(1, ImageLimits::MaxBytes() / rowBytes)));
  std::vector<uint32_t> pixels = RowBuffer<uint32_t>(file, layout.Width, band, "TIFFReadRGBAImage");
  uint32_t* raster = pixels.data();
  for (uint32_t row = 0; row < layout.Height; row += band) {
    const uint32_t rows = std::min(band, layout.Height - row);
    if (!image.Get(row, rows, raster)) file.Fail("TIFFReadRGBAImage");
    for (uint32_t r = 0; r < rows; ++r)
      StoreRgba(raster + size_t(r) * layout.Width, picture, static_cast<int>(row + r));
  }
}

} // namespace

void ReadTiffPixels(const TTiffFile& file, const TTiffPageLayout& layout, TDibGraphic& picture) {
  switch (layout.Path) {
  case TTiffReadPath::Strips:
    return ReadStrips(file, layout, picture);
  case TTiffReadPath::Tiles:
    return ReadTiles(file, layout, picture);
  case TTiffReadPath::FaxLines:
    return ReadFaxLines(file, layout, picture);
  case TTiffReadPath::Rgba:
    return ReadRgba(file, layout, picture);
  }
}

} // namespace kestrel
