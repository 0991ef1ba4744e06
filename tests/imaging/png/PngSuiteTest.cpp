// Every file of the PNG suite against a reference decoded by another program (the PAM files of
// tests/data/pngsuite/reference, raw samples and alpha without any gamma), with the expected
// pixels worked out here from the reader's rules: the format table, gamma from the file's gAMA
// (0.5 without one) to the screen's 2.2 above 2 bits per sample, and compositing in linear light
// onto the file's bKGD or onto BackgroundColor.

#include "PngTestFiles.h"

#include "imaging/core/Stream.h"
#include "imaging/png/PngGraphic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

using namespace kestrel;
using namespace kestrel::test;

namespace {

const std::string kSuite = DataPath("pngsuite/");

struct TSuiteFile {
  const char* Name;
  TImageFormat Format;
};

const TSuiteFile kFiles[] = {
    {"basn0g01", ifBlackWhite},  {"basn0g02", ifGray16},     {"basn0g04", ifGray16},
    {"basn0g08", ifGray256},     {"basn0g16", ifGray256},    {"basn2c08", ifTrueColor},
    {"basn2c16", ifTrueColor},   {"basn3p01", ifBlackWhite}, {"basn3p02", ifColor16},
    {"basn3p04", ifColor16},     {"basn3p08", ifColor256},   {"basn4a08", ifGray256},
    {"basn4a16", ifGray256},     {"basn6a08", ifTrueColor},  {"basn6a16", ifTrueColor},
    {"ftbbn0g01", ifBlackWhite}, {"ftbbn0g02", ifGray16},    {"ftbbn0g04", ifGray16},
    {"ftbbn2c16", ifTrueColor},  {"ftbbn3p08", ifColor256},  {"ftbgn2c16", ifTrueColor},
    {"ftbgn3p08", ifColor256},   {"ftbrn2c08", ifTrueColor}, {"ftbwn0g16", ifGray256},
    {"ftbwn3p08", ifColor256},   {"ftbyn3p08", ifColor256},  {"ftp0n0g08", ifGray256},
    {"ftp0n2c08", ifTrueColor},  {"ftp0n3p08", ifColor256},  {"ftp1n3p08", ifColor256},
};

constexpr double kScreenGamma = 2.2;

// The reader's background settings a test uses.
struct TBackground {
  bool UseOwn = false;
  TColor Color = clBlack;
};

// The rules for one file, as the reader must apply them.
struct TExpectation {
  bool GammaApplies = false;
  double FileGamma = 0.5;
  bool Grey = false;
  double Background[3] = {}; // in screen terms, 0..1
  int Levels = 256;          // grey or index levels the format can show of this file
  double Tolerance = 2;      // in 8-bit steps

  double ToScreen(double sample) const {
    return GammaApplies ? std::pow(sample, 1 / (FileGamma * kScreenGamma)) : sample;
  }
  double Composite(double foreground, double alpha, int channel) const {
    if (alpha >= 1) return foreground;
    if (alpha <= 0) return Background[channel];
    if (!GammaApplies) return alpha * foreground + (1 - alpha) * Background[channel];
    const double linear = alpha * std::pow(foreground, kScreenGamma) +
                          (1 - alpha) * std::pow(Background[channel], kScreenGamma);
    return std::pow(linear, 1 / kScreenGamma);
  }
};

TExpectation ExpectationFor(const TPngChunks& c, const TBackground& settings) {
  TExpectation e;
  e.GammaApplies = !c.Srgb && c.BitDepth > 2;
  e.FileGamma = c.Gamma.value_or(0.5);
  e.Grey = c.ColorType == 0 || c.ColorType == 4;
  const double max = (1 << c.BitDepth) - 1;
  if (!settings.UseOwn && !c.Background.empty()) {
    for (int i = 0; i < 3; ++i) {
      double raw = 0;
      if (c.ColorType == 3)
        raw = c.Palette.at(c.Background[0])[i] / 255.0;
      else
        raw = c.Background[e.Grey ? 0 : i] / max;
      e.Background[i] = e.ToScreen(raw);
    }
  } else {
    const TColor own = settings.Color;
    const double rgb[3] = {RedOf(own) / 255.0, GreenOf(own) / 255.0, BlueOf(own) / 255.0};
    const double luma = 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2];
    for (int i = 0; i < 3; ++i)
      e.Background[i] = e.Grey ? luma : rgb[i];
  }
  // Grey of 1 and 2 bits shows exactly its levels; 4-bit grey is corrected at 4 bits, so it may
  // land a whole level (17) away from the continuous value.
  if (e.Grey && c.BitDepth < 4) e.Levels = 1 << c.BitDepth;
  if (e.Grey && c.BitDepth == 4) e.Tolerance = 17;
  return e;
}

double Quantised(double value, int levels) {
  return std::round(value * (levels - 1)) / (levels - 1);
}

std::unique_ptr<TPngGraphic> Load(const std::vector<uint8_t>& file,
                                  const TBackground& settings = {}) {
  auto picture = std::make_unique<TPngGraphic>();
  picture->BackgroundColor = settings.Color;
  picture->UseOwnBackground = settings.UseOwn;
  TMemoryStream stream(file);
  picture->LoadFromStream(stream);
  return picture;
}

