#include "imaging/bmod/BitmapModule.h"

#include "imaging/core/ImageLimits.h"
#include "imaging/core/Picture.h"

#include <map>
#include <new>

namespace kestrel {

namespace {

std::map<std::string, const TBmodFormat*>& Formats() {
  static std::map<std::string, const TBmodFormat*> formats;
  return formats;
}

template <class Work> TBmodStatus Guarded(Work work) {
  try {
    work();
  } catch (const TBmodFailure& failure) {
    return {failure.Code};
  } catch (const std::bad_alloc&) {
    return {TBmodError::OutOfMemory};
  }
  return {};
}

} // namespace

const char* TBmodStatus::Reason() const {
  switch (Code) {
  case TBmodError::None:
    return "no error";
  case TBmodError::UnknownFileType:
    return "unknown file type";
  case TBmodError::OutOfMemory:
    return "out of memory";
  case TBmodError::ImageTooLarge:
    return "image too large";
  case TBmodError::EndOfData:
    return "unexpected end of data";
  case TBmodError::WriteFailed:
    return "write failed";
  case TBmodError::UnsupportedBitmap:
    return "bitmap cannot be stored in this format";
  case TBmodError::NotPcx:
    return "manufacturer byte not 10";
  case TBmodError::PcxVersion:
    return "version number not 4 or 5";
  case TBmodError::PcxEncoding:
    return "encoding mode not 1";
  case TBmodError::PcxPlanes:
    return "unsupported bpp/plane / plane combination";
  case TBmodError::BadSize:
    return "negative or zero image size";
  case TBmodError::PcxBytesPerLine:
    return "bytes per line too small for the width";
  case TBmodError::PcxTrailer:
    return "corrupt file trailer";
  case TBmodError::TgaBitsPerPixel:
    return "bits per pixel not 8, 16, 24 or 32";
  case TBmodError::TgaCompression:
    return "unsupported compression type for bits per pixel";
  case TBmodError::TgaColorMapEntrySize:
    return "color map entry size not 24 bits per pixel";
  case TBmodError::TgaColorMapMissing:
    return "color map missing";
  }
  return "unknown error";
}

void BmodRegisterFormat(const std::string& extension, const TBmodFormat& format) {
  Formats()[extension] = &format;
}

const TBmodFormat* BmodGuessFileType(const std::string& fileName) {
  const auto found = Formats().find(LowerExtension(fileName));
  return found == Formats().end() ? nullptr : found->second;
}

TBmodStatus BmodReadHeader(const TBmodFormat& format, TBmodFile& file, const std::string& options,
                           std::unique_ptr<TBmodReader>& reader) {
  return Guarded([&] {
    reader = format.ReadHeader(file, options);
    const TBmodBitmap& header = reader->Header();
    if (header.Width <= 0 || header.Height <= 0) BmodFail(TBmodError::BadSize);
    if (!ImageLimits::Fits(header.Width, header.Height, header.BitsPerPixel))
      BmodFail(TBmodError::ImageTooLarge);
  });
}

TBmodStatus BmodCheckData(TBmodReader& reader) {
  return Guarded([&] {
    if (!reader.DataCanHold()) BmodFail(TBmodError::EndOfData);
  });
}

TBmodStatus BmodReadData(TBmodReader& reader, TBmodBitmap& target) {
  return Guarded([&] { reader.ReadData(target); });
}

TBmodStatus BmodWrite(const TBmodFormat& format, TBmodFile& file, const std::string& options,
                      const TBmodBitmap& bitmap) {
  return Guarded([&] {
    if (!bitmap.Bits || bitmap.Width <= 0 || bitmap.Height <= 0)
      BmodFail(TBmodError::UnsupportedBitmap);
    if (file.Seek(0, TSeekOrigin::Begin) != 0) BmodFail(TBmodError::WriteFailed);
    format.Write(file, options, bitmap);
  });
}

} // namespace kestrel
