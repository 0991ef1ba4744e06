#include "TiffTestSupport.h"

#include "../support/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace kestrel::test {

std::string TiffFixture(const std::string& name) {
  return DataPath("tiff/" + name);
}

TRgbPicture ReadNetpbm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  TRgbPicture picture;
  int maxval = 1;
  in >> magic >> picture.Width >> picture.Height;
  if (magic != "P4") in >> maxval;
  in.get();
  const size_t count = static_cast<size_t>(picture.Width) * picture.Height;
  picture.Pixels.resize(count);
  if (magic == "P4") {
    const int rowBytes = (picture.Width + 7) / 8;
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
    for (int y = 0; y < picture.Height; ++y) {
      in.read(reinterpret_cast<char*>(row.data()), rowBytes);
      for (int x = 0; x < picture.Width; ++x)
        picture.Pixels[static_cast<size_t>(y) * picture.Width + x] =
            (row[x / 8] >> (7 - x % 8) & 1) ? 0x000000 : 0xFFFFFF;
    }
  } else {
    const int samples = magic == "P6" ? 3 : 1;
    std::vector<uint8_t> bytes(count * samples);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    for (size_t i = 0; i < count; ++i) {
      uint32_t rgb = 0;
      for (int s = 0; s < 3; ++s)
        rgb = rgb << 8 |
              static_cast<uint32_t>(bytes[i * samples + (samples == 3 ? s : 0)] * 255 / maxval);
      picture.Pixels[i] = rgb;
    }
  }
  EXPECT_TRUE(in.good()) << path;
  return picture;
}

TRgbPicture PictureOf(const TDibGraphic& picture) {
  return {picture.Width(), picture.Height(), PixelsOf(picture)};
}

int LargestDifference(const TRgbPicture& a, const TRgbPicture& b) {
  EXPECT_EQ(a.Width, b.Width);
  EXPECT_EQ(a.Height, b.Height);
  if (a.Pixels.size() != b.Pixels.size()) return 256;
  int largest = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      largest = std::max(largest, std::abs(static_cast<int>(a.Pixels[i] >> shift & 0xFF) -
                                           static_cast<int>(b.Pixels[i] >> shift & 0xFF)));
  return largest;
}

TTempFile::TTempFile(const std::string& suffix) {
  static std::atomic<int> counter{0};
  path_ = (std::filesystem::temp_directory_path() /
           ("kestrel-tiff-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + suffix))
              .string();
}

TTempFile::~TTempFile() {
  std::remove(path_.c_str());
}

void TTempFile::Write(const std::vector<uint8_t>& bytes) const {
  std::ofstream(path_, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> TTempFile::Read() const {
  std::ifstream in(path_, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void InspectTiff(const std::vector<uint8_t>& bytes, int directory,
                 const std::function<void(TIFF*)>& inspect) {
  TTempFile file;
  file.Write(bytes);
  TTiffHandle tif(TIFFOpen(file.Path().c_str(), "r"));
  ASSERT_TRUE(tif);
  ASSERT_EQ(TIFFSetDirectory(tif.get(), static_cast<tdir_t>(directory)), 1);
  inspect(tif.get());
}

std::vector<uint8_t> WriteWithLibtiff(const std::function<void(TIFF*)>& setup,
                                      const std::vector<std::vector<uint8_t>>& rows) {
  TTempFile file;
  {
    TTiffHandle tif(TIFFOpen(file.Path().c_str(), "w"));
    EXPECT_TRUE(tif);
    if (!tif) return {};
    setup(tif.get());
    for (size_t y = 0; y < rows.size(); ++y) {
      std::vector<uint8_t> row = rows[y];
      EXPECT_EQ(TIFFWriteScanline(tif.get(), row.data(), static_cast<uint32_t>(y), 0), 1);
    }
  }
  return file.Read();
}

TTiffBuilder& TTiffBuilder::Set(Entry entry) {
  std::erase_if(entries_, [&](const Entry& e) { return e.Tag == entry.Tag; });
  entries_.push_back(std::move(entry));
  return *this;
}

TTiffBuilder& TTiffBuilder::Short(uint16_t tag, uint16_t value) {
  return Set({tag, TIFF_SHORT, {value}});
}

TTiffBuilder& TTiffBuilder::Long(uint16_t tag, uint32_t value) {
  return Set({tag, TIFF_LONG, {value}});
}

TTiffBuilder& TTiffBuilder::Longs(uint16_t tag, std::vector<uint32_t> values) {
  return Set({tag, TIFF_LONG, std::move(values)});
}

TTiffBuilder& TTiffBuilder::Data(std::vector<uint8_t> bytes) {
  data_ = std::move(bytes);
  return *this;
}

TTiffBuilder& TTiffBuilder::NextDirectory(uint32_t offset) {
  next_ = offset;
  return *this;
}

TTiffBuilder TTiffBuilder::Grey(uint32_t width, uint32_t height) {
  TTiffBuilder b;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = static_cast<uint8_t>(i * 7);
  b.Long(TIFFTAG_IMAGEWIDTH, width)
      .Long(TIFFTAG_IMAGELENGTH, height)
      .Short(TIFFTAG_BITSPERSAMPLE, 8)
      .Short(TIFFTAG_COMPRESSION, COMPRESSION_NONE)
      .Short(TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK)
      .Long(TIFFTAG_STRIPOFFSETS, kData)
      .Short(TIFFTAG_SAMPLESPERPIXEL, 1)
      .Long(TIFFTAG_ROWSPERSTRIP, height)
      .Long(TIFFTAG_STRIPBYTECOUNTS, static_cast<uint32_t>(pixels.size()))
      .Data(std::move(pixels));
  return b;
}

std::vector<uint8_t> TTiffBuilder::Bytes() const {
  std::vector<Entry> entries = entries_;
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.Tag < b.Tag; });
  std::vector<uint8_t> out{'I', 'I', 42, 0, 8, 0, 0, 0};
  const auto put16 = [&out](uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  };
  const auto put32 = [&put16](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  // Values of more than one long go after the directory, the data block after them.
  const uint32_t arraysStart = 8 + 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
  uint32_t dataOffset = arraysStart;
  for (const Entry& e : entries)
    if (e.Values.size() > 1) dataOffset += 4 * static_cast<uint32_t>(e.Values.size());
  uint32_t arrayOffset = arraysStart;
  put16(static_cast<uint32_t>(entries.size()));
  for (const Entry& e : entries) {
    put16(e.Tag);
    put16(e.Type);
    put32(static_cast<uint32_t>(e.Values.size()));
    if (e.Values.size() > 1) {
      put32(arrayOffset);
      arrayOffset += 4 * static_cast<uint32_t>(e.Values.size());
    } else {
      const uint32_t v = e.Values[0] == kData ? dataOffset : e.Values[0];
      e.Type == TIFF_SHORT ? (put16(v), put16(0)) : put32(v);
    }
  }
  put32(next_);
  for (const Entry& e : entries)
    if (e.Values.size() > 1)
      for (uint32_t v : e.Values)
        put32(v == kData ? dataOffset : v);
  out.insert(out.end(), data_.begin(), data_.end());
  return out;
}

} // namespace kestrel::test
