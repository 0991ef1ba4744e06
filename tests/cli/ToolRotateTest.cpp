// kestrel-tool rotate: its options and what it refuses, and pictures another program reads back
// with the pixels of the turn, the background where the turn uncovers the corners.

#include "IndependentReader.h"
#include "ToolRun.h"

#include "cli/ToolCommands.h"

#include "imaging/core/Bitmap.h"
#include "processing/rotate/Rotation.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

const std::string kPicture = std::string(KESTREL_TEST_DATA) + "/bmpsuite/g/rgb24.bmp"; // 127 x 64
const std::string kMono = std::string(KESTREL_TEST_DATA) + "/bmpsuite/g/pal1.bmp";

using test::Tool;
using test::ToolRun;

TEST(ToolRotate, RefusesWhatItCannotDo) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"rotate", "a.bmp", "b.bmp"},
           {"rotate", "a.bmp", "b.bmp", "--angle", "thirty"},
           {"rotate", "a.bmp", "b.bmp", "--angle", "30.5"},
           {"rotate", "a.bmp", "b.bmp", "--angle", ""},
           {"rotate", "a.bmp", "b.bmp", "--angle", "-"},
           {"rotate", "a.bmp", "b.bmp", "--angle", "12345678901"},
           {"rotate", "a.bmp", "b.bmp", "--angle", "30", "--background", "red"},
           {"rotate", "a.bmp", "b.bmp", "--angle", "30", "--background", "12345"},
           {"rotate", "a.bmp", "b.bmp", "--angle", "30", "--width", "10"},
           {"convert", "a.bmp", "b.bmp", "--angle", "30"}})
    EXPECT_EQ(Tool(args).Code, kExitUsage) << args.back();
  QTemporaryDir dir;
  const ToolRun missing = Tool({"rotate", dir.filePath("none.bmp").toStdString(),
                                dir.filePath("o.bmp").toStdString(), "--angle", "30"});
  EXPECT_EQ(missing.Code, kExitFailed);
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("o.bmp")));
}

TEST(ToolRotate, WritesTheTurnOnItsBackground) {
  TBitmap source;
  source.LoadFromFile(kPicture);
  QTemporaryDir dir;
  const QString turned = dir.filePath("turned.png"), whole = dir.filePath("whole.bmp");
  ASSERT_EQ(
      Tool({"rotate", kPicture, turned.toStdString(), "--angle", "-30", "--background", "FF8000"})
          .Code,
      kExitOk);
  ASSERT_EQ(Tool({"rotate", kPicture, whole.toStdString(), "--angle", "-720"}).Code, kExitOk);
  TBitmap expected;
  RotateBitmap(source, expected, -30, 0x000080FF); // 0x00BBGGRR

  std::string error;
  const auto pixels = test::ReadWithPillow({turned, whole}, &error);
  if (!pixels) GTEST_SKIP() << "no independent reader: " << error;
  int index = 0;
  for (const TBitmap* picture : {&expected, &source}) {
    const QByteArray& rgb = (*pixels)[static_cast<size_t>(index++)];
    ASSERT_EQ(rgb.size(), 3 * picture->Width() * picture->Height());
    for (int y = 0; y < picture->Height(); ++y)
      for (int x = 0; x < picture->Width(); ++x) {
        const auto* p = reinterpret_cast<const uint8_t*>(rgb.constData()) +
                        3 * (static_cast<size_t>(y) * picture->Width() + x);
        ASSERT_EQ(TPixelColor(p[0]) << 16 | TPixelColor(p[1]) << 8 | p[2],
                  picture->PixelColor(x, y))
            << index << " at " << x << "," << y;
      }
  }
  // The corner the turn uncovered is the background.
  const auto* corner = reinterpret_cast<const uint8_t*>((*pixels)[0].constData());
  EXPECT_EQ(TPixelColor(corner[0]) << 16 | TPixelColor(corner[1]) << 8 | corner[2], 0xFF8000u);
}

TEST(ToolRotate, AOneBitPictureBecomesAnEightBitOne) {
  QTemporaryDir dir;
  const QString out = dir.filePath("mono.bmp");
  ASSERT_EQ(Tool({"rotate", kMono, out.toStdString(), "--angle", "90", "--bits", "8"}).Code,
            kExitOk);
  TBitmap source, turned;
  source.LoadFromFile(kMono);
  turned.LoadFromFile(out.toStdString());
  EXPECT_EQ(turned.PixelFormat(), pf8bit);
  EXPECT_EQ(turned.Width(), source.Height());
  EXPECT_EQ(turned.Height(), source.Width());
  // Destination (x, y) comes from (y, H - x): the second column from the source's last row.
  for (int y = 0; y < turned.Height(); ++y)
    EXPECT_EQ(turned.PixelColor(1, y), source.PixelColor(y, source.Height() - 1)) << y;
}

} // namespace
} // namespace kestrel
