// TJPEGImage: the decoder options, encoder options and the picture's life between bytes and bitmap.

#include "JpegTestFiles.h"

#include "../support/ImagingTestSupport.h"

#include "imaging/core/Canvas.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Stream.h"
#include "imaging/jpeg/JpegImage.h"
#include "imaging/png/PngGraphic.h"

#include <gtest/gtest.h>

#include <jpeglib.h>
#include <memory>
#include <set>

using namespace kestrel;
using namespace kestrel::test;

namespace {

std::unique_ptr<TJPEGImage> FromBitmap(const TBitmap& bitmap, int quality = 95,
                                       bool progressive = false) {
  auto picture = std::make_unique<TJPEGImage>();
  picture->Assign(&bitmap);
  picture->SetCompressionQuality(quality);
  picture->SetProgressiveEncoding(progressive);
  return picture;
}

std::unique_ptr<TJPEGImage> Load(const std::vector<uint8_t>& bytes) {
  auto picture = std::make_unique<TJPEGImage>();
  TMemoryStream stream(bytes);
  picture->LoadFromStream(stream);
  return picture;
}

std::vector<uint8_t> PhotoFile(int width, int height, int quality = 95, bool progressive = false) {
  return Encoded(*FromBitmap(*PhotoLike(width, height), quality, progressive));
}

TEST(JpegImage, ScalesGiveLibjpegSizes) {
  // libjpeg's scaled output is the stored size divided by 1, 2, 4, 8, rounded up.
  const auto picture = Load(PhotoFile(101, 67));
  const int widths[] = {101, 51, 26, 13}, heights[] = {67, 34, 17, 9};
  for (TJPEGScale scale : {jsFullSize, jsHalf, jsQuarter, jsEighth}) {
    picture->SetScale(scale);
    EXPECT_FALSE(picture->HasBitmap());
    EXPECT_EQ(picture->Width(), widths[scale]) << "before decoding, scale " << int(scale);
    EXPECT_EQ(picture->Height(), heights[scale]);
    const TBitmap& bitmap = picture->Bitmap();
    EXPECT_EQ(bitmap.Width(), widths[scale]) << "decoded, scale " << int(scale);
    EXPECT_EQ(bitmap.Height(), heights[scale]);
    EXPECT_EQ(picture->ImageWidth(), 101);
  }
}

TEST(JpegImage, ScaledDecodeShowsTheSamePicture) {
  const auto original = PhotoLike(256, 192);
  const auto picture = Load(Encoded(*FromBitmap(*original)));
  picture->SetScale(jsEighth);
  const TBitmap& small = picture->Bitmap();
  // Each pixel of the 1/8 picture is about the mean of its 8 x 8 block.
  double error = 0;
  for (int y = 0; y < small.Height(); ++y)
    for (int x = 0; x < small.Width(); ++x) {
      int sum = 0;
      for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i)
          sum += original->PixelColor(8 * x + i, 8 * y + j) >> 8 & 0xFF;
      error += std::abs(sum / 64.0 - (small.PixelColor(x, y) >> 8 & 0xFF));
    }
  EXPECT_LT(error / (small.Width() * small.Height()), 4);
}

TEST(JpegImage, EveryOptionChangeDropsTheDecodedBitmap) {
  const auto picture = Load(PhotoFile(40, 30));
  int changes = 0;
  picture->OnChange = [&](TGraphic&) { ++changes; };
  const std::function<void()> setters[] = {
      [&] { picture->SetScale(jsHalf); },          [&] { picture->SetPixelFormat(jf8Bit); },
      [&] { picture->SetGrayscale(true); },        [&] { picture->SetPerformance(jpBestSpeed); },
      [&] { picture->SetCompressionQuality(50); }, [&] { picture->SetProgressiveEncoding(true); },
  };
  for (const auto& set : setters) {
    picture->DIBNeeded();
    ASSERT_TRUE(picture->HasBitmap());
    const int before = changes;
    set();
    EXPECT_FALSE(picture->HasBitmap());
    EXPECT_EQ(changes, before + 1);
  }
  // Setting the value a picture already has changes nothing.
  picture->DIBNeeded();
  picture->SetScale(jsHalf);
  EXPECT_TRUE(picture->HasBitmap());
}

