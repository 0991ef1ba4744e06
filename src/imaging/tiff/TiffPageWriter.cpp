#include "imaging/tiff/TiffPageWriter.h"

#include "imaging/core/DibGraphic.h"
#include "imaging/pixels/ChannelOrder.h"
#include "imaging/tiff/TiffFile.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

namespace kestrel {

namespace {

std::string DateTimeText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &local);
  return text;
}

int Brightness(const TDibPaletteEntry& e) {
  return e.Red + e.Green + e.Blue;
}

// Black-and-white rows go out inverted for the fax kinds (zero is white there). A picture whose
// palette has the light colour first stores the opposite bits, which is inverted as well, so the
// file shows the same picture.
bool InvertsRows(const TDibGraphic& picture, TTiffCompression kind) {
  if (picture.ImageFormat() != ifBlackWhite) return false;
  const TDibPalette& palette = picture.Palette();
  const bool lightFirst =
      palette.Count >= 2 && Brightness(palette.Entries[0]) > Brightness(palette.Entries[1]);
  return IsFaxCompression(kind) != lightFirst;
}

void WriteColorMap(TTiffFile& file, const TDibPalette& palette, int bitsPerSample) {
  const size_t size = size_t(1) << bitsPerSample;
  std::vector<uint16_t> red(size), green(size), blue(size);
  for (size_t i = 0; i < std::min<size_t>(size, palette.Count); ++i) {
    red[i] = static_cast<uint16_t>(palette.Entries[i].Red * 257);
    green[i] = static_cast<uint16_t>(palette.Entries[i].Green * 257);
    blue[i] = static_cast<uint16_t>(palette.Entries[i].Blue * 257);
  }
  file.SetColorMap(red.data(), green.data(), blue.data());
}

void WriteFormatFields(TTiffFile& file, const TDibGraphic& picture, TTiffCompression kind) {
  const TImageFormat format = picture.ImageFormat();
  const bool trueColor = format == ifTrueColor;
  const int bitsPerSample = trueColor ? 8 : picture.BitsPerPixel();
  uint16_t photometric = PHOTOMETRIC_MINISBLACK;
  if (format == ifBlackWhite && IsFaxCompression(kind)) photometric = PHOTOMETRIC_MINISWHITE;
  if (format == ifColor16 || format == ifColor256) photometric = PHOTOMETRIC_PALETTE;
  if (trueColor) photometric = PHOTOMETRIC_RGB;
  file.SetIntField(TIFFTAG_BITSPERSAMPLE, static_cast<uint32_t>(bitsPerSample));
  file.SetIntField(TIFFTAG_SAMPLESPERPIXEL, trueColor ? 3 : 1);
  file.SetIntField(TIFFTAG_PHOTOMETRIC, photometric);
  if (photometric == PHOTOMETRIC_PALETTE) WriteColorMap(file, picture.Palette(), bitsPerSample);
}

// One row as the file holds it.
void ConvertRow(const uint8_t* from, uint8_t* to, size_t bytes, const TDibGraphic& picture,
                bool invert) {
  if (picture.ImageFormat() == ifTrueColor) {
    SwapRedAndBlue(from, to, static_cast<size_t>(picture.Width()));
  } else if (invert) {
    for (size_t i = 0; i < bytes; ++i)
      to[i] = static_cast<uint8_t>(~from[i]);
  } else {
    std::memcpy(to, from, bytes);
  }
}

void WriteRows(TTiffFile& file, const TDibGraphic& picture, TTiffCompression kind) {
  const bool invert = InvertsRows(picture, kind);
  const size_t bytes = static_cast<size_t>(picture.BytesPerLine());
  // libtiff may change the buffer it encodes from, so rows are handed over in a copy.
  std::vector<uint8_t> row(bytes);
  for (int y = 0; y < picture.Height(); ++y) {
    ConvertRow(picture.ScanLine(y), row.data(), bytes, picture, invert);
    if (TIFFWriteScanline(file.Handle(), row.data(), static_cast<uint32_t>(y), 0) != 1)
      file.Fail("TIFFWriteScanLine");
  }
}

} // namespace

void WriteTiffPage(TTiffFile& file, const TDibGraphic& picture, TTiffCompression kind) {
  const TTiffCompressionKind& written = TiffCompressionKind(kind);
  file.SetIntField(TIFFTAG_ROWSPERSTRIP, written.RowsPerStrip);
  file.SetIntField(TIFFTAG_COMPRESSION, written.Tag);
  if (written.T4Options) file.SetIntField(TIFFTAG_GROUP3OPTIONS, *written.T4Options);
  file.SetIntField(TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  file.SetTextField(TIFFTAG_SOFTWARE, "Zeduzizi Image Library");
  file.SetTextField(TIFFTAG_DATETIME, DateTimeText());
  file.SetIntField(TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  file.SetFloatField(TIFFTAG_XRESOLUTION, picture.XDotsPerInch());
  file.SetFloatField(TIFFTAG_YRESOLUTION, picture.YDotsPerInch());
  file.SetIntField(TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(picture.Width()));
  file.SetIntField(TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(picture.Height()));
  WriteFormatFields(file, picture, kind);
  WriteRows(file, picture, kind);
  file.Flush();
}

} // namespace kestrel
