#include "browse/thumbs/ThumbCache.h"

#include "browse/index/IndexPicture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include <exception>

namespace kestrel {
namespace {

constexpr int kNormal = 128, kLarge = 256;

const char* FolderOf(int edge) {
  return edge == kNormal ? "normal" : "large";
}

int64_t ModificationTime(const QFileInfo& file) {
  return file.lastModified().toSecsSinceEpoch();
}

QColor QtColor(TColor color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

} // namespace

TThumbCache::TThumbCache(QString root) : root_(std::move(root)) {}

QString TThumbCache::DefaultRoot() {
  const QByteArray cache = qgetenv("XDG_CACHE_HOME");
  return (cache.isEmpty() ? QDir::homePath() + "/.cache" : QFile::decodeName(cache)) +
         "/thumbnails";
}

std::optional<int> TThumbCache::EdgeFor(int size) {
  if (size <= kNormal) return kNormal;
  if (size <= kLarge) return kLarge;
  return std::nullopt;
}

QByteArray TThumbCache::Uri(const QString& path) {
  return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
}

QString TThumbCache::ThumbnailPath(const QString& path, int edge) const {
  const QByteArray md5 = QCryptographicHash::hash(Uri(path), QCryptographicHash::Md5).toHex();
  return root_ + "/" + FolderOf(edge) + "/" + QString::fromLatin1(md5) + ".png";
}

std::unique_ptr<TBitmap> TThumbCache::Read(const QString& path, int64_t mtime, int edge,
                                           TColor background) const {
  QImageReader reader(ThumbnailPath(path, edge), "png");
  // Small enough to read whole before its keys are checked (the reader's own key list splits
  // names at their "::").
  const QSize size = reader.size();
  if (size.isEmpty() || size.width() > edge || size.height() > edge) return nullptr;
  const QImage image = reader.read();
  if (image.isNull() || image.text("Thumb::URI").toUtf8() != Uri(path) ||
      image.text("Thumb::MTime") != QString::number(mtime))
    return nullptr;
  QImage opaque;
  if (image.hasAlphaChannel()) {
    // Another program's thumbnail of a transparent picture: on the gallery's background.
    opaque = QImage(image.size(), QImage::Format_RGB888);
    opaque.fill(QtColor(background));
    QPainter(&opaque).drawImage(0, 0, image);
  } else {
    opaque = image.convertToFormat(QImage::Format_RGB888);
  }
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromImage(opaque);
  return bitmap;
}

bool TThumbCache::Write(const QString& path, int64_t mtime, int edge, const TBitmap& thumbnail,
                        TSize original) const {
  const QString target = ThumbnailPath(path, edge);
  const QString folder = QFileInfo(target).path();
  if (!QDir().mkpath(folder)) return false;
  QFile::setPermissions(root_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QImage image = thumbnail.Image().convertToFormat(QImage::Format_RGB888);
  image.setText("Thumb::URI", QString::fromUtf8(Uri(path)));
  image.setText("Thumb::MTime", QString::number(mtime));
  image.setText("Thumb::Image::Width", QString::number(original.Width));
  image.setText("Thumb::Image::Height", QString::number(original.Height));
  image.setText("Software", "Kestrel");
  // Made under a temporary name (readable by the user alone) and renamed into place, so no
  // reader ever sees half a file.
  QTemporaryFile file(target + ".XXXXXX");
  if (!file.open()) return false;
  QImageWriter writer(&file, "png");
  if (!writer.write(image) || !file.flush()) return false;
  file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  QFile::remove(target);
  if (!file.rename(target)) return false;
  file.setAutoRemove(false);
  return true;
}

TThumbTile MakeCachedThumbTile(const std::string& path, const TThumbReader& reader,
                               const TThumbOptions& options, const TThumbCache& cache) {
  const std::optional<int> edge = TThumbCache::EdgeFor(options.Size);
  const QString name = QFile::decodeName(path.c_str());
  const QFileInfo file(name);
  if (!edge || !file.isFile()) return MakeThumbTile(path, reader, options);
  const int64_t mtime = ModificationTime(file);
  // The cache's own files are never thumbnailed into it.
  if (file.absoluteFilePath().startsWith(cache.Root() + "/"))
    return MakeThumbTile(path, reader, options);
  if (const std::unique_ptr<TBitmap> cached = cache.Read(name, mtime, *edge, options.Background))
    return MakeThumbTile(*cached, options);

  TThumbTile failed;
  const std::unique_ptr<TGraphic> picture = ReadThumbPicture(path, reader, options, failed);
  if (!picture) return failed;
  const TSize original{picture->Width(), picture->Height()};
  // Small pictures are quick to read again; transparent ones would keep this gallery's
  // background in a thumbnail other programs show too.
  if (original.Width <= *edge && original.Height <= *edge) return MakeThumbTile(*picture, options);
  if (picture->Transparent()) return MakeThumbTile(*picture, options);
  TBitmap thumbnail;
  try {
    TBitmap source;
    if (PrepareIndexSource(*picture, *edge, options.Background, true, source) != 0)
      return MakeThumbTile(*picture, options);
    const TSize fit = ThumbFit(original.Width, original.Height, *edge);
    thumbnail.SetPixelFormat(pf24bit);
    thumbnail.SetSize(fit.Width, fit.Height);
    StretchThumb(source, thumbnail, true);
  } catch (const std::exception&) {
    return MakeThumbTile(*picture, options);
  }
  // The file may have changed while it was read: the thumbnail then stays unwritten or is made
  // again next time, since its time no longer matches.
  if (ModificationTime(QFileInfo(name)) == mtime)
    cache.Write(name, mtime, *edge, thumbnail, original);
  TThumbTile made = MakeThumbTile(thumbnail, options);
  made.Decoded = original;
  return made;
}

} // namespace kestrel