TEST(JpegImage, GreyscaleOutputIsEightBitGrey) {
  const auto original = PhotoLike(64, 48);
  const auto picture = Load(Encoded(*FromBitmap(*original)));
  picture->SetGrayscale(true);
  const TBitmap& grey = picture->Bitmap();
  ASSERT_EQ(grey.PixelFormat(), pf8bit);
  ASSERT_EQ(grey.OwnPalette().Count(), 256);
  double error = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const TPixelColor c = original->PixelColor(x, y);
      const double luma = 0.299 * (c >> 16 & 0xFF) + 0.587 * (c >> 8 & 0xFF) + 0.114 * (c & 0xFF);
      const TPixelColor shown = grey.PixelColor(x, y);
      EXPECT_EQ(shown & 0xFF, shown >> 16 & 0xFF);
      error += std::abs(luma - (shown & 0xFF));
    }
  EXPECT_LT(error / (64 * 48), 3);
}

TEST(JpegImage, EightBitOutputIsQuantisedWithDithering) {
  const auto picture = Load(PhotoFile(128, 96));
  const auto true24 = Copy(picture->Bitmap());
  picture->SetPixelFormat(jf8Bit);
  const TBitmap& indexed = picture->Bitmap();
  ASSERT_EQ(indexed.PixelFormat(), pf8bit);
  EXPECT_LE(indexed.OwnPalette().Count(), 256);
  EXPECT_GT(indexed.OwnPalette().Count(), 64);
  std::set<int> used;
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 128; ++x)
      used.insert(indexed.ScanLine(y)[x]);
  EXPECT_GT(used.size(), 64u);
  EXPECT_LT(MeanDifference(*true24, indexed), 6);
}

TEST(JpegImage, ProgressiveFilesAreRecognised) {
  const auto baseline = PhotoFile(48, 32, 90, false);
  const auto progressive = PhotoFile(48, 32, 90, true);
  // A progressive frame is marked SOF2 (FF C2).
  auto hasMarker = [](const std::vector<uint8_t>& f, uint8_t m) {
    for (size_t i = 0; i + 1 < f.size(); ++i)
      if (f[i] == 0xFF && f[i + 1] == m) return true;
    return false;
  };
  EXPECT_TRUE(hasMarker(progressive, 0xC2));
  EXPECT_FALSE(hasMarker(baseline, 0xC2));
  EXPECT_TRUE(Load(progressive)->ProgressiveEncoding());
  EXPECT_FALSE(Load(baseline)->ProgressiveEncoding());

  std::vector<uint8_t> grey(32 * 16, 100);
  TBareJpeg shape;
  shape.Width = 32, shape.Height = 16, shape.Components = 1, shape.InputSpace = JCS_GRAYSCALE,
  shape.FileSpace = JCS_GRAYSCALE, shape.Progressive = true;
  const auto bare = Load(BareEncode(shape, grey));
  EXPECT_TRUE(bare->ProgressiveEncoding());
  EXPECT_NEAR(bare->Bitmap().PixelColor(5, 5) & 0xFF, 100, 1);
}

TEST(JpegImage, QualityEightyFiveKeepsPhotosAboveThirtyEightDecibels) {
  const auto original = PhotoLike(320, 240);
  const auto q85 = Encoded(*FromBitmap(*original, 85));
  const auto q20 = Encoded(*FromBitmap(*original, 20));
  const double psnr85 = Psnr(*original, Load(q85)->Bitmap());
  EXPECT_GT(psnr85, 38) << psnr85;
  EXPECT_LT(Psnr(*original, Load(q20)->Bitmap()), psnr85);
  EXPECT_LT(q20.size(), q85.size());
}

TEST(JpegImage, BestSpeedStaysCloseToBestQuality) {
  const auto picture = Load(PhotoFile(96, 64));
  const auto quality = Copy(picture->Bitmap());
  picture->SetPerformance(jpBestSpeed);
  const TBitmap& speed = picture->Bitmap();
  const double difference = MeanDifference(*quality, speed);
  EXPECT_GT(difference, 0) << "fast DCT and plain upsampling give other pixels";
  EXPECT_LT(difference, 3);
}

// Four blocks of 4 x 8: red, green, blue, white, given as ink (C, M, Y, K).
std::vector<uint8_t> InkBlocks(bool inverted) {
  const uint8_t inks[4][4] = {{0, 255, 255, 0}, {255, 0, 255, 0}, {255, 255, 0, 0}, {0, 0, 0, 0}};
  std::vector<uint8_t> samples;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      for (int c = 0; c < 4; ++c)
        samples.push_back(static_cast<uint8_t>(inverted ? 255 - inks[x / 4][c] : inks[x / 4][c]));
  return samples;
}

