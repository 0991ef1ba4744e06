#pragma once
// The texts under and beside the file view: the status line and the sizes it shows.

#include <QString>

#include <optional>

namespace kestrel {

// A byte count as text: the prefix of kind (0 none, 1 "Size: ", 2 "Space Free: ", 3 "Memory Size
// of Image: ", any other "Size:"), the value with up to two decimals in " Bytes", " KB" or " MB".
// A value of 0 gives an empty text.
QString SizeText(int kind, qint64 value);

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
