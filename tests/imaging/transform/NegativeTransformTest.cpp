// The colour negative of every picture format, its progress reports, and the base transform's
// refusal to work without an override.

#include "imaging/transform/NegativeTransform.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace kestrel {
namespace {

// A picture of format with varied pixels and, for palette formats, a varied palette.
std::unique_ptr<TDibGraphic> MakePicture(TImageFormat format, int width = 11, int height = 5) {
  auto picture = std::make_unique<TDibGraphic>();
  TDibPalette palette;
  palette.Count = 40;
  for (int i = 0; i < palette.Count; ++i)
    palette.SetValue(i, static_cast<TPixelColor>(i * 0x0A0713 + 0x102030));
  const bool colours = format == ifColor16 || format == ifColor256;
  if (format == ifColor16) palette.Count = 16;
  picture->NewImage(width, height, format, colours ? &palette : nullptr, 72, 144);
  // Padding included, so that its treatment shows.
  for (size_t i = 0; i < size_t(picture->BytesPerLine()) * height; ++i)
    picture->Bits()[i] = static_cast<uint8_t>(i * 37 + 5);
  if (colours)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        picture->SetPixelIndex(x, y, (x + y) % palette.Count);
  return picture;
}

std::vector<uint8_t> BytesOf(const TDibGraphic& picture) {
  return {picture.Bits(), picture.Bits() + size_t(picture.BytesPerLine()) * picture.Height()};
}

TEST(NegativeTransform, BlackWhiteAndGreysComplementEveryStoredByte) {
  for (const TImageFormat format : {ifBlackWhite, ifGray16, ifGray256}) {
    auto picture = MakePicture(format);
    const std::vector<uint8_t> before = BytesOf(*picture);
    TNegativeTransform().Apply(*picture);
    const std::vector<uint8_t> after = BytesOf(*picture);
    for (size_t i = 0; i < before.size(); ++i)
      ASSERT_EQ(after[i], uint8_t(~before[i])) << FormatDescription(format) << " byte " << i;
  }
}

TEST(NegativeTransform, GreyPixelsBecomeTheirNegativeColour) {
  for (const TImageFormat format : {ifBlackWhite, ifGray16, ifGray256}) {
    auto picture = MakePicture(format);
    const auto before = MakePicture(format);
    TNegativeTransform().Apply(*picture);
    for (int y = 0; y < picture->Height(); ++y)
      for (int x = 0; x < picture->Width(); ++x)
        ASSERT_EQ(picture->Pixel(x, y), ~before->Pixel(x, y) & 0xFFFFFF);
  }
}

TEST(NegativeTransform, TrueColourComplementsPixelsButNotPadding) {
  auto picture = MakePicture(ifTrueColor);
  const auto before = MakePicture(ifTrueColor);
  TNegativeTransform().Apply(*picture);
  for (int y = 0; y < picture->Height(); ++y) {
    for (int x = 0; x < picture->Width(); ++x)
      ASSERT_EQ(picture->Pixel(x, y), ~before->Pixel(x, y) & 0xFFFFFF);
    for (int i = picture->Width() * 3; i < picture->BytesPerLine(); ++i)
      ASSERT_EQ(picture->ScanLine(y)[i], before->ScanLine(y)[i]);
  }
}

TEST(NegativeTransform, PaletteFormatsKeepTheirIndicesAndGetTheNegativePalette) {
  for (const TImageFormat format : {ifColor16, ifColor256}) {
    auto picture = MakePicture(format);
    const auto before = MakePicture(format);
    TNegativeTransform().Apply(*picture);
    EXPECT_EQ(BytesOf(*picture), BytesOf(*before));
    ASSERT_EQ(picture->Palette().Count, before->Palette().Count);
    for (int i = 0; i < picture->Palette().Count; ++i)
      EXPECT_EQ(picture->Palette().Value(i), ~before->Palette().Value(i) & 0xFFFFFF);
    EXPECT_EQ(picture->ImageFormat(), format);
    EXPECT_EQ(picture->XDotsPerInch(), 72);
    EXPECT_EQ(picture->YDotsPerInch(), 144);
  }
}

// An imported picture keeps its rows in the bitmap's order; the indices must stay on their rows.
TEST(NegativeTransform, AnImportedPalettePictureKeepsItsRowsInPlace) {
  TBitmap bitmap(6, 4, pf8bit);
  for (int y = 0; y < bitmap.Height(); ++y)
    std::memset(bitmap.ScanLine(y), y + 1, 6);
  TDibGraphic picture;
  picture.ImportBitmapHandle(bitmap);
  TNegativeTransform().Apply(picture);
  for (int y = 0; y < picture.Height(); ++y)
    EXPECT_EQ(picture.PixelIndex(2, y), y + 1) << "row " << y;
  EXPECT_EQ(bitmap.ScanLine(0)[0], 1); // the bitmap keeps its own pixels
}

TEST(NegativeTransform, ApplyOnDestLeavesTheSourceAlone) {
  const auto source = MakePicture(ifGray256);
  TDibGraphic dest;
  TNegativeTransform().ApplyOnDest(*source, dest);
  EXPECT_EQ(BytesOf(*source), BytesOf(*MakePicture(ifGray256)));
  EXPECT_EQ(dest.Pixel(3, 2), ~source->Pixel(3, 2) & 0xFFFFFF);
}

std::vector<int> ProgressOf(TDibGraphic& picture) {
  std::vector<int> seen;
  TNegativeTransform negative;
  negative.OnProgress = [&](TImageTransform& sender, int percent) {
    EXPECT_EQ(&sender, &negative);
    seen.push_back(percent);
  };
  negative.Apply(picture);
  return seen;
}

TEST(NegativeTransform, ProgressRunsFromZeroToAHundredWithoutRepeats) {
  for (const TImageFormat format : {ifBlackWhite, ifTrueColor, ifColor256}) {
    auto picture = MakePicture(format, 9, 7);
    const std::vector<int> seen = ProgressOf(*picture);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    for (size_t i = 1; i < seen.size(); ++i)
      EXPECT_GT(seen[i], seen[i - 1]);
  }
  // The rows of a pixel format are reported: 7 rows give 0, 16, 33, 50, 66, 83, 100.
  auto rows = MakePicture(ifGray256, 9, 7);
  EXPECT_EQ(ProgressOf(*rows), (std::vector<int>{0, 16, 33, 50, 66, 83, 100}));
  auto oneRow = MakePicture(ifGray256, 9, 1);
  EXPECT_EQ(ProgressOf(*oneRow), (std::vector<int>{0, 100}));
  TDibGraphic empty;
  EXPECT_EQ(ProgressOf(empty), (std::vector<int>{0, 100}));
}

TEST(NegativeTransform, TheBaseTransformNamesTheMissingMethod) {
  auto picture = MakePicture(ifGray16);
  const std::vector<uint8_t> before = BytesOf(*picture);
  try {
    TImageTransform().Apply(*picture);
    FAIL() << "applied";
  } catch (const EZeduziziError& e) {
    EXPECT_STREQ(e.what(), "Method ApplyOnDest not implemented for TImageTransform class");
  }
  EXPECT_EQ(BytesOf(*picture), before);
}

} // namespace
} // namespace kestrel
