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
  // Names match their whole extension here (no short names stand in for long ones), so every
  // spelling is listed, each once: a name matching two patterns would be listed twice.
  QStringList patterns;
  for (const QString& extension : extensions)
    if (const QString pattern = "*." + extension + ";"; !patterns.contains(pattern))
      patterns << pattern;
  return patterns.join(QString());
}

bool InImageMask(const QString& fileName, const QString& mask) {
  return TFileMask(mask).Matches(QFileInfo(fileName).fileName().toStdString()) > 0;
}

} // namespace kestrel
