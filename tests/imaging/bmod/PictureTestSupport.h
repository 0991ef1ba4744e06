#pragma once
// Helpers shared by the codec tests of the bitmap module: reference images decoded by Qt, pixel
// comparison, patterned pictures, damaged files, and catching a codec's error as text.

#include "../support/ImagingTestSupport.h"
#include "imaging/bmod/BmodBridge.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/core/Stream.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::test {

inline std::string Hex(TPixelColor value) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", value);
  return text;
}

// A PNG decoded by Qt, as 32-bit ARGB without premultiplication.
inline QImage ReferencePng(const std::string& path) {
  QImage image(QString::fromStdString(path), "PNG");
  return image.convertToFormat(QImage::Format_ARGB32);
}

// Every pixel's colour equals the reference's red, green and blue (alpha is not compared).
inline ::testing::AssertionResult SamePixels(const TDibGraphic& picture, const QImage& reference) {
  if (reference.isNull()) return ::testing::AssertionFailure() << "the reference did not load";
  if (picture.Width() != reference.width() || picture.Height() != reference.height())
    return ::testing::AssertionFailure()
           << "size " << picture.Width() << "x" << picture.Height() << ", reference "
           << reference.width() << "x" << reference.height();
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const TPixelColor ours = picture.Pixel(x, y);
      const TPixelColor theirs = reference.pixel(x, y) & 0xFFFFFF;
      if (ours != theirs)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << Hex(ours)
                                             << ", reference " << Hex(theirs);
    }
  return ::testing::AssertionSuccess();
}

// The same colour at every pixel of two pictures.
inline ::testing::AssertionResult SamePixels(const TDibGraphic& a, const TDibGraphic& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return ::testing::AssertionFailure() << "sizes differ";
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y))
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is " << Hex(a.Pixel(x, y)) << ", expected "
               << Hex(b.Pixel(x, y));
  return ::testing::AssertionSuccess();
}

// A picture of format filled with a pattern that uses the whole palette (or many colours).
inline void FillPattern(TDibGraphic& picture, int width, int height, TImageFormat format,
                        const TDibPalette* palette = nullptr, uint32_t seed = 1) {
  picture.NewImage(width, height, format, palette, 96, 96);
  uint32_t state = seed * 2654435761u;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      // Runs of equal pixels now and then, so that coders see runs as well as noise.
      const uint32_t value = (x / 7 + y) % 3 == 0 ? seed * 77u + y : state >> 8;
      if (format == ifTrueColor)
        picture.SetPixel(x, y, value & 0xFFFFFF);
      else
        picture.SetPixelIndex(x, y, static_cast<int>(value % picture.Palette().Count));
    }
}

template <class T> std::unique_ptr<T> LoadedFrom(const std::vector<uint8_t>& bytes) {
  auto picture = std::make_unique<T>();
  TMemoryStream stream(bytes);
  picture->LoadFromStream(stream);
  return picture;
}

// Loads file from a stream where it follows skipped bytes of junk (positioned at the file).
template <class T>
std::unique_ptr<T> LoadedAfterJunk(const std::vector<uint8_t>& file, size_t skipped) {
  std::vector<uint8_t> bytes(skipped, 0xEE);
  bytes.insert(bytes.end(), file.begin(), file.end());
  TMemoryStream stream(bytes);
  stream.SetPosition(static_cast<int64_t>(skipped));
  auto picture = std::make_unique<T>();
  picture->LoadFromStream(stream);
  return picture;
}

inline std::vector<uint8_t> SavedBytes(TGraphic& picture) {
  TMemoryStream stream;
  picture.SaveToStream(stream);
  return stream.Bytes();
}

// The message of an error; the bitmap module's errors also give their reason, after a colon.
inline std::string Described(const Exception& e) {
  const auto* bmod = dynamic_cast<const EBmodError*>(&e);
  if (bmod && !bmod->Reason().empty()) return std::string(e.what()) + ": " + bmod->Reason();
  return e.what();
}

// The described error of class E that work raises ("" when it raises none; other errors pass).
template <class E, class Work> std::string ErrorOf(Work work) {
  try {
    work();
  } catch (const E& e) {
    return Described(e);
  }
  return "";
}

// Loads every damaged form of file - each shorter prefix, and the file with one byte changed -
// through load, which must either succeed or raise one of the named error classes; any other
// outcome fails the test. Bytes past the first 1024 are changed at a stride, to keep this quick.
template <class Load>
void ExpectOnlyCodecErrors(const std::vector<uint8_t>& file,
                           const std::vector<std::string>& allowed, Load load) {
  const auto attempt = [&](const std::vector<uint8_t>& bytes, const std::string& what) {
    try {
      load(bytes);
    } catch (const Exception& e) {
      if (std::find(allowed.begin(), allowed.end(), e.className()) == allowed.end())
        ADD_FAILURE() << what << ": " << e.className() << " " << e.what();
    }
  };
  for (size_t length = 0; length < file.size(); length += length < 1024 ? 1 : 97)
    attempt(std::vector<uint8_t>(file.begin(), file.begin() + length),
            "cut at " + std::to_string(length));
  for (size_t at = 0; at < file.size(); at += at < 1024 ? 1 : 31)
    for (uint8_t value : {uint8_t(0), uint8_t(0xFF), static_cast<uint8_t>(file[at] ^ 0x41)}) {
      auto bytes = file;
      bytes[at] = value;
      attempt(bytes, "byte " + std::to_string(at) + " = " + std::to_string(value));
    }
}

// The seed files of a fuzz target, for replaying them in the normal test run.
inline std::vector<std::vector<uint8_t>> FuzzSeeds(const std::string& target) {
  std::vector<std::vector<uint8_t>> seeds;
  const std::string folder = std::string(KESTREL_SOURCE_DIR) + "/fuzz/corpus/" + target;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    seeds.push_back(ReadFileBytes(entry.path().string()));
  return seeds;
}

} // namespace kestrel::test
