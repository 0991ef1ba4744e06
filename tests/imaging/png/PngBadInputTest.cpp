// Damaged PNG files: each gives EPNGError or a picture, never a crash, another exception, a hang
// or a huge allocation.

#include "PngTestFiles.h"

#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/png/PngGraphic.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>

using namespace kestrel;
using namespace kestrel::test;

namespace {

const std::string kSuite = DataPath("pngsuite/");

// Loads bytes: the picture, or null on EPNGError. Anything else fails the test.
std::unique_ptr<TPngGraphic> TryLoad(const std::vector<uint8_t>& bytes) {
  auto picture = std::make_unique<TPngGraphic>();
  TSpanStream stream(bytes.data(), bytes.size());
  TPngGraphic::SetWarningHandler([](const std::string&) {});
  try {
    picture->LoadFromStream(stream);
  } catch (const EPNGError&) {
    picture.reset();
  }
  TPngGraphic::SetWarningHandler(nullptr);
  if (picture) {
    EXPECT_GT(picture->Width(), 0);
  }
  return picture;
}

bool SamePixels(const TPngGraphic& a, const TPngGraphic& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

std::string ErrorOf(const std::vector<uint8_t>& bytes) {
  TPngGraphic picture;
  TSpanStream stream(bytes.data(), bytes.size());
  try {
    picture.LoadFromStream(stream);
  } catch (const EPNGError& e) {
    return e.what();
  }
  return "loaded";
}

TEST(PngBadInput, TruncatedFilesFailCleanly) {
  for (const char* name : {"basn6a16", "basn3p08", "ibasn0g04", "basn0g02"}) {
    const auto file = ReadFileBytes(kSuite + name + ".png");
    const auto whole = TryLoad(file);
    ASSERT_TRUE(whole);
    int refused = 0;
    for (size_t cut = 0; cut < file.size(); cut += 5) {
      const std::vector<uint8_t> part(file.begin(), file.begin() + static_cast<long>(cut));
      // An error; or, cut after the last pixel (the end of the file is not read), the picture.
      const auto picture = TryLoad(part);
      if (!picture) {
        ++refused;
        continue;
      }
      EXPECT_TRUE(SamePixels(*picture, *whole)) << name << " cut at " << cut;
    }
    EXPECT_GE(refused, static_cast<int>(file.size() / 5) - 4) << name;
  }
  EXPECT_EQ(ErrorOf({}), "PNG file is not valid or corrupted");
}

TEST(PngBadInput, CorruptedBytesNeverCrash) {
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
  int loaded = 0, refused = 0;
  for (const char* name : {"basn6a08", "basn3p04", "ibasn2c16", "ftbbn0g04"}) {
    const auto file = ReadFileBytes(kSuite + name + ".png");
    for (int round = 0; round < 150; ++round) {
      auto damaged = file;
      for (int flips = 1 + next() % 4; flips > 0; --flips)
        damaged[8 + next() % (damaged.size() - 8)] ^= static_cast<uint8_t>(1 + next() % 255);
      (TryLoad(damaged) ? loaded : refused)++;
    }
  }
  EXPECT_GT(refused, 0); // CRCs catch most damage
  EXPECT_EQ(loaded + refused, 600);
}

TEST(PngBadInput, AbsurdSizesAreRefusedBeforeAllocating) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(ErrorOf(TPngMaker(1000000, 1000000, 8, 2).Build({{0, 0, 0}})).find("memory limit"),
            std::string::npos);
  EXPECT_NE(ErrorOf(TPngMaker(0x7FFFFFFF, 2, 8, 6).Build({{0}})).find("memory limit"),
            std::string::npos);
  EXPECT_EQ(ErrorOf(TPngMaker(0, 5, 8, 0).Build({{0}})), "Invalid image size");
  EXPECT_EQ(ErrorOf(TPngMaker(0x80000000u, 5, 8, 0).Build({{0}})), "Invalid image size");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  ImageLimits::SetMaxBytes(1 << 20);
  const std::string limited = ErrorOf(TPngMaker(1000, 1000, 8, 2).Build({{0, 0, 0}}));
  ImageLimits::SetMaxBytes(0);
  EXPECT_NE(limited.find("memory limit"), std::string::npos) << limited;
}

TEST(PngBadInput, MissingDataAndChunksAreErrors) {
  // Palette image without PLTE.
  EXPECT_FALSE(TryLoad(TPngMaker(2, 2, 8, 3).Build({{0, 0}, {0, 0}})));
  // Fewer rows than the header promises.
  EXPECT_FALSE(TryLoad(TPngMaker(4, 400, 8, 0).Build({{1, 2, 3, 4}})));
  // No IHDR first.
  auto noHeader = TPngMaker(1, 1, 8, 0).Build({{0}});
  noHeader[12] = 'X';
  EXPECT_EQ(ErrorOf(noHeader), "PNG file is not valid or corrupted");
}

} // namespace
