#include "imaging/bmod/BmodBridge.h"

#include "imaging/bmod/BitmapModule.h"
#include "imaging/core/DibGraphic.h"

#include <algorithm>

namespace kestrel {

namespace {

const char* const kNoOptions = "";

const TBmodFormat& GuessFormat(const std::string& fileName) {
  const TBmodFormat* format = BmodGuessFileType(fileName);
  if (!format) throw EBmodError("bmod_guess_filetype failed.");
  return *format;
}

void Check(const TBmodStatus& status, const char* message) {
  if (!status.Ok()) throw EBmodError(message, status.Reason());
}

std::unique_ptr<TBmodReader> ReadHeader(TBmodFile& file, const std::string& fileName) {
  const TBmodFormat& format = GuessFormat(fileName);
  std::unique_ptr<TBmodReader> reader;
  Check(BmodReadHeader(format, file, kNoOptions, reader), "bmod_read_header failed.");
  return reader;
}

TImageFormat PictureFormat(int bitsPerPixel) {
  switch (bitsPerPixel) {
  case 1:
    return ifBlackWhite;
  case 4:
    return ifColor16;
  case 8:
    return ifColor256;
  case 24:
    return ifTrueColor;
  }
  throw EBmodError("Internal error: Invalid image format");
}

TDibPalette PictureColors(const std::vector<TBmodRgb>& colors) {
  TDibPalette palette;
  palette.Version = TDibPalette::kVersion;
  palette.Count = static_cast<uint16_t>(std::min<size_t>(colors.size(), TDibPalette::kMaxEntries));
  for (int i = 0; i < palette.Count; ++i)
    palette.Entries[i] = {colors[i].Blue, colors[i].Green, colors[i].Red, 0};
  return palette;
}

// The picture's palette as 2^bits triples (missing entries black); none for true colour.
std::vector<TBmodRgb> ModuleColors(const TDibGraphic& picture) {
  if (!HasPalette(picture.ImageFormat())) return {};
  std::vector<TBmodRgb> colors(size_t(1) << picture.BitsPerPixel());
  const TDibPalette& palette = picture.Palette();
  const int count = std::min<int>(palette.Count, static_cast<int>(colors.size()));
  for (int i = 0; i < count; ++i) {
    const TDibPaletteEntry& e = palette.Entries[i];
    colors[i] = {e.Red, e.Green, e.Blue};
  }
  return colors;
}

// The module's view of the picture's pixels (bits: where the picture lets them be read or written).
TBmodBitmap ModuleBitmap(const TDibGraphic& picture, uint8_t* bits) {
  TBmodBitmap bitmap;
  bitmap.Width = picture.Width();
  bitmap.Height = picture.Height();
  bitmap.BitsPerPixel = picture.Empty() ? 0 : picture.BitsPerPixel();
  bitmap.BytesPerLine = picture.BytesPerLine();
  bitmap.Bits = bits;
  bitmap.TopDown = picture.RowOrder() == TRowOrder::TopDown;
  return bitmap;
}

} // namespace

void BmodReadImage(TDibGraphic& picture, TBmodFile& file, const std::string& fileName) {
  const std::unique_ptr<TBmodReader> reader = ReadHeader(file, fileName);
  const TBmodBitmap& header = reader->Header();
  const TImageFormat format = PictureFormat(header.BitsPerPixel);
  Check(BmodCheckData(*reader), "bmod_read_data failed.");
  const TDibPalette palette = PictureColors(header.Palette);
  picture.NewImage(header.Width, header.Height, format, HasPalette(format) ? &palette : nullptr, 0,
                   0);
  TBmodBitmap target = ModuleBitmap(picture, picture.Bits());
  target.Palette = header.Palette;
  Check(BmodReadData(*reader, target), "bmod_read_data failed.");
  if (header.HasResolution) {
    picture.SetXDotsPerInch(header.XDpi);
    picture.SetYDotsPerInch(header.YDpi);
  }
}

TImageInfo BmodReadInfo(TBmodFile& file, const std::string& fileName) {
  const std::unique_ptr<TBmodReader> reader = ReadHeader(file, fileName);
  const TBmodBitmap& header = reader->Header();
  PictureFormat(header.BitsPerPixel);
  TImageInfo info;
  info.Width = header.Width;
  info.Height = header.Height;
  info.BitsPerPixel = header.BitsPerPixel;
  info.PaletteEntries = static_cast<int>(header.Palette.size());
  return info;
}

void BmodWriteImage(const TDibGraphic& picture, TBmodFile& file, const std::string& fileName) {
  const TBmodFormat& format = GuessFormat(fileName);
  // Writing only reads the pixels: they may be shared with the bitmap being saved, and taking them
  // for writing would copy them.
  TBmodBitmap bitmap = ModuleBitmap(picture, const_cast<uint8_t*>(picture.Bits()));
  bitmap.Palette = ModuleColors(picture);
  bitmap.HasResolution = true;
  bitmap.XDpi = picture.XDotsPerInch();
  bitmap.YDpi = picture.YDotsPerInch();
  Check(BmodWrite(format, file, kNoOptions, bitmap), "bmod_write failed.");
}

} // namespace kestrel
