#pragma once
// The bitmap module: a small portable coder for PCX and TGA files that works on a file-like
// handle (TBmodFile) and an in-memory bitmap laid out like the device-independent image: rows
// bottom-up, each padded to 4 bytes, 24-bit pixels blue, green, red, with a palette of red,
// green, blue triples. The format is picked by the extension of a file name; options are a text
// (no format takes any yet).
//
// Its entry points return a status instead of raising: a code and a short reason ("encoding mode
// not 1"). The bridge to TDibGraphic (BmodBridge.h) turns failures into EBmodError.

#include "imaging/bmod/BmodFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {

struct TBmodRgb {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
  friend bool operator==(const TBmodRgb&, const TBmodRgb&) = default;
};

struct TBmodBitmap {
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 0;          // 1, 4, 8 or 24
  int BytesPerLine = 0;          // ((Width * BitsPerPixel + 31) / 32) * 4
  uint8_t* Bits = nullptr;       // Height * BytesPerLine bytes, bottom line first; not owned
  bool TopDown = false;          // the lines stand top line first instead
  std::vector<TBmodRgb> Palette; // 2^BitsPerPixel entries for 1, 4 and 8 bits
  bool HasResolution = false;    // the format stores a resolution
  uint16_t XDpi = 0;
  uint16_t YDpi = 0;

  // The lineIndex-th line from the bottom (0 = bottom row).
  uint8_t* Line(int lineIndex) const {
    const int stored = TopDown ? Height - 1 - lineIndex : lineIndex;
    return Bits + static_cast<size_t>(stored) * static_cast<size_t>(BytesPerLine);
  }
  // Row 0 is the top row of the picture.
  uint8_t* Row(int row) const { return Line(Height - 1 - row); }
  // Bytes of a row that carry pixels (without the padding).
  size_t RowBytes() const {
    return (static_cast<size_t>(Width) * static_cast<size_t>(BitsPerPixel) + 7) / 8;
  }
};

// The module's error codes; Reason gives each one's text.
enum class TBmodError {
  None,
  UnknownFileType,
  OutOfMemory,
  ImageTooLarge,
  EndOfData,
  WriteFailed,
  UnsupportedBitmap,
  // PCX
  NotPcx,
  PcxVersion,
  PcxEncoding,
  PcxPlanes,
  BadSize,
  PcxBytesPerLine,
  PcxTrailer,
  // TGA
  TgaBitsPerPixel,
  TgaCompression,
  TgaColorMapEntrySize,
  TgaColorMapMissing,
};

struct TBmodStatus {
  TBmodError Code = TBmodError::None;
  bool Ok() const { return Code == TBmodError::None; }
  const char* Reason() const;
};

// Thrown inside the module's coders; the entry points turn it into a status.
struct TBmodFailure {
  TBmodError Code;
};
[[noreturn]] inline void BmodFail(TBmodError code) {
  throw TBmodFailure{code};
}

// Decodes the pixels of one image whose header has been read.
class TBmodReader {
public:
  virtual ~TBmodReader() = default;
  // The header's facts: size, bits per pixel, palette, resolution (Bits null).
  const TBmodBitmap& Header() const { return header_; }
  // False when the data cannot possibly hold the picture the header claims (checked before the
  // caller allocates it).
  virtual bool DataCanHold() = 0;
  // Decodes into target, whose size and bits per pixel are the header's.
  virtual void ReadData(TBmodBitmap& target) = 0;

protected:
  TBmodBitmap header_;
};

// One file format of the module.
class TBmodFormat {
public:
  virtual ~TBmodFormat() = default;
  // Reads and checks the header and palette at offset 0 of file.
  virtual std::unique_ptr<TBmodReader> ReadHeader(TBmodFile& file,
                                                  const std::string& options) const = 0;
  // Writes bitmap at offset 0 of file (where the file is when called).
  virtual void Write(TBmodFile& file, const std::string& options,
                     const TBmodBitmap& bitmap) const = 0;
};

// Formats register their extensions (lower case, without the dot) from their own source files:
//   const TBmodRegistration<TPcxFormat> registration("pcx");
void BmodRegisterFormat(const std::string& extension, const TBmodFormat& format);
template <class Format> struct TBmodRegistration {
  explicit TBmodRegistration(const char* extension) {
    static const Format format;
    BmodRegisterFormat(extension, format);
  }
};

// Entry points.
// The format of a file name by its extension, or null.
const TBmodFormat* BmodGuessFileType(const std::string& fileName);
// Reads the header; on success reader holds the image's reader. A picture larger than
// ImageLimits allows is refused here (ImageTooLarge).
TBmodStatus BmodReadHeader(const TBmodFormat& format, TBmodFile& file, const std::string& options,
                           std::unique_ptr<TBmodReader>& reader);
// EndOfData when the data are too short for the picture, before anything is allocated.
TBmodStatus BmodCheckData(TBmodReader& reader);
TBmodStatus BmodReadData(TBmodReader& reader, TBmodBitmap& target);
TBmodStatus BmodWrite(const TBmodFormat& format, TBmodFile& file, const std::string& options,
                      const TBmodBitmap& bitmap);

} // namespace kestrel
