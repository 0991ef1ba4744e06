#pragma once
// The texts under and beside the file view: the status line and the sizes it shows.

#include "platform/text/SizeText.h"

#include <QString>

#include <optional>

namespace kestrel {

// What the status line tells of the shown picture.
struct TPictureFacts {
  int Width = 0;
  int Height = 0;
  QString PixelFormat; // " ( 24 bits/pixel )", or empty
  bool Valid() const { return Width > 0 && Height > 0; }
};

// "width x height" and the pixel-format text for a valid picture, a space and the size of its file
// when the file exists, then two spaces and "N Files".
QString StatusLineText(const TPictureFacts& picture, std::optional<qint64> fileSize, int files);

} // namespace kestrel
