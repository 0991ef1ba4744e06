#include "app/view/Dpicture.h"
#include "app/view/PaletteSynthesis.h"
#include "app/view/PictureLoader.h"
#include "imaging/core/Exceptions.h"
#include "platform/sound/SoundPlayer.h"

#include "ViewTestSupport.h"
#include "support/TempEnvironment.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

class PictureFiles : public ::testing::Test {
protected:
  QString Path(const QString& name) const { return Folder.path() + "/" + name; }
  // The pattern written in a format, as read back by the holder's reader.
  TPictureRead WrittenAndRead(const TBitmap& bitmap, const QString& name, int depth = 32) {
    test::WritePicture(bitmap, Path(name));
    return ReadPictureFile(Path(name), depth);
  }

  QTemporaryDir Folder;
};

TEST(ImageKind, ExtensionsInAnyCase) {
  const struct {
    const char* Name;
    TImageKind Kind;
  } kinds[] = {{"a.JPG", ikJpeg},    {"a.jpe", ikJpeg},    {"a.jpeg", ikJpeg}, {"a.bmp", ikBmp},
               {"a.ico", ikIcon},    {"a.wmf", ikWmf},     {"a.EMF", ikEmf},   {"a.gif", ikGif},
               {"a.png", ikPng},     {"a.tif", ikTiff},    {"a.TIFF", ikTiff}, {"a.vst", ikVst},
               {"a.tga", ikTga},     {"a.afi", ikAfi},     {"a.pcc", ikPcc},   {"a.pcx", ikPcx},
               {"a.dcx", ikDcx},     {"b.c.wav", ikSound}, {"a.txt", ikNone},  {"bmp", ikNone},
               {"dir.bmp/a", ikNone}};
  for (const auto& k : kinds)
    EXPECT_EQ(ImageKindOf(k.Name), k.Kind) << k.Name;
}

TEST_F(PictureFiles, LibraryPicturesBecomeDeviceBitmapsWithTheirOwnColours) {
  const auto deep = test::PatternBitmap(21, 13);
  // (PNG is left out: its reader corrects the gamma it writes.)
  for (const char* name : {"deep.tif", "deep.tga", "deep.pcx"}) {
    TPictureRead read = WrittenAndRead(*deep, name);
    ASSERT_FALSE(read.Failed()) << name << ": " << read.Error.toStdString();
    EXPECT_TRUE(read.IsDIB) << name;
    const auto* bitmap = dynamic_cast<const TBitmap*>(read.Graphic.get());
    ASSERT_NE(bitmap, nullptr) << name;
    EXPECT_EQ(bitmap->PixelFormat(), pf24bit) << name;
    EXPECT_TRUE(bitmap->Palette().IsNull()) << name;
    EXPECT_EQ(test::SizeAndPixels(*bitmap), test::SizeAndPixels(*deep));
  }
  // Palette pictures keep their indices and get their colour table as the palette: 8 bits up to
  // 256 colours, 4 bits for 16.
  const auto indexed = test::IndexedBitmap(17, 9, 200);
  TPictureRead read = WrittenAndRead(*indexed, "indexed.tif");
  ASSERT_FALSE(read.Failed()) << read.Error.toStdString();
  const auto* bitmap = dynamic_cast<const TBitmap*>(read.Graphic.get());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->PixelFormat(), pf8bit);
  EXPECT_GE(bitmap->Palette().Count(), 200);
  EXPECT_EQ(bitmap->ScanLine(2)[5], (5 + 3 * 2) % 200);
  EXPECT_EQ(test::SizeAndPixels(*bitmap), test::SizeAndPixels(*indexed));
}

TEST_F(PictureFiles, SmallPalettesGiveFourBitBitmaps) {
  TDibGraphic mono;
  mono.NewImage(10, 3, ifBlackWhite);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 10; ++x)
      mono.SetPixelIndex(x, y, x == 4 && y == 1);
  const auto bitmap = DeviceBitmapOf(mono, ikPng, 32);
  EXPECT_EQ(bitmap->PixelFormat(), pf4bit);
  EXPECT_EQ(bitmap->OwnPalette().Count(), 2);
  EXPECT_EQ(bitmap->PixelColor(4, 1), 0xFFFFFFu);
  EXPECT_EQ(bitmap->PixelColor(3, 1), 0u);
  // Icons and metafiles get no palette of their own: the colours take the standard ones.
  TDibGraphic grey;
  grey.NewImage(2, 1, ifGray16);
  grey.SetPixelIndex(0, 0, 0);
  grey.SetPixelIndex(1, 0, 8); // grey 136, nearest standard colour is grey 128
  const auto icon = DeviceBitmapOf(grey, ikIcon, 32);
  EXPECT_EQ(icon->PixelFormat(), pf4bit);
  EXPECT_EQ(icon->PixelColor(1, 0), 0x808080u);
  TDibGraphic empty;
  EXPECT_THROW(DeviceBitmapOf(empty, ikPng, 32), EInvalidGraphic);
}

