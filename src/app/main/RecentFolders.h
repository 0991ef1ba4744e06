#pragma once
// The recent-folders list: up to 16 folders, newest first, kept in the "Recent Folders" section as
// "A" (the newest), "B", ...

#include <QStringList>

namespace kestrel {

class TRecentFolders {
public:
  static constexpr int kLimit = 16;

  const QStringList& Items() const { return Folders; }
  // Puts folder first, dropping an entry of exactly the same text, and the oldest past 16; then
  // rewrites the store in full.
  void Add(const QString& folder);
  // Rebuilds the list from the store: values that name an existing folder, in order. The others
  // stay stored until the next rewrite.
  void Load();

private:
  void Store() const;

  QStringList Folders;
};

} // namespace kestrel
