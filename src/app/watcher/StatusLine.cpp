#include "app/watcher/StatusLine.h"

namespace kestrel {

QString StatusLineText(const TPictureFacts& picture, std::optional<qint64> fileSize, int files) {
  QString text;
  if (picture.Valid())
    text = QString::number(picture.Width) + " x " + QString::number(picture.Height) +
           picture.PixelFormat;
  if (fileSize) text += " " + SizeText(0, *fileSize);
  return text + "  " + QString::number(files) + " Files";
}

} // namespace kestrel
