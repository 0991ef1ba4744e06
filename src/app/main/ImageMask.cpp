#include "app/main/ImageMask.h"

#include "imaging/formats/FormatTable.h"
#include "platform/files/FileMask.h"

#include <QFileInfo>

namespace kestrel {

QStringList ViewerExtensions() {
  QStringList extensions;
  for (const std::string& extension : TableExtensions())
    extensions << QString::fromStdString(extension);
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
