#pragma once
// The process's current folder and the listing of a folder's entries with their attributes.

#include "platform/files/Errors.h"

#include <QString>

#include <functional>
#include <string_view>
#include <vector>

namespace kestrel {

// File attribute bits, numbered as the file view's types are.
enum : quint32 {
  faReadOnly = 1,
  faHidden = 2,
  faSysFile = 4,
  faVolumeID = 8,
  faDirectory = 16,
  faArchive = 32,
};

struct TDirEntry {
  QString Name;
  quint32 Attributes = 0;
};

// Makes path the process's current folder; raises EInOutError with the system's reason.
void ChangeDirectory(const QString& path);
QString CurrentDirectory();

// Makes a folder: 0, or the system's error number (EEXIST when the name is taken).
int MakeFolder(const QString& path);
// Removes an empty folder: 0, or the system's error number (ENOTEMPTY when it holds anything).
int RemoveFolder(const QString& path);

// The entries of a folder ("." and ".." included) whose raw name accept takes (all when accept is
// empty). Hidden means a name starting with "."; archive marks every entry that is not a folder,
// since every ordinary file would carry it; read-only, which costs a look at each file, is found
// only when wanted. Raises EInOutError when the folder cannot be read.
std::vector<TDirEntry> ScanDirectory(const QString& path, bool wantReadOnly,
                                     const std::function<bool(std::string_view)>& accept = {});
// The same, handing each accepted entry's raw name and attributes to visit as it is read.
void VisitDirectory(const QString& path, bool wantReadOnly,
                    const std::function<bool(std::string_view)>& accept,
                    const std::function<void(std::string_view, quint32)>& visit);

} // namespace kestrel
