#include "browse/thumbs/ThumbTile.h"

#include "browse/index/IndexPicture.h"
#include "imaging/jpeg/JpegImage.h"
#include "processing/resample/FilteredStretch.h"

#include <algorithm>
#include <exception>

namespace kestrel {
namespace {

bool HasSize(const TGraphic& picture) {
  return !picture.Empty() && picture.Width() > 0 && picture.Height() > 0;
}

std::shared_ptr<TBitmap> BlankTile(int size, TColor color) {
  auto tile = std::make_shared<TBitmap>();
  tile->SetPixelFormat(pf24bit);
  tile->SetSize(size, size);
  tile->Canvas().Brush.Color = color;
  tile->Canvas().Brush.Style = bsSolid;
  tile->Canvas().FillRect({0, 0, size, size});
  return tile;
}

// The reduced source into its place on the tile.
void StretchIntoTile(TBitmap& source, const TRect& place, bool hiFi, TBitmap& tile) {
  if (!hiFi) {
    tile.Canvas().StretchMode = smDeleteScans;
    tile.Canvas().StretchDraw(place, source);
    return;
  }
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(place.Width(), place.Height());
  StretchThumb(source, target, hiFi);
  tile.Canvas().Draw(place.Left, place.Top, target);
}

} // namespace

void StretchThumb(TBitmap& source, TBitmap& target, bool hiFi) {
  // The filter needs 2 x 2 at least; a one-pixel line is stretched plainly.
  if (hiFi && target.Width() >= 2 && target.Height() >= 2) {
    FilteredStretch(source, target, TResampleFilter::Lanczos3, 1);
  } else {
    target.Canvas().StretchMode = smDeleteScans;
    target.Canvas().StretchDraw({0, 0, target.Width(), target.Height()}, source);
  }
}

TSize ThumbFit(int width, int height, int size) {
  if (height > width)
    return {std::max(1, static_cast<int>(static_cast<int64_t>(size) * width / height)), size};
  return {size, std::max(1, static_cast<int>(static_cast<int64_t>(size) * height / width))};
}

std::shared_ptr<TBitmap> ErrorTile(int size, int code, bool recognised) {
  auto tile = BlankTile(size, recognised ? kErrorRed : kErrorGreen);
  TCanvas& canvas = tile->Canvas();
  canvas.Font.Name = "Small Fonts";
  canvas.Font.Size = 7;
  canvas.Font.Color = clWhite;
  canvas.Brush.Style = bsClear;
  const std::string text = "ERROR:" + std::to_string(code);
  const TSize extent = canvas.TextExtent(text);
  canvas.TextOut((size - extent.Width) / 2, (size - extent.Height) / 2, text);
  return tile;
}

TThumbTile MakeThumbTile(TGraphic& picture, const TThumbOptions& options) {
  TThumbTile made;
  const int size = options.Size;
  if (!HasSize(picture)) {
    made.Code = tcNoPicture;
    made.Tile = ErrorTile(size, made.Code, true);
    return made;
  }
  const TSize fit = ThumbFit(picture.Width(), picture.Height(), size);
  made.Placed = {(size - fit.Width) / 2, (size - fit.Height) / 2, 0, 0};
  made.Placed.Right = made.Placed.Left + fit.Width;
  made.Placed.Bottom = made.Placed.Top + fit.Height;
  TBitmap source;
  int code = tcSourceFailed;
  try {
    code = PrepareIndexSource(picture, size, options.Background, true, source) == 0
               ? tcNone
               : tcSourceFailed;
  } catch (const std::exception&) {
  }
  if (code == tcNone) {
    made.Decoded = {picture.Width(), picture.Height()};
    made.Reduced = {source.Width(), source.Height()};
    try {
      made.Tile = BlankTile(size, options.Background);
      StretchIntoTile(source, made.Placed, options.HiFi, *made.Tile);
    } catch (const std::exception&) {
      code = tcStretchFailed;
    }
  }
  if (code != tcNone) {
    // Never the previous picture's pixels: a failed step shows as its error tile.
    made.Code = code;
    made.Tile = ErrorTile(size, code, true);
  }
  return made;
}

std::unique_ptr<TGraphic> ReadThumbPicture(const std::string& path, const TThumbReader& reader,
                                           const TThumbOptions& options, TThumbTile& failed) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      std::unique_ptr<TGraphic> picture = reader(path);
      if (!picture) failed.Code = tcNotPicture;
      return picture;
    } catch (const std::exception&) {
    }
  }
  failed.Code = tcNoPicture;
  failed.Tile = ErrorTile(options.Size, failed.Code, false);
  return nullptr;
}

TThumbTile MakeThumbTile(const std::string& path, const TThumbReader& reader,
                         const TThumbOptions& options) {
  TThumbTile failed;
  const std::unique_ptr<TGraphic> picture = ReadThumbPicture(path, reader, options, failed);
  return picture ? MakeThumbTile(*picture, options) : failed;
}

} // namespace kestrel
