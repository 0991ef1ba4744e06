#include "browse/find/NameIcons.h"

#include <QFileInfo>

namespace kestrel {

QIcon TNameIcons::File(const QString& name) {
  const QString extension = QFileInfo(name).suffix().toLower();
  const auto known = ByExtension.constFind(extension);
  if (known != ByExtension.constEnd()) return *known;
  const QMimeType type = Types.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
  QIcon icon = QIcon::fromTheme(type.iconName());
  if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
  if (icon.isNull()) icon = Provider.icon(QFileIconProvider::File);
  ByExtension.insert(extension, icon);
  return icon;
}

} // namespace kestrel
