#pragma once
// Helpers of the TIFF tests: reference pictures (Netpbm files written by other programs), the
// pixels of a picture, files written and inspected with libtiff itself, and hand-made TIFF bytes
// for damaged files.

#include "imaging/core/DibGraphic.h"

#include <tiffio.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::test {

std::string TiffFixture(const std::string& name);

// A picture's colours, row by row, as 0xRRGGBB.
struct TRgbPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
};
// Reads a binary Netpbm file (P4: set bits black; P5 greys scaled to 0..255; P6).
TRgbPicture ReadNetpbm(const std::string& path);
TRgbPicture PictureOf(const TDibGraphic& picture);
// The largest difference of one colour component between two pictures of the same size.
int LargestDifference(const TRgbPicture& a, const TRgbPicture& b);

// A temporary file removed by the destructor.
class TTempFile {
public:
  explicit TTempFile(const std::string& suffix = ".tif");
  ~TTempFile();
  const std::string& Path() const { return path_; }
  void Write(const std::vector<uint8_t>& bytes) const;
  std::vector<uint8_t> Read() const;

private:
  std::string path_;
};

// libtiff opened on bytes (through a temporary file), for looking at what was written or for
// writing files the codec must read.
struct TiffCloser {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TTiffHandle = std::unique_ptr<TIFF, TiffCloser>;
// Calls inspect with the directory index (0-based) of bytes open in libtiff.
void InspectTiff(const std::vector<uint8_t>& bytes, int directory,
                 const std::function<void(TIFF*)>& inspect);
// Writes a file with libtiff: setup sets the fields, then rows (each the scan-line size) follow.
std::vector<uint8_t> WriteWithLibtiff(const std::function<void(TIFF*)>& setup,
                                      const std::vector<std::vector<uint8_t>>& rows);

// Classic little-endian TIFF bytes put together by hand: one directory at offset 8 with the given
// entries (sorted by tag), then the data. Entries whose values do not fit in four bytes, and
// StripOffsets given as kData, point into the data block.
class TTiffBuilder {
public:
  static constexpr uint32_t kData = 0xFFFFFFFF; // an offset: the start of the data block
  TTiffBuilder& Short(uint16_t tag, uint16_t value);
  TTiffBuilder& Long(uint16_t tag, uint32_t value);
  TTiffBuilder& Longs(uint16_t tag, std::vector<uint32_t> values);
  TTiffBuilder& Data(std::vector<uint8_t> bytes);
  TTiffBuilder& NextDirectory(uint32_t offset);
  // Width x height, 8-bit grey, uncompressed, one strip holding the data.
  static TTiffBuilder Grey(uint32_t width, uint32_t height);
  std::vector<uint8_t> Bytes() const;

private:
  struct Entry {
    uint16_t Tag;
    uint16_t Type;
    std::vector<uint32_t> Values;
  };
  TTiffBuilder& Set(Entry entry);
  std::vector<Entry> entries_;
  std::vector<uint8_t> data_;
  uint32_t next_ = 0;
};

} // namespace kestrel::test
