// The shared thumbnail cache: written once per picture (private, with the URI and time that make
// it valid), read instead of the picture while both still match, made again when the file
// changes, and the tile the same either way.

#include "browse/thumbs/ThumbCache.h"

#include "browse/index/IndexTestSupport.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::ReadByRegistry;
using test::WriteFlatPicture;

class ThumbCache : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    Picture = Pictures.filePath("holiday photo.jpg");
    WriteFlatPicture(Picture, 1600, 1200, 0x3070B0);
  }
  TThumbTile Make(int size = 80) {
    const auto reader = [this](const std::string& path) {
      ++Reads;
      return ReadByRegistry(path);
    };
    return MakeCachedThumbTile(Picture.toStdString(), reader, {size, false, clBlack}, Cache);
  }
  QTemporaryDir Pictures, Root;
  TThumbCache Cache{Root.path()};
  QString Picture;
  int Reads = 0;
};

TEST_F(ThumbCache, AThumbnailIsWrittenOnceAndReadInsteadOfThePicture) {
  const TThumbTile first = Make();
  EXPECT_EQ(Reads, 1);
  const QString uri = "file://" + QFileInfo(Picture).absoluteFilePath().replace(" ", "%20");
  const QString md5 = QCryptographicHash::hash(uri.toUtf8(), QCryptographicHash::Md5).toHex();
  const QString stored = Root.path() + "/normal/" + md5 + ".png";
  ASSERT_EQ(Cache.ThumbnailPath(Picture, 128), stored);
  ASSERT_TRUE(QFile::exists(stored));
  const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                    QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
  EXPECT_EQ(QFile::permissions(stored) & others, QFile::Permissions());
  EXPECT_TRUE(QFile::permissions(stored) & QFile::WriteOwner);
  const QImage thumbnail(stored);
  EXPECT_EQ(thumbnail.text("Thumb::URI"), uri);
  EXPECT_EQ(thumbnail.text("Thumb::MTime"),
            QString::number(QFileInfo(Picture).lastModified().toSecsSinceEpoch()));
  EXPECT_EQ(thumbnail.size(), QSize(128, 96));
  EXPECT_EQ(QDir(Root.path() + "/normal").entryList(QDir::Files).size(), 1); // no leftovers

  const TThumbTile second = Make();
  EXPECT_EQ(Reads, 1); // from the cache
  ASSERT_TRUE(second.Tile);
  EXPECT_EQ(second.Placed, first.Placed);
  EXPECT_EQ(second.Placed, (TRect{0, 10, 80, 70}));
  const TThumbTile plain =
      MakeThumbTile(Picture.toStdString(), ReadByRegistry, {80, false, clBlack});
  for (const TPoint p : {TPoint{40, 40}, TPoint{40, 5}, TPoint{2, 12}})
    EXPECT_EQ(second.Tile->Canvas().Pixel(p.X, p.Y) >> 4 & 0x0F0F0F,
              plain.Tile->Canvas().Pixel(p.X, p.Y) >> 4 & 0x0F0F0F)
        << p.X << "," << p.Y;
}

TEST_F(ThumbCache, AChangedFileIsReadAgainAndItsThumbnailReplaced) {
  Make();
  WriteFlatPicture(Picture, 1200, 1600, 0x00FF00);
  QFile file(Picture);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                               QFileDevice::FileModificationTime));
  file.close();
  const TThumbTile changed = Make();
  EXPECT_EQ(Reads, 2);
  EXPECT_EQ(changed.Placed, (TRect{10, 0, 70, 80}));
  EXPECT_EQ(QImageReader(Cache.ThumbnailPath(Picture, 128)).size(), QSize(96, 128));
  Make();
  EXPECT_EQ(Reads, 2);
}

TEST_F(ThumbCache, ThumbnailsOfAnotherFileOrTooLargeAreNotTaken) {
  Make();
  // The same bytes under the name of another picture: its URI does not match.
  const QString other = Pictures.filePath("other.jpg");
  WriteFlatPicture(other, 1600, 1200, 0x3070B0);
  QDir().mkpath(Root.path() + "/normal");
  ASSERT_TRUE(QFile::copy(Cache.ThumbnailPath(Picture, 128), Cache.ThumbnailPath(other, 128)));
  const int64_t mtime = QFileInfo(other).lastModified().toSecsSinceEpoch();
  EXPECT_FALSE(Cache.Read(other, mtime, 128, clBlack));
  EXPECT_TRUE(
      Cache.Read(Picture, QFileInfo(Picture).lastModified().toSecsSinceEpoch(), 128, clBlack));
  // Tiles above 128 use the large thumbnails; above 256 none.
  EXPECT_EQ(TThumbCache::EdgeFor(128), 128);
  EXPECT_EQ(TThumbCache::EdgeFor(200), 256);
  EXPECT_FALSE(TThumbCache::EdgeFor(300));
  Make(200);
  EXPECT_EQ(QImageReader(Cache.ThumbnailPath(Picture, 256)).size(), QSize(256, 192));
}

TEST_F(ThumbCache, SmallPicturesAndFailuresLeaveTheCacheAlone) {
  const QString small = Pictures.filePath("icon.bmp");
  WriteFlatPicture(small, 100, 60, 0x102030);
  const TThumbTile tile =
      MakeCachedThumbTile(small.toStdString(), ReadByRegistry, {80, false, clBlack}, Cache);
  EXPECT_EQ(tile.Code, tcNone);
  const QString text = Pictures.filePath("letter.jpg");
  test::WriteFile(text, "not a picture");
  const TThumbTile failed =
      MakeCachedThumbTile(text.toStdString(), ReadByRegistry, {80, false, clBlack}, Cache);
  EXPECT_EQ(failed.Code, tcNoPicture);
  EXPECT_FALSE(QDir(Root.path() + "/normal").exists() && !QDir(Root.path() + "/normal").isEmpty());
}

} // namespace
} // namespace kestrel
