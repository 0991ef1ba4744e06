// The save engine: each writer by the name's extension, refusals, cancelled windows, remembered
// options, and a failed write that leaves the old file alone.

#include "SaveTestSupport.h"

#include "app/save/DepthCode.h"
#include "app/save/ImageSaver.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Picture.h"
#include "imaging/icon/Icon.h"
#include "imaging/jpeg/JpegImage.h"
#include "imaging/metafile/Metafile.h"
#include "imaging/tiff/TiffGraphic.h"
#include "support/TestApplication.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace kestrel {
namespace {

using test::FileStart;
using test::PixelsOf;
using test::ReadBack;
using test::TestPicture;

class SaveAsTest : public ::testing::Test {
protected:
  std::string Path(const std::string& name) const {
    return dir.filePath(name.c_str()).toStdString();
  }
  bool Exists(const std::string& name) const { return QFile::exists(dir.filePath(name.c_str())); }
  QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

  test::TApplicationFirst first; // metafiles measure themselves on the screen
  QTemporaryDir dir;
  test::TScriptedQuestions questions;
  TImageSaver saver{questions};
};

TEST_F(SaveAsTest, TheNamesExtensionPicksTheWriter) {
  const auto picture = TestPicture(23, 17, pf24bit);
  const struct {
    const char* Name;
    std::string Start;
    bool Lossless;
  } cases[] = {{"a.bmp", "BM", true},
               {"b.JPG", "\xFF\xD8\xFF", false},
               {"c.jpeg", "\xFF\xD8\xFF", false},
               {"d.Png", "\x89PNG", true},
               {"e.tif", "II*", true},
               {"f.tiff", "II*", true},
               {"g.gif", "GIF8", false},
               {"h.tga", "", true},
               {"i.vst", "", true},
               {"j.afi", "", true},
               {"k.pcx", "\x0A", true},
               {"l.pcc", "\x0A", true},
               {"m.dcx", "\xB1\x68\xDE\x3A", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    ASSERT_TRUE(saver.SaveAs(Path(c.Name), *picture, false)) << questions.Told.back();
    EXPECT_EQ(FileStart(Path(c.Name), static_cast<int>(c.Start.size())), c.Start);
    const auto back = ReadBack(Path(c.Name));
    ASSERT_EQ(back->Width(), 23);
    ASSERT_EQ(back->Height(), 17);
    if (c.Lossless) {
      EXPECT_EQ(PixelsOf(*back), PixelsOf(*picture));
    }
  }
  EXPECT_TRUE(questions.Told.empty());
  EXPECT_TRUE(questions.AskedUses.empty()) << "a save that does not ask shows no window";
}

TEST_F(SaveAsTest, IconsAreAlways32By32) {
  const auto small = TestPicture(16, 16, pf24bit);
  TSavePicture shown;
  shown.FrameColor = 0x204060;
  ASSERT_TRUE(saver.SaveAs(Path("small.ico"), *small, true, shown));
  TIcon icon;
  icon.LoadFromFile(Path("small.ico"));
  ASSERT_EQ(icon.Width(), 32);
  ASSERT_EQ(icon.Height(), 32);
  EXPECT_EQ(icon.Image().pixel(5, 7), 0xFF000000u | small->PixelColor(5, 7));
  EXPECT_EQ(icon.Image().pixel(20, 20), 0xFF000000u | PixelColorOf(0x204060));
  // With transparency the frame colour is see-through.
  shown.Transparent = true;
  ASSERT_TRUE(saver.SaveAs(Path("clear.ico"), *small, false, shown));
  icon.LoadFromFile(Path("clear.ico"));
  EXPECT_EQ(qAlpha(icon.Image().pixel(20, 20)), 0);
  EXPECT_EQ(qAlpha(icon.Image().pixel(5, 7)), 255);
  EXPECT_TRUE(questions.AskedUses.empty());
}

TEST_F(SaveAsTest, MetafilesAreWrittenFromTheLoadedMetafileOnly) {
  const auto bitmap = TestPicture(10, 10, pf24bit);
  EXPECT_FALSE(saver.SaveAs(Path("drawn.wmf"), *bitmap, true));
  TSavePicture shown;
  shown.Graphic = bitmap.get();
  EXPECT_FALSE(saver.SaveAs(Path("drawn.emf"), *bitmap, true, shown));
  EXPECT_EQ(questions.Told,
            std::vector<std::string>(2, "Kestrel: Save Image|Conversion not Supported"));
  TMetafile plain;
  plain.LoadFromFile(test::DataPath("metafile/rich.wmf"));
  shown.Graphic = &plain;
  ASSERT_TRUE(saver.SaveAs(Path("same.wmf"), *bitmap, true, shown));
  ASSERT_TRUE(saver.SaveAs(Path("other.emf"), *bitmap, true, shown));
  TMetafile same, other;
  same.LoadFromFile(Path("same.wmf"));
  other.LoadFromFile(Path("other.emf"));
  EXPECT_FALSE(same.Enhanced());
  EXPECT_TRUE(std::ranges::equal(same.Data(), plain.Data())) << "its own flavour keeps its records";
  EXPECT_TRUE(other.Enhanced());
  EXPECT_EQ(other.Width(), plain.Width());
  EXPECT_EQ(Files(), (QStringList{"other.emf", "same.wmf"}));
}

TEST_F(SaveAsTest, NamesWithoutAWriterAndEmptyPicturesWriteNothing) {
  const auto picture = TestPicture(4, 4, pf8bit);
  for (const char* name : {"noextension", "sound.wav", "notes.txt", "dotted.name.xyz"}) {
    questions.Told.clear();
    EXPECT_FALSE(saver.SaveAs(Path(name), *picture, true)) << name;
    EXPECT_EQ(questions.Told, std::vector<std::string>{"Kestrel: Save Image|Format not Supported"});
  }
  TBitmap empty;
  questions.Told.clear();
  EXPECT_FALSE(saver.SaveAs(Path("empty.bmp"), empty, true));
  EXPECT_EQ(questions.Told,
            std::vector<std::string>{"Kestrel: Save Image|There is no picture to save"});
  EXPECT_TRUE(questions.AskedUses.empty());
  EXPECT_TRUE(Files().isEmpty()) << Files().join(", ").toStdString();
}

TEST_F(SaveAsTest, ACancelledOptionWindowWritesAndRemembersNothing) {
  const auto picture = TestPicture(8, 8, pf24bit);
  const TSaveSettings before = saver.Settings();
  for (const char* name : {"a.jpg", "b.bmp", "c.png", "d.tif"}) {
    EXPECT_FALSE(saver.SaveAs(Path(name), *picture, true)) << name;
  }
  EXPECT_EQ(questions.JpegAsked, 1);
  EXPECT_EQ(questions.AskedUses,
            (std::vector<TCompressUse>{TCompressUse::Bmp, TCompressUse::Png, TCompressUse::Tiff}));
  EXPECT_TRUE(questions.Told.empty()) << "cancelling is not a failure";
  EXPECT_TRUE(Files().isEmpty()) << Files().join(", ").toStdString();
  EXPECT_EQ(saver.Settings().TiffCompression, before.TiffCompression);
  EXPECT_EQ(saver.Settings().Png.Result, before.Png.Result);
  EXPECT_EQ(saver.Settings().Jpeg.Quality, before.Jpeg.Quality);
}

TEST_F(SaveAsTest, AnswersAreRememberedForSavesThatDoNotAsk) {
  const auto picture = TestPicture(20, 10, pf24bit);
  questions.Compression = {{tcZLib, kDepthCode24}};
  ASSERT_TRUE(saver.SaveAs(Path("asked.tif"), *picture, true));
  ASSERT_TRUE(saver.SaveAs(Path("again.tif"), *picture, false));
  for (const char* name : {"asked.tif", "again.tif"}) {
    TTiffGraphic tiff;
    tiff.LoadFromFile(Path(name));
    EXPECT_EQ(tiff.Compression(), tcZLib) << name;
  }
  EXPECT_EQ(questions.AskedUses.size(), 1u);

  questions.Jpeg = {{true, {40, true}}};
  ASSERT_TRUE(saver.SaveAs(Path("asked.jpg"), *picture, true));
  ASSERT_TRUE(saver.SaveAs(Path("again.jpg"), *picture, false));
  EXPECT_EQ(QFileInfo(dir.filePath("asked.jpg")).size(),
            QFileInfo(dir.filePath("again.jpg")).size());
  TSaveSettings fresh;
  TImageSaver plain(questions);
  ASSERT_TRUE(plain.SaveAs(Path("default.jpg"), *picture, false));
  EXPECT_GT(QFileInfo(dir.filePath("default.jpg")).size(),
            QFileInfo(dir.filePath("again.jpg")).size())
      << "quality " << fresh.Jpeg.Quality << " keeps more than quality 40";
  TPicture progressive;
  progressive.LoadFromFile(Path("again.jpg"));
  EXPECT_TRUE(static_cast<TJPEGImage*>(progressive.Graphic())->ProgressiveEncoding());
}

TEST_F(SaveAsTest, AWriterErrorIsToldAndLeavesTheOldFileAlone) {
  const std::string target = Path("keep.tga");
  {
    QFile old(QString::fromStdString(target));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the good file");
  }
  // Targa files take 8 and 24 bits only.
  EXPECT_FALSE(saver.SaveAs(target, *TestPicture(9, 9, pf4bit), false));
  ASSERT_EQ(questions.Told.size(), 1u);
  EXPECT_NE(questions.Told[0].find("TARGA image must be true color or 8 bit"), std::string::npos)
      << questions.Told[0];
  EXPECT_EQ(FileStart(target, 100), "the good file");
  // JPEG compression takes true colour: a 4-bit picture on an 8-bit screen cannot have it.
  questions.Told.clear();
  saver.Settings().TiffCompression = tcJpeg;
  qputenv("KESTREL_SCREEN_DEPTH", "8");
  EXPECT_FALSE(saver.SaveAs(Path("x.tif"), *TestPicture(9, 9, pf4bit), false));
  qunsetenv("KESTREL_SCREEN_DEPTH");
  ASSERT_EQ(questions.Told.size(), 1u);
  EXPECT_NE(questions.Told[0].find("JPEG compression not supported"), std::string::npos)
      << questions.Told[0];
  EXPECT_EQ(Files(), QStringList{"keep.tga"});
}

TEST_F(SaveAsTest, ANewFileReplacesTheOldOneWhole) {
  const std::string target = Path("photo.png");
  ASSERT_TRUE(saver.SaveAs(target, *TestPicture(30, 30, pf24bit), false));
  ASSERT_TRUE(saver.SaveAs(target, *TestPicture(5, 7, pf24bit), false));
  EXPECT_EQ(ReadBack(target)->Width(), 5);
  EXPECT_EQ(Files(), QStringList{"photo.png"}) << "no temporary file stays behind";
}

TEST(SaveAsFolder, AFolderThatCannotBeWrittenIsToldAndChangesNothing) {
  if (test::RerunUnprivileged()) return;
  QTemporaryDir dir;
  const QString target = dir.filePath("old.bmp");
  const auto old = TestPicture(3, 3, pf8bit);
  old->SaveToFile(target.toStdString());
  const std::string before = FileStart(target.toStdString(), 4096);
  ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
  test::TScriptedQuestions questions;
  TImageSaver saver(questions);
  EXPECT_FALSE(saver.SaveAs(target.toStdString(), *TestPicture(6, 6, pf24bit), false));
  ASSERT_EQ(questions.Told.size(), 1u);
  EXPECT_EQ(
      questions.Told[0].rfind("Kestrel: Save Image|Cannot save " + target.toStdString() + ": ", 0),
      0u)
      << questions.Told[0];
  EXPECT_EQ(FileStart(target.toStdString(), 4096), before);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.bmp"});
  QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
} // namespace kestrel