TEST(JpegImage, CmykAndInvertedCmykShowTheirColours) {
  const TPixelColor expected[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  struct TCase {
    int FileSpace;
    bool Adobe;
  };
  for (const TCase& c : {TCase{JCS_CMYK, false}, TCase{JCS_CMYK, true}, TCase{JCS_YCCK, true}}) {
    TBareJpeg shape;
    shape.Width = 16, shape.Height = 8, shape.Components = 4, shape.InputSpace = JCS_CMYK,
    shape.FileSpace = c.FileSpace, shape.AdobeMarker = c.Adobe, shape.Quality = 100;
    const auto picture = Load(BareEncode(shape, InkBlocks(c.Adobe)));
    const TBitmap& bitmap = picture->Bitmap();
    ASSERT_EQ(bitmap.PixelFormat(), pf24bit);
    for (int block = 0; block < 4; ++block)
      for (int shift : {0, 8, 16})
        EXPECT_NEAR(int(bitmap.PixelColor(block * 4 + 1, 4) >> shift & 0xFF),
                    int(expected[block] >> shift & 0xFF), 12)
            << "space " << c.FileSpace << (c.Adobe ? " inverted" : "") << ", block " << block;
    picture->SetGrayscale(true);
    EXPECT_EQ(picture->Bitmap().PixelFormat(), pf8bit);
    EXPECT_NEAR(int(picture->Bitmap().PixelColor(1, 4) & 0xFF), 76, 12); // red's luma
  }
}

TEST(JpegImage, BitmapSourceSurvivesDecoderOptionsAndReencodesAfterEncoderOptions) {
  const auto original = PhotoLike(64, 48);
  auto picture = FromBitmap(*original, 95);
  picture->SetScale(jsHalf);
  picture->SetGrayscale(true);
  ASSERT_TRUE(picture->HasBitmap());
  EXPECT_EQ(picture->Width(), 64);
  EXPECT_EQ(picture->Bitmap().PixelFormat(), pf24bit);
  const auto fine = Encoded(*picture);
  picture->SetCompressionQuality(10);
  const auto coarse = Encoded(*picture);
  EXPECT_LT(coarse.size(), fine.size());
}

TEST(JpegImage, AssignFromOtherPicturesAndToBitmaps) {
  TPngGraphic png;
  png.NewImage(20, 10, ifTrueColor);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x)
      png.SetPixel(x, y, x < 10 ? 0x2060A0 : 0xE0C040);
  TJPEGImage jpeg;
  jpeg.Assign(&png);
  jpeg.SetCompressionQuality(100);
  const auto back = Load(Encoded(jpeg));
  TBitmap bitmap;
  bitmap.Assign(back.get());
  ASSERT_EQ(bitmap.Width(), 20);
  for (int shift : {0, 8, 16}) {
    EXPECT_NEAR(int(bitmap.PixelColor(3, 5) >> shift & 0xFF), int(0x2060A0 >> shift & 0xFF), 4);
    EXPECT_NEAR(int(bitmap.PixelColor(16, 5) >> shift & 0xFF), int(0xE0C040 >> shift & 0xFF), 4);
  }
  // Drawing gives the decoded pixels.
  TBitmap canvas(20, 10, pf24bit);
  canvas.Canvas().Draw(0, 0, *back);
  EXPECT_EQ(canvas.PixelColor(3, 5), back->Bitmap().PixelColor(3, 5));
}

TEST(JpegImage, ResolutionTravelsAsDotsPerInch) {
  const auto original = PhotoLike(16, 16);
  original->SetPelsPerMeter(11811, 3780);
  const auto back = Load(Encoded(*FromBitmap(*original)));
  EXPECT_NEAR(back->Bitmap().XPelsPerMeter(), 11811, 20);
  EXPECT_NEAR(back->Bitmap().YPelsPerMeter(), 3780, 20);
}

TEST(JpegImage, RegisteredForItsExtensions) {
  for (const char* extension : {"jpg", "jpeg", "jpe", "PHOTO.JPG"}) {
    const auto format = TPicture::FindFileFormat(extension);
    ASSERT_TRUE(format) << extension;
    EXPECT_EQ(format->Class, typeid(TJPEGImage));
    EXPECT_EQ(format->Description, "JPEG Image File");
  }
}

TEST(JpegImage, PixelFormatStartsAtEightBitsOnPaletteScreens) {
  {
    const ScreenDepth depth(8);
    EXPECT_EQ(TJPEGImage().PixelFormat(), jf8Bit);
  }
  const ScreenDepth depth(24);
  EXPECT_EQ(TJPEGImage().PixelFormat(), jf24Bit);
}

TEST(JpegImage, InfoFromTheHeader) {
  const auto bytes = PhotoFile(77, 33);
  TMemoryStream stream(bytes);
  const TImageInfo info = TJPEGImage().ReadInfo(stream);
  EXPECT_EQ(info.Width, 77);
  EXPECT_EQ(info.Height, 33);
  EXPECT_EQ(info.BitsPerPixel, 24);
}

} // namespace