// Expected pixels of a file (whose samples are those of the reference) against what the picture
// shows; reports the first misfits.
void ExpectPixels(const std::string& name, const std::string& reference,
                  const TBackground& settings) {
  const std::vector<uint8_t> file = ReadFileBytes(kSuite + name + ".png");
  const TPngChunks chunks = ReadPngChunks(file);
  const TPam ref = ReadPam(kSuite + "reference/" + reference + ".pam");
  const auto loaded = Load(file, settings);
  const TPngGraphic& picture = *loaded;
  ASSERT_EQ(picture.Width(), ref.Width);
  ASSERT_EQ(picture.Height(), ref.Height);
  const TExpectation e = ExpectationFor(chunks, settings);
  const bool alphaChannel = ref.Depth == 2 || ref.Depth == 4;
  // A grey or RGB value named by tRNS is transparent (the reference marks it for grey only).
  auto transparent = [&](int x, int y) {
    if (chunks.Transparent.empty()) return false;
    for (size_t i = 0; i < chunks.Transparent.size(); ++i)
      if (ref.At(x, y, static_cast<int>(i)) != chunks.Transparent[i]) return false;
    return true;
  };
  int misfits = 0;
  for (int y = 0; y < ref.Height; ++y)
    for (int x = 0; x < ref.Width; ++x) {
      const TPixelColor actual = picture.Pixel(x, y);
      const double alpha = transparent(x, y) ? 0
                           : alphaChannel    ? ref.At(x, y, ref.Depth - 1) / double(ref.MaxVal)
                                             : 1;
      for (int channel = 0; channel < 3; ++channel) {
        const double sample = ref.At(x, y, e.Grey ? 0 : channel) / double(ref.MaxVal);
        double expected = e.Composite(e.ToScreen(sample), alpha, channel);
        if (e.Levels < 256) expected = Quantised(expected, e.Levels);
        const int got = actual >> (16 - 8 * channel) & 0xFF;
        const double off = std::abs(got - expected * 255);
        // Partly transparent pixels are mixed in linear light at 8 bits, coarse near black.
        const double linearOff =
            std::abs(std::pow(got / 255.0, kScreenGamma) - std::pow(expected, kScreenGamma));
        const bool partial = alpha > 0 && alpha < 1;
        if (off <= e.Tolerance || (partial && linearOff <= 1.5 / 255)) continue;
        if (++misfits <= 5)
          ADD_FAILURE() << name << " (" << x << ", " << y << ") channel " << channel << ": got "
                        << got << ", rules give " << expected * 255 << " (sample " << sample
                        << ", alpha " << alpha << ")";
      }
    }
}

class PngSuite : public testing::TestWithParam<TSuiteFile> {};

TEST_P(PngSuite, FormatFollowsTheTable) {
  TPngGraphic picture;
  picture.LoadFromFile(kSuite + GetParam().Name + ".png");
  EXPECT_EQ(picture.ImageFormat(), GetParam().Format);
  const TPngChunks chunks = ReadPngChunks(ReadFileBytes(kSuite + GetParam().Name + ".png"));
  if (chunks.ColorType == 3) {
    EXPECT_EQ(picture.Palette().Count, chunks.Palette.size());
  }
}

const TBackground kOwnBackground = {true, RgbColor(40, 160, 220)};

TEST_P(PngSuite, PixelsFollowGammaAndFileBackground) {
  const std::string name = GetParam().Name;
  ExpectPixels(name, name, TBackground());
  ExpectPixels("i" + name, name, TBackground());
}

TEST_P(PngSuite, PixelsFollowOwnBackground) {
  const std::string name = GetParam().Name;
  ExpectPixels(name, name, kOwnBackground);
  ExpectPixels("i" + name, name, kOwnBackground);
}

// The interlaced copies were written by another encoder: palettes in another order, and without
// some ancillary chunks of their twins (gAMA, bKGD), which change the pixels by the rules. Given
// the same gamma and composited onto the same colour they must show the very same picture.
TEST_P(PngSuite, InterlacedTwinIsIdentical) {
  const std::vector<uint8_t> plainFile = ReadFileBytes(kSuite + GetParam().Name + ".png");
  std::vector<uint8_t> twinFile = ReadFileBytes(kSuite + "i" + GetParam().Name + ".png");
  const TPngChunks plainChunks = ReadPngChunks(plainFile), twinChunks = ReadPngChunks(twinFile);
  for (const std::string type : {"gAMA", "sRGB"}) {
    const auto* body = plainChunks.Find(type);
    if (body && !twinChunks.Find(type)) twinFile = WithChunk(twinFile, type, *body, false);
  }
  const auto plainPicture = Load(plainFile, kOwnBackground);
  const auto twinPicture = Load(twinFile, kOwnBackground);
  const TPngGraphic &plain = *plainPicture, &interlaced = *twinPicture;
  ASSERT_EQ(interlaced.ImageFormat(), plain.ImageFormat());
  ASSERT_EQ(interlaced.Width(), plain.Width());
  ASSERT_EQ(interlaced.Height(), plain.Height());
  for (int y = 0; y < plain.Height(); ++y)
    for (int x = 0; x < plain.Width(); ++x)
      ASSERT_EQ(interlaced.Pixel(x, y), plain.Pixel(x, y)) << "at " << x << ", " << y;
}

TEST(PngSuiteFiles, MostTwinsAreAdam7Interlaced) {
  int interlaced = 0;
  for (const TSuiteFile& file : kFiles)
    interlaced += ReadPngChunks(ReadFileBytes(kSuite + "i" + file.Name + ".png")).Interlace == 1;
  EXPECT_GE(interlaced, 27);
}

INSTANTIATE_TEST_SUITE_P(Files, PngSuite, testing::ValuesIn(kFiles),
                         [](const testing::TestParamInfo<TSuiteFile>& info) {
                           return std::string(info.param.Name);
                         });

} // namespace
