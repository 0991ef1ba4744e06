#pragma once
// kestrel-tool thumbs: one thumbnail per picture of a folder, made by the gallery's own worker.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace kestrel {

class TBitmap;

struct TThumbsOptions {
  std::optional<int> Size; // the tile edge, 80 when not given
  bool HiFi = false;
  std::optional<int> Threads;        // decoding threads; the worker's own choice when not given
  std::optional<std::string> Format; // extension of the files written, "png" when not given
  bool SharedCache = false;          // read and fill the desktop's shared thumbnail cache
  bool Any() const { return Size || HiFi || Threads || Format || SharedCache; }
};

// Takes option into options when it is one of thumbs', asking value for the word after it; false
// when it is not. A bad value raises TUsageError.
bool ParseThumbsOption(const std::string& option, const std::function<const std::string&()>& value,
                       TThumbsOptions& options);

// The extension the thumbnails are written with.
std::string ThumbsFormat(const TThumbsOptions& options);

// Makes the tile of every picture of folder, in name order, and hands each to save with the path
// to write ("t" + the picture's name without its extension + the format's extension, in outdir);
// save returns an exit code. Pictures that gave an error tile are named on err and not written.
// Returns 0 when every picture was written.
int MakeFolderThumbnails(
    const std::string& folder, const std::string& outdir, const TThumbsOptions& options,
    const std::function<int(const TBitmap& tile, const std::string& path)>& save, std::ostream& out,
    std::ostream& err);

} // namespace kestrel
