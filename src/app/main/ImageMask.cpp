#include "app/main/ImageMask.h"

#include "platform/files/FileMask.h"

#include <QFileInfo>

namespace kestrel {

QStringList ViewerExtensions() {
  return {"bmp",  "ico", "emf", "wmf", "jpg", "jpeg", "gif", "png", "tif",
          "tiff", "vst", "tga", "afi", "pcc", "pcx",  "dcx", "jpe", "wav"};
}

QString ImageMask(const QStringList& extensions) {
  QString mask;
  for (const QString& extension : extensions)
    mask += "*." + extension + ";";
  return mask.remove("*.tiff;").remove("*.jpeg;");
}

bool InImageMask(const QString& fileName, const QString& mask) {
  return TFileMask(mask).Matches(QFileInfo(fileName).fileName().toStdString()) > 0;
}

} // namespace kestrel
