#pragma once
// The clipboard's picture as an index page's wallpaper. Read on the user-interface thread (the
// clipboard lives there) before a run starts.

#include "imaging/core/Bitmap.h"

#include <memory>

namespace kestrel {

// A GIF put on the clipboard in its own format first, else a bitmap, with the clipboard's
// palette; null when the clipboard holds no picture.
std::shared_ptr<const TBitmap> ReadClipboardWallpaper();

} // namespace kestrel
