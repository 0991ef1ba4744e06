#pragma once
// The desktop's shared thumbnail cache, which file managers use too: $XDG_CACHE_HOME/thumbnails/
// "normal" holds thumbnails of at most 128 x 128 pixels, "large" of at most 256 x 256, each a PNG
// file named by the MD5 sum of the picture's URI and carrying "Thumb::URI" and "Thumb::MTime" (the
// file's modification time in whole seconds). A thumbnail counts only while both still match the
// file; a changed file is made again.
//
// The gallery reads a valid thumbnail instead of decoding the picture when its tile size fits one
// of the two sizes, and writes what it decoded: atomically (a temporary file renamed into place)
// and readable by the user alone. Its tile is then made from the cached picture, so the gallery
// looks the same whether the cache was used or not. Safe on any thread.

#include "browse/thumbs/ThumbTile.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace kestrel {

class TThumbCache {
public:
  // The cache below root (its "normal" and "large" folders); by default the desktop's own.
  explicit TThumbCache(QString root = DefaultRoot());
  static QString DefaultRoot();
  const QString& Root() const { return root_; }

  // The edge of the cache's thumbnails for tiles of size (128 or 256), or nothing when none fits.
  static std::optional<int> EdgeFor(int size);
  // The file's URI and the cache file of its thumbnail of that edge.
  static QByteArray Uri(const QString& path);
  QString ThumbnailPath(const QString& path, int edge) const;

  // The valid thumbnail of path (modified at mtime) of that edge, transparent parts on background,
  // or null.
  std::unique_ptr<TBitmap> Read(const QString& path, int64_t mtime, int edge,
                                TColor background) const;
  // Stores thumbnail as the thumbnail of path; whether it was written.
  bool Write(const QString& path, int64_t mtime, int edge, const TBitmap& thumbnail,
             TSize original) const;

private:
  QString root_;
};

// A tile made through the cache: a valid thumbnail gives the tile without decoding the file; else
// the file is read, its thumbnail stored, and the tile made from that thumbnail. Without a size
// that fits the cache, as MakeThumbTile.
TThumbTile MakeCachedThumbTile(const std::string& path, const TThumbReader& reader,
                               const TThumbOptions& options, const TThumbCache& cache);

} // namespace kestrel
