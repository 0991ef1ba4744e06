#pragma once
// One tile of the thumbnail gallery: a picture reduced to fit a square of S x S pixels, centred on
// the program's background colour. Large pictures are reduced cheaply first (a JPEG decoded at
// 1/2, 1/4 or 1/8, then 2 x 2 halving while more than twice S high), so that the last stretch
// works on at most about 2S x 2S pixels. A file that gives no picture gets an error tile: the
// code written in white on red (the type was known but the picture is empty or broken) or on
// green (the file could not be read at all).

#include "imaging/core/Bitmap.h"

#include <functional>
#include <memory>
#include <string>

namespace kestrel {

// Codes of one item.
enum TThumbCode : int {
  tcNone = 0,
  tcSourceFailed = 14, // the picture could not be copied into the source bitmap
  tcStretchFailed = 19,
  tcNoSize = 20,
  tcNotPicture = 21, // unknown type or a sound: no tile at all
  tcNoPicture = 22   // unreadable, or a picture without width or height
};

constexpr TColor kErrorRed = 0x0000FF;
constexpr TColor kErrorGreen = 0x008000;

// Reads a picture file on any thread: null for a file that holds no picture (a sound, an unknown
// type); raises when the file cannot be read.
using TThumbReader = std::function<std::unique_ptr<TGraphic>(const std::string& path)>;

struct TThumbOptions {
  int Size = 80;     // S
  bool HiFi = false; // Lanczos3 resampling instead of dropping rows and columns
  TColor Background = clBlack;
};

// The picture's size fitted into S x S, keeping its proportions (each side at least 1).
TSize ThumbFit(int width, int height, int size);

// What making one tile gave, with the sizes along the way (for checking the reductions).
struct TThumbTile {
  int Code = tcNone;
  std::shared_ptr<TBitmap> Tile; // S x S, 24 bits; null for tcNotPicture
  TSize Decoded;                 // the picture as decoded (a JPEG at its decoding scale)
  TSize Reduced;                 // after halving, what the last stretch started from
  TRect Placed;                  // where the picture lies in the tile
};

// Reads path for a tile, once more after a failure: the picture, or null with failed holding what
// the item gives instead (the green error tile, or no tile for a file without a picture).
std::unique_ptr<TGraphic> ReadThumbPicture(const std::string& path, const TThumbReader& reader,
                                           const TThumbOptions& options, TThumbTile& failed);

// target (of its size) becomes source stretched: with the Lanczos3 filter when hiFi and the
// target is at least 2 x 2, else by dropping rows and columns.
void StretchThumb(TBitmap& source, TBitmap& target, bool hiFi);

// Reads path and makes its tile: two reading attempts, then the error tile when both fail or the
// picture is empty.
TThumbTile MakeThumbTile(const std::string& path, const TThumbReader& reader,
                         const TThumbOptions& options);

// Makes the tile of a picture already read; a failure gives the error tile with its code.
TThumbTile MakeThumbTile(TGraphic& picture, const TThumbOptions& options);

// The error tile: S x S, red when the picture's type was recognised, else green, with
// "ERROR:" and the code centred in white.
std::shared_ptr<TBitmap> ErrorTile(int size, int code, bool recognised);

} // namespace kestrel
