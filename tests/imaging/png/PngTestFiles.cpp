#include "PngTestFiles.h"

#include "imaging/core/Stream.h"
#include "imaging/png/PngGraphic.h"

#include <zlib.h>

#include <cstring>
#include <sstream>
#include <stdexcept>

namespace kestrel::test {

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

} // namespace

std::unique_ptr<TPngGraphic> LoadPng(const std::vector<uint8_t>& file) {
  auto picture = std::make_unique<TPngGraphic>();
  TMemoryStream stream(file);
  picture->LoadFromStream(stream);
  return picture;
}

void AppendChunk(std::vector<uint8_t>& out, const std::string& type,
                 const std::vector<uint8_t>& data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
  Put32(out, static_cast<uint32_t>(crc));
}

TPngMaker::TPngMaker(uint32_t width, uint32_t height, int bitDepth, int colorType, int interlace) {
  Put32(ihdr_, width);
  Put32(ihdr_, height);
  ihdr_.push_back(static_cast<uint8_t>(bitDepth));
  ihdr_.push_back(static_cast<uint8_t>(colorType));
  ihdr_.push_back(0);
  ihdr_.push_back(0);
  ihdr_.push_back(static_cast<uint8_t>(interlace));
}

TPngMaker& TPngMaker::Chunk(const std::string& type, const std::vector<uint8_t>& data) {
  chunks_.emplace_back(type, data);
  return *this;
}

TPngMaker& TPngMaker::Gamma(double gamma) {
  std::vector<uint8_t> data;
  Put32(data, static_cast<uint32_t>(gamma * 100000 + 0.5));
  return Chunk("gAMA", data);
}

TPngMaker& TPngMaker::Palette(const std::vector<std::array<uint8_t, 3>>& entries) {
  std::vector<uint8_t> data;
  for (const auto& e : entries)
    data.insert(data.end(), e.begin(), e.end());
  return Chunk("PLTE", data);
}

std::vector<uint8_t> TPngMaker::Build(const std::vector<std::vector<uint8_t>>& rows) const {
  std::vector<uint8_t> raw;
  for (const auto& row : rows) {
    raw.push_back(0); // filter: none
    raw.insert(raw.end(), row.begin(), row.end());
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> idat(size);
  if (compress2(idat.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
    throw std::runtime_error("compress2 failed");
  idat.resize(size);

  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  AppendChunk(file, "IHDR", ihdr_);
  for (const auto& [type, data] : chunks_)
    AppendChunk(file, type, data);
  AppendChunk(file, "IDAT", idat);
  AppendChunk(file, "IEND", {});
  return file;
}

TPngChunks ReadPngChunks(const std::vector<uint8_t>& file) {
  TPngChunks c;
  size_t p = 8;
  while (p + 12 <= file.size()) {
    const uint32_t length = Get32(&file[p]);
    const std::string type(reinterpret_cast<const char*>(&file[p + 4]), 4);
    if (p + 12 + length > file.size()) break;
    const uint8_t* d = &file[p + 8];
    c.All.emplace_back(type, std::vector<uint8_t>(d, d + length));
    if (type == "IHDR") {
      c.Width = Get32(d);
      c.Height = Get32(d + 4);
      c.BitDepth = d[8];
      c.ColorType = d[9];
      c.Interlace = d[12];
    } else if (type == "gAMA") {
      c.Gamma = Get32(d) / 100000.0;
    } else if (type == "sRGB") {
      c.Srgb = true;
    } else if (type == "bKGD") {
      if (length == 1) c.Background = {d[0]};
      for (uint32_t i = 0; length > 1 && i + 1 < length; i += 2)
        c.Background.push_back(static_cast<uint16_t>(d[i] << 8 | d[i + 1]));
    } else if (type == "tRNS" && c.ColorType != 3) {
      for (uint32_t i = 0; i + 1 < length; i += 2)
        c.Transparent.push_back(static_cast<uint16_t>(d[i] << 8 | d[i + 1]));
    } else if (type == "PLTE") {
      for (uint32_t i = 0; i + 2 < length; i += 3)
        c.Palette.push_back({d[i], d[i + 1], d[i + 2]});
    } else if (type == "pHYs" && length == 9 && d[8] == 1) {
      c.PixelsPerMetre = std::array<uint32_t, 2>{Get32(d), Get32(d + 4)};
    } else if (type == "IDAT" && c.FirstIdat.empty()) {
      c.FirstIdat.assign(d, d + length);
    }
    p += 12 + length;
  }
  return c;
}

const std::vector<uint8_t>* TPngChunks::Find(const std::string& type) const {
  for (const auto& [name, data] : All)
    if (name == type) return &data;
  return nullptr;
}

std::vector<uint8_t> WithChunk(const std::vector<uint8_t>& file, const std::string& type,
                               const std::vector<uint8_t>& data, bool beforeIdat) {
  const TPngChunks chunks = ReadPngChunks(file);
  std::vector<uint8_t> out(file.begin(), file.begin() + 8);
  bool placed = false;
  for (const auto& [name, body] : chunks.All) {
    if (!placed && beforeIdat && name == "IDAT") {
      AppendChunk(out, type, data);
      placed = true;
    }
    AppendChunk(out, name, body);
    if (!placed && !beforeIdat && name == "IHDR") {
      AppendChunk(out, type, data);
      placed = true;
    }
  }
  return out;
}

TPam ReadPam(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  const std::string text(bytes.begin(), bytes.end());
  const size_t end = text.find("ENDHDR\n");
  if (text.rfind("P7\n", 0) != 0 || end == std::string::npos)
    throw std::runtime_error("not a PAM file: " + path);
  TPam pam;
  std::istringstream header(text.substr(3, end - 3));
  std::string key;
  while (header >> key) {
    if (key == "WIDTH") header >> pam.Width;
    if (key == "HEIGHT") header >> pam.Height;
    if (key == "DEPTH") header >> pam.Depth;
    if (key == "MAXVAL") header >> pam.MaxVal;
  }
  const size_t count = static_cast<size_t>(pam.Width) * pam.Height * pam.Depth;
  const int bytesPerSample = pam.MaxVal > 255 ? 2 : 1;
  const uint8_t* data = bytes.data() + end + 7;
  if (end + 7 + count * bytesPerSample > bytes.size())
    throw std::runtime_error("PAM file truncated: " + path);
  pam.Samples.resize(count);
  for (size_t i = 0; i < count; ++i)
    pam.Samples[i] =
        bytesPerSample == 2 ? static_cast<uint16_t>(data[2 * i] << 8 | data[2 * i + 1]) : data[i];
  return pam;
}

} // namespace kestrel::test
