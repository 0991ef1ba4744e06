#include "browse/index/IndexPicture.h"

#include "browse/index/IndexCodes.h"

#include "imaging/gif/GIFImage.h"
#include "processing/resample/FilteredStretch.h"
#include "processing/resample/Halving.h"

#include <exception>
#include <functional>

namespace kestrel {
namespace {

// Runs step, once more when it fails; whether either run succeeded.
bool Twice(const std::function<void()>& step) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      step();
      return true;
    } catch (const std::exception&) {
    }
  }
  return false;
}

// Pictures whose pixels can be taken as they are; the rest are drawn on the background.
bool CopiedWhole(TGraphic& picture) {
  if (dynamic_cast<TJPEGImage*>(&picture)) return true;
  if (auto* gif = dynamic_cast<TGIFImage*>(&picture))
    return gif->FrameCount() == 1 && !gif->HasTransparentFrames();
  if (auto* bitmap = dynamic_cast<TBitmap*>(&picture)) return bitmap->BitsPerPixel() > 1;
  return false;
}

} // namespace

TJPEGScale IndexJpegScale(int pictureHeight, int rectHeight) {
  const double ratio = static_cast<double>(pictureHeight) / rectHeight;
  if (ratio > 8) return jsEighth;
  if (ratio > 4) return jsQuarter;
  if (ratio > 2) return jsHalf;
  return jsFullSize;
}

void HalveBitmap(TBitmap& bitmap) {
  TBitmap half;
  HalveBitmap(bitmap, half);
  bitmap.Assign(&half);
}

int PrepareIndexSource(TGraphic& picture, int rectHeight, TColor background, bool quick,
                       TBitmap& source) {
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(&picture)) {
    jpeg->SetPixelFormat(jf24Bit);
    jpeg->SetPerformance(quick ? jpBestSpeed : jpBestQuality);
    jpeg->SetScale(IndexJpegScale(jpeg->ImageHeight(), rectHeight));
  }
  auto* bitmap = dynamic_cast<TBitmap*>(&picture);
  if (bitmap && CopiedWhole(picture)) {
    // A large bitmap is halved on the way, never copied whole first.
    if (!Twice([&] { HalveWhileAbove(*bitmap, source, 2 * rectHeight); })) return icSourceAssign;
    return 0;
  }
  if (CopiedWhole(picture)) {
    if (!Twice([&] {
          if (auto* jpeg = dynamic_cast<TJPEGImage*>(&picture))
            source.Assign(&jpeg->Bitmap());
          else
            source.Assign(&picture);
        }))
      return icSourceAssign;
  } else if (!Twice([&] {
               source.Assign(nullptr);
               source.SetPixelFormat(pf24bit);
               source.Canvas().Brush.Color = background;
               source.Canvas().Brush.Style = bsSolid;
               source.SetSize(picture.Width(), picture.Height());
               source.Canvas().FillRect({0, 0, picture.Width(), picture.Height()});
               source.Canvas().Draw(0, 0, picture);
             })) {
    return icSourceDraw;
  }
  try {
    if (source.Height() > 2 * rectHeight) {
      TBitmap halved;
      HalveWhileAbove(source, halved, 2 * rectHeight);
      source.Assign(&halved);
    }
  } catch (const std::exception&) {
    return icSourceScale;
  }
  return 0;
}

void StretchIndexCell(const TBitmap& source, TBitmap& cell, TSize size, bool quick) {
  cell.SetSize(size.Width, size.Height);
  FilteredStretch(source, cell, quick ? TResampleFilter::Triangle : TResampleFilter::Lanczos3, 1);
}

} // namespace kestrel
