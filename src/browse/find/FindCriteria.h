#pragma once
// What a search looks for and what it finds, shared by the walk, the find window and
// kestrel-tool find.

#include "browse/find/FindPattern.h"

#include <QtGlobal>

#include <limits>
#include <optional>
#include <string>

namespace kestrel {

enum class TFindKind {
  Files,             // every entry whose name matches, file or folder
  Folders,           // folder entries only
  FoldersContaining, // the folder that holds a matching entry, once
  FilesOnly          // entries that are not folders (duplicates of files)
};

// Inclusive bounds in bytes.
struct TSizeBounds {
  qint64 Minimum = 0;
  qint64 Maximum = std::numeric_limits<qint64>::max();
  bool Contains(qint64 size) const { return size >= Minimum && size <= Maximum; }
};

struct TFindCriteria {
  QString Pattern;
  TFindKind Kind = TFindKind::Files;
  std::optional<TSizeBounds> Size; // the size filter, when active: folders count 0
  int Limit = 0;                   // the walk stops at this many hits; 0: no limit
};

// One row of the results. Names are the file system's raw bytes.
struct TFindHit {
  std::string Name;
  std::string Folder; // the folder holding it, without a trailing "/" ("/" for the root)
  qint64 Size = 0;    // a file's size; for a folder, the sum of the files directly inside it
  bool IsFolder = false;

  std::string Path() const { return Folder.ends_with('/') ? Folder + Name : Folder + '/' + Name; }
};

} // namespace kestrel
