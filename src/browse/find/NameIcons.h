#pragma once
// Icons of files, folders and drives by name alone: the desktop's icon for the name's file type
// (never read from the file), else the generic icons of the icon provider. One icon per
// extension is kept.

#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>

namespace kestrel {

class TNameIcons {
public:
  QIcon File(const QString& name);
  QIcon Folder() const { return Provider.icon(QFileIconProvider::Folder); }
  QIcon Drive() const { return Provider.icon(QFileIconProvider::Drive); }

private:
  QFileIconProvider Provider;
  QMimeDatabase Types;
  QHash<QString, QIcon> ByExtension;
};

} // namespace kestrel