TEST_F(PictureFiles, PaletteScreensReadDeepPicturesWithoutTheirPalettes) {
  const auto deep = test::PatternBitmap(8, 8);
  TPictureRead png = WrittenAndRead(*deep, "deep.png", 8);
  ASSERT_FALSE(png.Failed());
  EXPECT_TRUE(static_cast<TBitmap*>(png.Graphic.get())->IgnorePalette());
  TPictureRead bmp = WrittenAndRead(*deep, "deep.bmp", 8);
  ASSERT_FALSE(bmp.Failed());
  EXPECT_FALSE(bmp.IsDIB);
  EXPECT_TRUE(static_cast<TBitmap*>(bmp.Graphic.get())->IgnorePalette());
  TPictureRead deepScreen = WrittenAndRead(*deep, "deep.bmp", 24);
  EXPECT_FALSE(static_cast<TBitmap*>(deepScreen.Graphic.get())->IgnorePalette());
}

TEST_F(PictureFiles, FailuresAreReportedNotRaised) {
  test::WriteFile(Path("broken.png"), QByteArray("\x89PNG\r\n\x1a\nrubbish", 16));
  test::WriteFile(Path("broken.bmp"), "BM");
  test::WriteFile(Path("empty.jpg"), "");
  for (const char* name : {"broken.png", "broken.bmp", "empty.jpg", "missing.tif"}) {
    const TPictureRead read = ReadPictureFile(Path(name), 32);
    EXPECT_TRUE(read.Failed()) << name;
    EXPECT_EQ(read.Graphic, nullptr) << name;
  }
  // An unknown extension and a sound read nothing, and that is no failure.
  for (const char* name : {"notes.txt", "ding.wav"}) {
    test::WriteFile(Path(name), "x");
    const TPictureRead read = ReadPictureFile(Path(name), 32);
    EXPECT_FALSE(read.Failed()) << name;
    EXPECT_EQ(read.Graphic, nullptr) << name;
  }
  // A JPEG whose data breaks off before any row fails the load, not the display.
  const auto deep = test::PatternBitmap(64, 64);
  test::WritePicture(*deep, Path("whole.jpg"));
  QByteArray bytes = test::FileBytes(Path("whole.jpg"));
  test::WriteFile(Path("cut.jpg"), bytes.left(bytes.indexOf("\xFF\xDA") + 2));
  TLoadRequest request;
  request.Path = Path("cut.jpg");
  EXPECT_TRUE(LoadPictureFile(request).Read.Failed());
}

TEST_F(PictureFiles, TheHolderPlaysSoundsAndKeepsItsPictureForThemAndForUnknownFiles) {
  QStringList played;
  const TSoundHandler previous =
      SetSoundHandler([&played](const QString& path) { played << path; });
  TDpicture picture;
  EXPECT_THROW(picture.Load(Path("pattern.bmp"), 32), EInvalidGraphic); // not there yet
  EXPECT_EQ(picture.Graphic(), nullptr);
  const auto deep = test::PatternBitmap(5, 4);
  test::WritePicture(*deep, Path("pattern.bmp"));
  picture.Load(Path("pattern.bmp"), 32);
  const TGraphic* shown = picture.Graphic();
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(picture.ImgType, ikBmp);
  picture.Load(Path("ding.wav"), 32);
  EXPECT_EQ(played, QStringList{Path("ding.wav")});
  EXPECT_EQ(picture.ImgType, ikSound);
  EXPECT_EQ(picture.Graphic(), shown);
  picture.Load(Path("notes.txt"), 32);
  EXPECT_EQ(picture.ImgType, ikNone);
  EXPECT_EQ(picture.Graphic(), shown);
  test::WriteFile(Path("broken.tga"), "xx");
  EXPECT_THROW(picture.Load(Path("broken.tga"), 32), EInvalidGraphic);
  EXPECT_EQ(picture.Graphic(), shown);
  SetSoundHandler(previous);
}

TEST(PaletteSynthesis, PaletteScreensGetAPaletteOrFewerColours) {
  TBitmap bitmap;
  bitmap.NewImage(6, 4, pf24bit, {});
  const TPixelColor colors[3] = {0xC81E3C, 0x10A020, 0x3030F0};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      PixelRows::Write(bitmap.ScanLine(y), 24, x, 1, &colors[(x + y) % 3], nullptr);
  bitmap.SetIgnorePalette(true);

  TBitmap deepScreen;
  deepScreen.Assign(&bitmap);
  EXPECT_FALSE(SynthesizePalette(deepScreen, 16, false).Synthesized);

  TBitmap palette;
  palette.Assign(&bitmap);
  const TSynthesis made = SynthesizePalette(palette, 8, false);
  EXPECT_TRUE(made.Synthesized);
  EXPECT_EQ(palette.PixelFormat(), pf24bit); // the pixels are kept
  const TPalette p = palette.Palette();
  EXPECT_EQ(p.Count(), 256);
  for (const TPixelColor c : colors) {
    const int index = p.NearestIndex(ColorOfPixel(c));
    EXPECT_EQ(p.PixelColor(index), c); // each colour of the picture is in the palette
  }
  // A picture with a palette needs none made.
  EXPECT_FALSE(SynthesizePalette(palette, 8, false).Synthesized);

  TBitmap reduced;
  reduced.Assign(&bitmap);
  EXPECT_TRUE(SynthesizePalette(reduced, 8, true).Synthesized);
  EXPECT_EQ(reduced.PixelFormat(), pf8bit);
  EXPECT_EQ(reduced.Palette().Count(), 256);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(reduced.PixelColor(x, y), colors[(x + y) % 3]);
  // Palette bitmaps are left alone.
  const auto indexed = test::IndexedBitmap(3, 3, 4);
  EXPECT_FALSE(NeedsSynthesizedPalette(*indexed, 8));
}

} // namespace
} // namespace kestrel
