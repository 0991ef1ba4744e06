// Damaged icon files are refused with a short reason, never crash the reader, and never allocate
// what their headers claim without the data to back it.

#include "../support/ImagingTestSupport.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/Stream.h"
#include "imaging/icon/Icon.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrel {
namespace {

using test::DataPath;
using test::ReadFileBytes;

std::string Refusal(const std::vector<uint8_t>& bytes) {
  try {
    TIcon icon;
    TSpanStream stream(bytes.data(), bytes.size());
    icon.LoadFromStream(stream);
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "loaded";
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(IconDamage, DirectoriesAndHeadersAreChecked) {
  const std::vector<uint8_t> good = ReadFileBytes(DataPath("icon/pal4-mask.ico"));
  EXPECT_EQ(Refusal({0, 0}), "Not an icon file");
  EXPECT_EQ(Refusal({0, 0, 3, 0, 1, 0}), "Not an icon file");
  EXPECT_EQ(Refusal({0, 0, 1, 0, 0, 0}), "The icon file holds no images");
  EXPECT_EQ(Refusal({0, 0, 1, 0, 2, 0, 1, 1}), "Icon file truncated");

  auto changed = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> b = good;
    Put32(b, at, value);
    return Refusal(b);
  };
  EXPECT_EQ(changed(14, 0xFFFFFFF0u), "Icon image outside the file"); // size
  EXPECT_EQ(changed(18, 700), "Icon image outside the file");         // offset
  EXPECT_EQ(changed(22, 12), "Unsupported icon image header");
  EXPECT_EQ(changed(26, 0), "Invalid icon image size");
  EXPECT_EQ(changed(30, 0x7FFFFFFE),
            "Icon image of 32 x 1073741823 pixels exceeds the memory limit");
  EXPECT_EQ(changed(34, 0x00030004), "Unsupported icon image depth (3 bits)"); // planes 4, bits 3
  EXPECT_EQ(changed(38, 2), "Compressed icon images are not supported");
  // The mask rows are missing.
  std::vector<uint8_t> cut = good;
  cut.resize(cut.size() - 100);
  Put32(cut, 14, static_cast<uint32_t>(cut.size() - 22));
  EXPECT_EQ(Refusal(cut), "Icon file truncated");
}

TEST(IconDamage, DamagedPngImagesAreRefused) {
  std::vector<uint8_t> png = ReadFileBytes(DataPath("icon/png.ico"));
  // The data of the 48 x 48 image, the one shown, past its header chunk.
  for (size_t entry = 6; entry < 6 + 3 * 16; entry += 16) {
    if (png[entry] != 48) continue;
    const size_t offset = png[entry + 12] | png[entry + 13] << 8;
    for (size_t i = offset + 40; i < offset + 80; ++i)
      png[i] ^= 0x55;
  }
  EXPECT_EQ(Refusal(png), "Damaged PNG image in icon file");
}

TEST(IconDamage, CutAndChangedFilesNeverCrash) {
  for (const char* name : {"depths.ico", "png.ico", "nomask32.ico"}) {
    const std::vector<uint8_t> good = ReadFileBytes(DataPath(std::string("icon/") + name));
    auto exercise = [](const std::vector<uint8_t>& bytes) {
      try {
        TIcon icon;
        TSpanStream stream(bytes.data(), bytes.size());
        icon.LoadFromStream(stream);
        TBitmap canvas(20, 20, pf24bit);
        canvas.Canvas().StretchDraw({0, 0, 20, 20}, icon);
      } catch (const Exception&) {
      }
    };
    for (size_t size = 0; size < good.size(); size += 7)
      exercise(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<ptrdiff_t>(size)));
    for (size_t i = 0; i < std::min<size_t>(good.size(), 600); ++i) {
      std::vector<uint8_t> changed = good;
      changed[i] ^= 0xA5;
      exercise(changed);
    }
  }
}

// The fuzzer's seeds stay good files.
TEST(IconDamage, FuzzSeedsAreGoodIcons) {
  int seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(KESTREL_SOURCE_DIR) +
                                                               "/fuzz/corpus/fuzz_ico")) {
    EXPECT_EQ(Refusal(ReadFileBytes(entry.path().string())), "loaded") << entry.path();
    ++seeds;
  }
  EXPECT_GE(seeds, 4);
}

} // namespace
} // namespace kestrel
