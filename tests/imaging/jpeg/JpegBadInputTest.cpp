// Damaged JPEG files: a clear EJpegError or a partial picture, never a crash, a hang or a huge
// allocation.

#include "JpegTestFiles.h"

#include "imaging/core/Stream.h"
#include "imaging/jpeg/JpegImage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <jpeglib.h>
#include <memory>
#include <string>

using namespace kestrel;
using namespace kestrel::test;

namespace {

std::vector<uint8_t> PhotoFile(int width, int height, bool progressive = false) {
  const auto bitmap = PhotoLike(width, height);
  TJPEGImage picture;
  picture.Assign(bitmap.get());
  picture.SetProgressiveEncoding(progressive);
  return Encoded(picture);
}

// What loading and decoding bytes gives: "" and the picture, or the error's text.
struct TOutcome {
  std::string Error;
  std::unique_ptr<TJPEGImage> Picture;
};

TOutcome Decode(const std::vector<uint8_t>& bytes, TJPEGScale scale = jsFullSize) {
  TOutcome outcome;
  outcome.Picture = std::make_unique<TJPEGImage>();
  outcome.Picture->SetScale(scale);
  try {
    TSpanStream stream(bytes.data(), bytes.size());
    outcome.Picture->LoadFromStream(stream);
    outcome.Picture->DIBNeeded();
  } catch (const EJpegError& e) {
    outcome.Error = e.what();
  }
  return outcome;
}

// Where the SOF frame header's height and width are.
size_t FrameSizeOffset(const std::vector<uint8_t>& file) {
  for (size_t i = 2; i + 9 < file.size(); ++i)
    if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) return i + 5;
  return 0;
}

std::vector<uint8_t> WithSize(std::vector<uint8_t> file, int width, int height) {
  const size_t at = FrameSizeOffset(file);
  file[at] = static_cast<uint8_t>(height >> 8);
  file[at + 1] = static_cast<uint8_t>(height);
  file[at + 2] = static_cast<uint8_t>(width >> 8);
  file[at + 3] = static_cast<uint8_t>(width);
  return file;
}

TEST(JpegBadInput, TruncatedFileShowsWhatWasDecoded) {
  const auto original = PhotoLike(128, 96);
  TJPEGImage source;
  source.Assign(original.get());
  const auto file = Encoded(source);
  const std::vector<uint8_t> half(file.begin(), file.begin() + static_cast<long>(file.size() / 2));
  const TOutcome outcome = Decode(half);
  ASSERT_EQ(outcome.Error, "");
  const TBitmap& shown = outcome.Picture->Bitmap();
  ASSERT_EQ(shown.Width(), 128);
  ASSERT_EQ(shown.Height(), 96);
  EXPECT_NE(outcome.Picture->DecodeWarning(), "");
  // The top rows are the picture; the bottom is libjpeg's grey.
  double top = 0;
  for (int x = 0; x < 128; ++x)
    top += std::abs(int(shown.PixelColor(x, 4) >> 8 & 0xFF) -
                    int(original->PixelColor(x, 4) >> 8 & 0xFF));
  EXPECT_LT(top / 128, 4);
  EXPECT_NEAR(int(shown.PixelColor(64, 95) >> 8 & 0xFF), 128, 3);
}

TEST(JpegBadInput, EveryCutGivesAnErrorOrAPicture) {
  for (bool progressive : {false, true}) {
    const auto file = PhotoFile(48, 40, progressive);
    int pictures = 0;
    for (size_t cut = 0; cut < file.size(); cut += 7) {
      const TOutcome outcome =
          Decode(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(cut)));
      if (outcome.Error.empty()) {
        EXPECT_EQ(outcome.Picture->Bitmap().Width(), 48);
        ++pictures;
      }
    }
    EXPECT_GT(pictures, 0) << (progressive ? "progressive" : "baseline");
  }
  EXPECT_NE(Decode({}).Error, "");
}

TEST(JpegBadInput, CorruptedBytesNeverCrash) {
  uint32_t seed = 987;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
  for (bool progressive : {false, true}) {
    const auto file = PhotoFile(40, 24, progressive);
    for (int round = 0; round < 150; ++round) {
      auto damaged = file;
      for (int flips = 1 + next() % 4; flips > 0; --flips)
        damaged[2 + next() % (damaged.size() - 2)] ^= static_cast<uint8_t>(1 + next() % 255);
      const TOutcome outcome = Decode(damaged, static_cast<TJPEGScale>(round % 4));
      if (outcome.Error.empty()) {
        EXPECT_GT(outcome.Picture->Bitmap().Width(), 0);
      }
    }
  }
}

TEST(JpegBadInput, AbsurdSizesAreRefusedBeforeAllocating) {
  const auto start = std::chrono::steady_clock::now();
  const auto huge = Decode(WithSize(PhotoFile(16, 16), 65000, 65000));
  EXPECT_NE(huge.Error.find("exceeds the memory limit"), std::string::npos) << huge.Error;
  // At 1/8 the decoded picture would fit, but a progressive file needs all its coefficients.
  const auto coefficients = Decode(WithSize(PhotoFile(16, 16, true), 30000, 30000), jsEighth);
  EXPECT_NE(coefficients.Error.find("exceeds the memory limit"), std::string::npos)
      << coefficients.Error;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(JpegBadInput, NotAJpegAndNoImage) {
  EXPECT_NE(Decode({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}).Error.find("Not a JPEG file"),
            std::string::npos);
  // Start and end markers with nothing between.
  EXPECT_NE(Decode({0xFF, 0xD8, 0xFF, 0xD9}).Error, "");
}

TEST(JpegBadInput, EndlessScanScriptsAreCut) {
  std::vector<uint8_t> grey(16 * 16);
  for (size_t i = 0; i < grey.size(); ++i)
    grey[i] = static_cast<uint8_t>(i * 7);
  TBareJpeg shape;
  shape.Width = 16, shape.Height = 16, shape.Components = 1, shape.InputSpace = JCS_GRAYSCALE,
  shape.FileSpace = JCS_GRAYSCALE, shape.ManyScans = true;
  const TOutcome outcome = Decode(BareEncode(shape, grey));
  EXPECT_NE(outcome.Error.find("scans"), std::string::npos) << outcome.Error;
}

} // namespace
