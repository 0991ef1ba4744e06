#include "imaging/tiff/TiffGraphic.h"

#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Stream.h"
#include "imaging/tiff/TiffFile.h"
#include "imaging/tiff/TiffPageLayout.h"
#include "imaging/tiff/TiffPageWriter.h"
#include "imaging/tiff/TiffPixelReader.h"
#include "imaging/transform/NegativeTransform.h"

namespace kestrel {

namespace {

// TIFF offsets count from the first byte of the TIFF data: a stream that is not at its start is
// read from a copy of the rest of it.
TStream& FromHere(TStream& stream, TMemoryStream& copy) {
  if (stream.Position() == 0) return stream;
  copy.CopyFrom(stream, 0);
  copy.SetPosition(0);
  return copy;
}

void SelectPage(const TTiffFile& file, int index) {
  if (index < 1 || TIFFSetDirectory(file.Handle(), static_cast<tdir_t>(index - 1)) != 1)
    file.Fail("TIFFSetDirectory");
}

TTiffCompression CompressionOfFile(const TTiffFile& file, uint16_t tag) {
  const uint32_t t4Options =
      tag == COMPRESSION_CCITTFAX3 ? file.Field<uint32_t>(TIFFTAG_GROUP3OPTIONS).value_or(0) : 0;
  const std::optional<TTiffCompression> kind = TiffCompressionOfTag(tag, t4Options);
  if (!kind) throw ETiffError(formatMessage("Unsupported compression tag, %d", tag));
  return *kind;
}

} // namespace

std::unique_ptr<TGraphic> TTiffGraphic::NewInstance() const {
  return std::make_unique<TTiffGraphic>();
}

void TTiffGraphic::NewImage(int width, int height, TImageFormat format, const TDibPalette* palette,
                            uint16_t xDpi, uint16_t yDpi) {
  TDibGraphic::NewImage(width, height, format, palette, xDpi, yDpi);
  compression_ = format == ifBlackWhite ? tcGroup4 : tcPackbits;
}

void TTiffGraphic::SetCompression(TTiffCompression kind) {
  if (!TiffCompressionAccepts(kind, ImageFormat()))
    throw EZeduziziError(formatMessage("%s compression not supported with %s images",
                                       TiffCompressionKind(kind).Name,
                                       FormatDescription(ImageFormat()).c_str()));
  compression_ = kind;
}

int TTiffGraphic::ImageCountInStream(TStream& stream) {
  TMemoryStream copy;
  TTiffFile file(FromHere(stream, copy), "r");
  return static_cast<int>(TIFFNumberOfDirectories(file.Handle()));
}

void TTiffGraphic::SingleLoadFromStream(TStream& stream, int index) {
  TMemoryStream copy;
  TTiffFile file(FromHere(stream, copy), "r");
  SelectPage(file, index);
  const TTiffPageLayout layout = ReadTiffPageLayout(file);
  NewImage(static_cast<int>(layout.Width), static_cast<int>(layout.Height), layout.Format,
           layout.Palette ? &*layout.Palette : nullptr, layout.XDpi, layout.YDpi);
  compression_ = CompressionOfFile(file, layout.CompressionTag);
  ReadTiffPixels(file, layout, *this);
  if (layout.Invert) TNegativeTransform().Apply(*this);
}

TImageInfo TTiffGraphic::ReadInfo(TStream& stream) const {
  TMemoryStream copy;
  TTiffFile file(FromHere(stream, copy), "r");
  TImageInfo info;
  info.Frames = static_cast<int>(TIFFNumberOfDirectories(file.Handle()));
  SelectPage(file, 1);
  const TTiffPageLayout layout = ReadTiffPageLayout(file);
  info.Width = static_cast<int>(layout.Width);
  info.Height = static_cast<int>(layout.Height);
  info.BitsPerPixel = FormatBitsPerPixel(layout.Format);
  const TDibPalette* palette = layout.Palette ? &*layout.Palette : DefaultDibPalette(layout.Format);
  info.PaletteEntries = palette ? palette->Count : 0;
  return info;
}

void TTiffGraphic::WriteFile(TStream& stream, const char* mode) {
  if (Empty()) throw EZeduziziError("The image is empty");
  SetCompression(compression_);
  TTiffFile file(stream, mode);
  WriteTiffPage(file, *this, compression_);
}

void TTiffGraphic::SaveToStream(TStream& stream) {
  if (stream.Position() == 0) return WriteFile(stream, "w");
  TMemoryStream file;
  WriteFile(file, "w");
  stream.WriteBuffer(file.Bytes().data(), file.Size());
}

void TTiffGraphic::AppendToStream(TStream& stream) {
  if (stream.Size() == 0) return SaveToStream(stream);
  stream.SetPosition(0);
  WriteFile(stream, "a");
}

} // namespace kestrel
