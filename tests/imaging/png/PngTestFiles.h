#pragma once
// Test support: PNG files made by hand (any IHDR, chunks in any order, damaged on purpose),
// the chunks of a PNG file read back, and the reference PAM files of tests/data/pngsuite.

#include "../support/ImagingTestSupport.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {
class TPngGraphic;
}

namespace kestrel::test {

// A picture read from a file's bytes (EPNGError as the reader raises it).
std::unique_ptr<TPngGraphic> LoadPng(const std::vector<uint8_t>& file);

// A PNG file built chunk by chunk. Rows are given packed, without the filter byte; they are
// stored unfiltered as one IDAT (so they must suit a non-interlaced layout).
class TPngMaker {
public:
  TPngMaker(uint32_t width, uint32_t height, int bitDepth, int colorType, int interlace = 0);
  // A chunk written between IHDR and IDAT, in call order.
  TPngMaker& Chunk(const std::string& type, const std::vector<uint8_t>& data);
  TPngMaker& Gamma(double gamma);
  TPngMaker& Palette(const std::vector<std::array<uint8_t, 3>>& entries);
  std::vector<uint8_t> Build(const std::vector<std::vector<uint8_t>>& rows) const;

private:
  std::vector<uint8_t> ihdr_;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> chunks_;
};

// Appends one chunk (length, type, data, CRC) to out.
void AppendChunk(std::vector<uint8_t>& out, const std::string& type,
                 const std::vector<uint8_t>& data);

// What the tests need of a PNG's chunks.
struct TPngChunks {
  uint32_t Width = 0;
  uint32_t Height = 0;
  int BitDepth = 0;
  int ColorType = 0;
  int Interlace = 0;
  std::optional<double> Gamma;
  bool Srgb = false;
  std::vector<uint16_t> Background;  // bKGD values: 1 (grey or palette index) or 3 (RGB)
  std::vector<uint16_t> Transparent; // tRNS of grey (1 value) or RGB (3 values) pictures
  std::vector<std::array<uint8_t, 3>> Palette;
  std::optional<std::array<uint32_t, 2>> PixelsPerMetre; // pHYs with the metre unit
  std::vector<uint8_t> FirstIdat;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> All; // every chunk in file order
  const std::vector<uint8_t>* Find(const std::string& type) const;
};
TPngChunks ReadPngChunks(const std::vector<uint8_t>& file);

// file with one chunk more: after IHDR, or just before the first IDAT.
std::vector<uint8_t> WithChunk(const std::vector<uint8_t>& file, const std::string& type,
                               const std::vector<uint8_t>& data, bool beforeIdat);

// A PAM file (P7) of 1 to 4 samples per pixel, 8 or 16 bits.
struct TPam {
  int Width = 0;
  int Height = 0;
  int Depth = 0;
  int MaxVal = 0;
  std::vector<uint16_t> Samples; // Depth per pixel, rows top to bottom
  uint16_t At(int x, int y, int channel) const {
    return Samples[static_cast<size_t>((y * Width + x) * Depth + channel)];
  }
};
TPam ReadPam(const std::string& path);

} // namespace kestrel::test
