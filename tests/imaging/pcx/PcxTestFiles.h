#pragma once
// Hand-made PC Paintbrush files for the reader tests, laid out byte by byte from the format's
// description (not from our writer).

#include <array>
#include <cstdint>
#include <vector>

namespace kestrel::test {

struct PcxFields {
  uint8_t Manufacturer = 10;
  uint8_t Version = 5;
  uint8_t Encoding = 1;
  uint8_t BitsPerPlane = 8;
  uint16_t XMin = 0, YMin = 0, XMax = 0, YMax = 0;
  uint16_t XDpi = 0, YDpi = 0;
  std::array<uint8_t, 48> Palette{};
  uint8_t Planes = 1;
  uint16_t BytesPerLine = 0;
};

inline void PutLe16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// The 128-byte header followed by data (already run-length coded).
inline std::vector<uint8_t> PcxFile(const PcxFields& f, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> b(128, 0);
  b[0] = f.Manufacturer;
  b[1] = f.Version;
  b[2] = f.Encoding;
  b[3] = f.BitsPerPlane;
  PutLe16(b, 4, f.XMin);
  PutLe16(b, 6, f.YMin);
  PutLe16(b, 8, f.XMax);
  PutLe16(b, 10, f.YMax);
  PutLe16(b, 12, f.XDpi);
  PutLe16(b, 14, f.YDpi);
  for (size_t i = 0; i < 48; ++i)
    b[16 + i] = f.Palette[i];
  b[65] = f.Planes;
  PutLe16(b, 66, f.BytesPerLine);
  PutLe16(b, 68, 1);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

// Appends the 256-colour trailer: mark, then entry i = (i, 255 - i, i / 2).
inline void AppendTrailer(std::vector<uint8_t>& file, uint8_t mark = 0x0C) {
  file.push_back(mark);
  for (int i = 0; i < 256; ++i) {
    file.push_back(static_cast<uint8_t>(i));
    file.push_back(static_cast<uint8_t>(255 - i));
    file.push_back(static_cast<uint8_t>(i / 2));
  }
}

// An 8-bit file of width x height whose data are given coded.
inline std::vector<uint8_t> Pcx8(int width, int height, uint16_t bytesPerLine,
                                 const std::vector<uint8_t>& data) {
  PcxFields f;
  f.XMax = static_cast<uint16_t>(width - 1);
  f.YMax = static_cast<uint16_t>(height - 1);
  f.BytesPerLine = bytesPerLine;
  auto file = PcxFile(f, data);
  AppendTrailer(file);
  return file;
}

} // namespace kestrel::test
