#pragma once
// TTiffGraphic: the TIFF codec of the image library, over libtiff. It reads any page of a
// multi-page file, counts the pages, writes a new single-page file or appends a page to an
// existing one, and remembers a compression kind (TTiffCompression): the file's own after a load,
// the default of the format after NewImage (Group 4 for black and white, Packbits otherwise).
//
// Reading (page n): the page's layout decides the picture (TTiffPageLayout): 1, 4, 8 or 24 bits
// (bits per sample x samples per pixel, capped at 24), grey or palette formats from the
// photometric interpretation, true colour otherwise; strips, fax scan lines or libtiff's RGBA
// reading for tiles, planes, JPEG, YCbCr, CMYK and deep samples. Pictures whose file says zero is
// white are turned into their negative after copying. LZW is refused (EZeduziziError "LZW
// compression not supported"), as is any compression without a kind (ETiffError "Unsupported
// compression tag, <n>"); every libtiff failure raises ETiffError with its step.

#include "imaging/core/DibGraphic.h"
#include "imaging/tiff/TiffCompression.h"

namespace kestrel {

class TTiffGraphic : public TDibGraphic {
public:
  const char* ClassName() const override { return "TTiffGraphic"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // Writes a new single-page file. At a stream position other than 0 the file is built in memory
  // and written from that position. Raises EZeduziziError "The image is empty" for an empty
  // picture and the mismatch error of SetCompression when the kind does not suit the format.
  void SaveToStream(TStream& stream) override;
  // Pages in the stream from its position, following the directory chain; ETiffError "TIFFOpen"
  // when it holds no TIFF.
  int ImageCountInStream(TStream& stream) override;
  // Reads page index (1-based) of the TIFF data that starts at the stream's position.
  void SingleLoadFromStream(TStream& stream, int index) override;
  // Adds the picture as a new last page of the TIFF file that starts at the stream's beginning;
  // an empty stream gets a new file.
  void AppendToStream(TStream& stream) override;
  // Makes the picture, and sets the compression to the format's default.
  void NewImage(int width, int height, TImageFormat format, const TDibPalette* palette = nullptr,
                uint16_t xDpi = 0, uint16_t yDpi = 0) override;
  // Size, depth, palette entries and page count from the first page's directory, without pixels.
  TImageInfo ReadInfo(TStream& stream) const override;

  TTiffCompression Compression() const { return compression_; }
  // Raises EZeduziziError "<kind name> compression not supported with <format description>
  // images" when the picture's format does not accept the kind (the fax kinds take black and
  // white only, JPEG 256 greys and true colour only).
  void SetCompression(TTiffCompression kind);

private:
  void WriteFile(TStream& stream, const char* mode);

  TTiffCompression compression_ = tcGroup4;
};

} // namespace kestrel
