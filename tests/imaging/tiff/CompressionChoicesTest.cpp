// What the compression window offers and returns in its three uses.

#include "imaging/tiff/CompressionChoices.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using Items = std::vector<std::string>;

TEST(CompressionChoices, TiffOffersFourKindsAndReturnsTheirCodes) {
  const TCompressChoices tiff(TCompressUse::Tiff, 6, 0, false);
  EXPECT_EQ(tiff.Caption(), "TIFF Compression");
  EXPECT_EQ(tiff.Prompt(), "Select Compression Type");
  EXPECT_EQ(tiff.HelpContext(), 13960);
  EXPECT_FALSE(tiff.OffersDepth());
  EXPECT_EQ(tiff.Items(), (Items{"No Compression", "Packbits", "ZLib", "JPEG"}));
  EXPECT_EQ(tiff.Result(true, 0), 0);
  EXPECT_EQ(tiff.Result(true, 1), 1);
  EXPECT_EQ(tiff.Result(true, 2), 5);
  EXPECT_EQ(tiff.Result(true, 3), 6);
}

TEST(CompressionChoices, PngOffersThreeLevelsAndADepth) {
  TCompressChoices png(TCompressUse::Png, 3, 256, true);
  EXPECT_EQ(png.Caption(), "PNG Compression");
  EXPECT_EQ(png.HelpContext(), 13950);
  EXPECT_TRUE(png.OffersDepth());
  EXPECT_EQ(png.Items(), (Items{"Low", "Medium", "High"}));
  EXPECT_EQ(png.Result(true, 2), 2);
  EXPECT_EQ(png.Depth(), "24");
  EXPECT_EQ(png.DepthCode(), 6);
  EXPECT_FALSE(png.SetDepth("4")); // the PNG list does not change with the depth
  EXPECT_EQ(png.DepthCode(), 2);
  EXPECT_EQ(png.PaletteText(), "Image has 256 Color Synthesized Palette");
}

TEST(CompressionChoices, BmpItemsFollowTheDepthChoiceAndTheSourceDepth) {
  TCompressChoices shallow(TCompressUse::Bmp, 3, 16, false); // an 8-bit source
  TCompressChoices deep(TCompressUse::Bmp, 6, 0, false);     // a 24-bit source
  EXPECT_EQ(shallow.Caption(), "BMP Save Palette");
  EXPECT_EQ(shallow.Prompt(), "Select Palette Type");
  EXPECT_EQ(shallow.HelpContext(), 13970);
  EXPECT_EQ(TCompressChoices::DepthLabel(), "Bits/Pixel");
  EXPECT_EQ(TCompressChoices::DepthItems(), (Items{"4", "8", "24"}));
  EXPECT_EQ(shallow.PaletteText(), "Image has 16 Color Palette");

  EXPECT_EQ(shallow.Items(), (Items{"No Palette", "Image Own Palette", "Windows Default palette",
                                    "WinWeb Palette"}));
  EXPECT_EQ(deep.Items(), (Items{"No Palette", "Image Own Palette", "WinOctree Palette - no dither",
                                 "Windows Default palette", "WinWeb Palette"}));
  EXPECT_TRUE(shallow.SetDepth("8"));
  EXPECT_TRUE(deep.SetDepth("8"));
  EXPECT_EQ(shallow.Items(), (Items{"Image Own Palette", "WinOctree Palette - no dither",
                                    "Windows Default palette", "WinWeb Palette"}));
  EXPECT_EQ(deep.Items(), (Items{"Optimized/Floyd Steinberg Dither", "Image Own Palette",
                                 "WinOctree Palette - no dither", "Windows Default palette",
                                 "WinWeb Palette", "Octree with F/S dither"}));
  EXPECT_EQ(deep.DepthCode(), 3);
  EXPECT_TRUE(deep.SetDepth("4"));
  const Items four{"Image Own Palette", "Octree Palette - no dither", "Windows Default palette",
                   "WinWeb Palette"};
  EXPECT_EQ(deep.Items(), four);
  EXPECT_TRUE(shallow.SetDepth("4"));
  EXPECT_EQ(shallow.Items(), four);
  // The result is the item's index.
  EXPECT_EQ(deep.Result(true, 3), 3);
}

TEST(CompressionChoices, OnlyAChangedKnownDepthRebuildsTheList) {
  TCompressChoices bmp(TCompressUse::Bmp, 6, 0, false);
  EXPECT_FALSE(bmp.SetDepth("24"));
  EXPECT_FALSE(bmp.SetDepth("16"));
  EXPECT_EQ(bmp.Depth(), "24");
}

TEST(CompressionChoices, AnyCloseButOkCancels) {
  for (const TCompressUse use : {TCompressUse::Tiff, TCompressUse::Png, TCompressUse::Bmp}) {
    const TCompressChoices choices(use, 6, 0, false);
    EXPECT_EQ(choices.Result(false, 0), -1);
    EXPECT_EQ(choices.Result(true, -1), -1);
    EXPECT_EQ(choices.Result(true, static_cast<int>(choices.Items().size())), -1);
  }
  EXPECT_STREQ(TCompressChoices::kAbortQuestion, "Abort Image Save ?");
  EXPECT_STREQ(TCompressChoices::kAbortCaption, "Kestrel!");
}

} // namespace
} // namespace kestrel
