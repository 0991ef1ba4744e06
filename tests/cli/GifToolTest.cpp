// kestrel-tool with GIF files: info counts the frames, convert reads the first frame and writes
// GIF from palette and true-colour pictures; giflib reads what was written.

#include "cli/ToolCommands.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Stream.h"

#include "../imaging/gif/GifReference.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace kestrel {
namespace {

std::string Data(const std::string& name) {
  return std::string(KESTREL_TEST_DATA) + "/" + name;
}

std::vector<uint8_t> Bytes(const std::string& path) {
  TMemoryStream file;
  file.LoadFromFile(path);
  return std::move(file.Bytes());
}

int RunGif(const std::vector<std::string>& args, std::string* out = nullptr) {
  std::ostringstream o, e;
  const int code = RunTool(args, o, e);
  EXPECT_EQ(e.str(), "");
  if (out) *out = o.str();
  return code;
}

std::unique_ptr<TBitmap> ReadBmp(const std::string& path) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromFile(path);
  return bitmap;
}

// The colour giflib gives pixel (x, y) of a frame.
TPixelColor RefColour(const gifref::RefFile& file, const gifref::RefFrame& frame, int x, int y) {
  const auto& map = frame.LocalMap.empty() ? file.GlobalMap : frame.LocalMap;
  const gifref::RefColor c = map.at(frame.Pixels.at(size_t(y) * frame.Width + x));
  return TPixelColor(c.Red) << 16 | c.Green << 8 | c.Blue;
}

} // namespace

TEST(GifTool, InfoCountsTheFrames) {
  const std::string path = Data("gif/imagemagick-animation.gif");
  const auto ref = gifref::Slurp(Bytes(path));
  ASSERT_TRUE(ref);
  std::string out;
  ASSERT_EQ(RunGif({"info", path}, &out), kExitOk);
  EXPECT_NE(out.find("format: gif (GIF Image)\n"), std::string::npos) << out;
  EXPECT_NE(out.find("width: " + std::to_string(ref->Width) + "\n"), std::string::npos);
  EXPECT_NE(out.find("frames: " + std::to_string(ref->Frames.size()) + "\n"), std::string::npos);
}

TEST(GifTool, ConvertReadsTheFirstFrame) {
  QTemporaryDir dir;
  const std::string path = Data("gif/netpbm-interlaced.gif");
  const std::string bmp = dir.filePath("first.bmp").toStdString();
  ASSERT_EQ(RunGif({"convert", path, bmp}), kExitOk);
  const auto ref = gifref::Slurp(Bytes(path));
  ASSERT_TRUE(ref);
  const auto loaded = ReadBmp(bmp);
  const TBitmap& bitmap = *loaded;
  ASSERT_EQ(bitmap.Width(), ref->Width);
  ASSERT_EQ(bitmap.Height(), ref->Height);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      ASSERT_EQ(bitmap.PixelColor(x, y), RefColour(*ref, ref->Frames[0], x, y)) << x << "," << y;
}

TEST(GifTool, ConvertWritesPaletteAndTrueColourPictures) {
  QTemporaryDir dir;
  for (const char* name : {"pal8.bmp", "pal4.bmp", "pal1.bmp", "rgb24.bmp", "rgb32.bmp"}) {
    SCOPED_TRACE(name);
    const std::string gif = dir.filePath("out.gif").toStdString();
    const std::string source = Data(std::string("bmpsuite/g/") + name);
    ASSERT_EQ(RunGif({"convert", source, gif}), kExitOk);
    const auto ref = gifref::Slurp(Bytes(gif));
    ASSERT_TRUE(ref);
    ASSERT_EQ(ref->Frames.size(), 1u);
    EXPECT_TRUE(ref->GlobalMap.empty());
    const auto loaded = ReadBmp(source);
    const TBitmap& original = *loaded;
    const bool palette = original.BitsPerPixel() <= 8;
    double error = 0;
    for (int y = 0; y < original.Height(); ++y)
      for (int x = 0; x < original.Width(); ++x) {
        const TPixelColor want = original.PixelColor(x, y);
        const TPixelColor got = RefColour(*ref, ref->Frames[0], x, y);
        if (palette) {
          ASSERT_EQ(got, want) << x << "," << y;
        }
        for (int shift : {16, 8, 0})
          error += std::abs(int(got >> shift & 0xFF) - int(want >> shift & 0xFF));
      }
    // True colour goes through a JPEG at quality 100 and the JPEG library's 256-colour
    // quantiser: close, not exact.
    EXPECT_LT(error / (3.0 * original.Width() * original.Height()), 9.0);
  }
}

} // namespace kestrel
