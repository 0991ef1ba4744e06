// kestrel-tool with the PC Paintbrush, DCX and Targa formats: the page count of a DCX, and
// conversions through all six of their extensions that keep every pixel.

#include "cli/ToolCommands.h"

#include "imaging/core/Bitmap.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace kestrel {
namespace {

std::string Data(const std::string& name) {
  return std::string(KESTREL_TEST_DATA) + "/" + name;
}

int RunWith(const std::vector<std::string>& args, std::string* out = nullptr,
            std::string* err = nullptr) {
  std::ostringstream o, e;
  const int code = RunTool(args, o, e);
  if (out) *out = o.str();
  if (err) *err = e.str();
  return code;
}

TEST(ToolPaintbrushTarga, InfoGivesTheDcxPageCount) {
  std::string out;
  ASSERT_EQ(RunWith({"info", Data("pcx/magick_pages.dcx")}, &out), kExitOk);
  EXPECT_EQ(out, "format: dcx (DCX file)\n"
                 "width: 61\n"
                 "height: 19\n"
                 "bits per pixel: 24\n"
                 "palette entries: 0\n"
                 "frames: 3\n");
}

TEST(ToolPaintbrushTarga, ConversionsThroughEveryExtensionKeepThePixels) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char* source : {"bmpsuite/g/rgb24.bmp", "bmpsuite/g/pal8.bmp"}) {
    std::string from = Data(source);
    for (const char* extension : {"pcx", "pcc", "dcx", "tga", "afi", "vst", "bmp"}) {
      const std::string to = dir.filePath(QString("picture.") + extension).toStdString();
      std::string err;
      ASSERT_EQ(RunWith({"convert", from, to}, nullptr, &err), kExitOk) << to << ": " << err;
      from = to;
    }
    TBitmap original, result;
    original.LoadFromFile(Data(source));
    result.LoadFromFile(from);
    ASSERT_EQ(result.Width(), original.Width());
    ASSERT_EQ(result.Height(), original.Height());
    for (int y = 0; y < original.Height(); ++y)
      for (int x = 0; x < original.Width(); ++x)
        ASSERT_EQ(result.PixelColor(x, y), original.PixelColor(x, y))
            << source << " " << x << "," << y;
  }
}

TEST(ToolPaintbrushTarga, CodecMessagesReachTheUser) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string damaged = dir.filePath("damaged.pcx").toStdString();
  {
    QFile file(QString::fromStdString(Data("pcx/ppmtopcx_8bit.pcx")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    bytes[0] = 0;
    QFile out(QString::fromStdString(damaged));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
  }
  std::string err;
  EXPECT_EQ(RunWith({"info", damaged}, nullptr, &err), kExitFailed);
  EXPECT_EQ(err, "kestrel-tool: bmod_read_header failed.\n");

  const std::string target = dir.filePath("sixteen.tga").toStdString();
  EXPECT_EQ(RunWith({"convert", Data("pcx/ppmtopcx_4planes.pcx"), target}, nullptr, &err),
            kExitFailed);
  EXPECT_EQ(err, "kestrel-tool: TARGA image must be true color or 8 bit with palette\n");
  EXPECT_FALSE(QFile::exists(QString::fromStdString(target)));
}

} // namespace
} // namespace kestrel
