#include "app/main/ImageMask.h"

#include "app/view/Sound.h"
#include "imaging/core/Picture.h"
#include "platform/files/FileMask.h"

#include <QFileInfo>

namespace kestrel {

QStringList ViewerExtensions() {
  RegisterViewerFormats();
  QStringList extensions;
  for (const TFileFormat& format : TPicture::FileFormats())
    extensions << QString::fromStdString(format.Extension);
  return extensions;
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
