#include "app/clipboard/PictureClipboard.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Clipboard.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Stream.h"
#include "imaging/gif/GIFImage.h"

namespace kestrel {
namespace {

// Another program's picture, read from its file bytes by the reader of their type.
std::unique_ptr<TGraphic> ReadOffered(const TClipboardData& data) {
  const auto format = TPicture::FindFileFormat(data.Extension);
  if (!format) throw EInvalidGraphic("No reader for ." + data.Extension);
  std::unique_ptr<TGraphic> graphic = format->Create();
  TSpanStream stream(data.Bytes.data(), data.Bytes.size());
  graphic->LoadFromStream(stream);
  return graphic;
}

std::unique_ptr<TBitmap> PastedBitmap(TColor background) {
  TClipboard& clipboard = TClipboard::Instance();
  if (clipboard.HasFormat(CF_BITMAP)) {
    const TClipboardData data = clipboard.GetAsHandle(CF_BITMAP);
    if (data.Bitmap && !data.Bitmap->Empty()) return BitmapOfDepth(*data.Bitmap, background);
    if (data.Bytes.empty()) throw EInvalidGraphic("The clipboard's bitmap is empty or too large");
    return BitmapOfDepth(*ReadOffered(data), background);
  }
  const TClipboardData data = clipboard.GetAsHandle(TGIFImage::ClipboardFormat());
  TGIFImage gif;
  gif.LoadFromClipboardFormat(TGIFImage::ClipboardFormat(), data, TPalette());
  return BitmapOfDepth(gif, background);
}

} // namespace

void CopyPicture(const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  TClipboard& clipboard = TClipboard::Instance();
  const TClipboardSession session(clipboard);
  clipboard.Assign(&bitmap);
}

TPasted PastePicture(TColor background) {
  TPasted pasted;
  const TClipboard& clipboard = TClipboard::Instance();
  if (!clipboard.HasFormat(CF_BITMAP) && !clipboard.HasFormat(TGIFImage::ClipboardFormat()))
    return pasted;
  try {
    pasted.Bitmap = PastedBitmap(background);
    pasted.Outcome = TPasted::TOutcome::Picture;
  } catch (const std::exception& error) {
    pasted.Bitmap.reset();
    pasted.Outcome = TPasted::TOutcome::Failed;
    pasted.Reason = QString::fromStdString(error.what());
  }
  return pasted;
}

std::unique_ptr<TBitmap> BitmapOfDepth(TGraphic& graphic, TColor background) {
  if (graphic.Empty() || graphic.Width() <= 0 || graphic.Height() <= 0)
    throw EInvalidGraphic("The picture is empty");
  auto bitmap = std::make_unique<TBitmap>();
  if (const auto* same = dynamic_cast<const TBitmap*>(&graphic)) {
    // A bitmap already has its depth: the copy is exact.
    bitmap->Assign(same);
    return bitmap;
  }
  bitmap->SetPixelFormat(PixelFormatOfDepth(graphic.Info().BitsPerPixel));
  bitmap->SetPalette(graphic.Palette());
  bitmap->Canvas().Brush.Color = background;
  bitmap->SetSize(graphic.Width(), graphic.Height());
  bitmap->Canvas().FillRect({0, 0, graphic.Width(), graphic.Height()});
  bitmap->Canvas().Draw(0, 0, graphic);
  return bitmap;
}

} // namespace kestrel
