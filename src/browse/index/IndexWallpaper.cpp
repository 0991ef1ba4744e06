#include "browse/index/IndexWallpaper.h"

#include "imaging/core/Clipboard.h"
#include "imaging/gif/GIFImage.h"

#include <exception>

namespace kestrel {

std::shared_ptr<const TBitmap> ReadClipboardWallpaper() {
  TClipboard& clipboard = TClipboard::Instance();
  auto bitmap = std::make_shared<TBitmap>();
  try {
    const TClipboardFormat gifFormat = TGIFImage::ClipboardFormat();
    if (clipboard.HasFormat(gifFormat)) {
      TGIFImage gif;
      gif.LoadFromClipboardFormat(gifFormat, clipboard.GetAsHandle(gifFormat), {});
      bitmap->Assign(&gif);
    } else if (clipboard.HasFormat(CF_BITMAP)) {
      bitmap->LoadFromClipboardFormat(CF_BITMAP, clipboard.GetAsHandle(CF_BITMAP), {});
    }
  } catch (const std::exception&) {
    return nullptr;
  }
  if (bitmap->Empty()) return nullptr;
  return bitmap;
}

} // namespace kestrel
