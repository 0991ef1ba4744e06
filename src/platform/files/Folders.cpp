#include "platform/files/Folders.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {
namespace {

[[noreturn]] void RaiseFor(const QString& action, const QString& path, int error) {
  throw EInOutError(action + " " + path + ": " + QString::fromLocal8Bit(std::strerror(error)),
                    error);
}

bool IsFolder(int folder, const dirent* entry) {
  if (entry->d_type == DT_DIR) return true;
  if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return false;
  struct stat status;
  return ::fstatat(folder, entry->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

quint32 AttributesOf(int folder, const dirent* entry, bool wantReadOnly) {
  const std::string_view name = entry->d_name;
  quint32 attributes = IsFolder(folder, entry) ? faDirectory : faArchive;
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= faHidden;
  if (wantReadOnly && ::faccessat(folder, entry->d_name, W_OK, 0) != 0 && errno == EACCES)
    attributes |= faReadOnly;
  return attributes;
}

} // namespace

void ChangeDirectory(const QString& path) {
  if (::chdir(QFile::encodeName(path).constData()) != 0)
    RaiseFor("Cannot open folder", path, errno);
}

QString CurrentDirectory() {
  return QDir::currentPath();
}

int MakeFolder(const QString& path) {
  return ::mkdir(QFile::encodeName(path).constData(), 0777) == 0 ? 0 : errno;
}

int RemoveFolder(const QString& path) {
  return ::rmdir(QFile::encodeName(path).constData()) == 0 ? 0 : errno;
}

void VisitDirectory(const QString& path, bool wantReadOnly,
                    const std::function<bool(std::string_view)>& accept,
                    const std::function<void(std::string_view, quint32)>& visit) {
  DIR* folder = ::opendir(QFile::encodeName(path).constData());
  if (!folder) RaiseFor("Cannot read folder", path, errno);
  const int handle = ::dirfd(folder);
  errno = 0;
  while (const dirent* entry = ::readdir(folder)) {
    if (!accept || accept(entry->d_name))
      visit(entry->d_name, AttributesOf(handle, entry, wantReadOnly));
    errno = 0;
  }
  const int error = errno;
  ::closedir(folder);
  if (error != 0) RaiseFor("Cannot read folder", path, error);
}

std::vector<TDirEntry> ScanDirectory(const QString& path, bool wantReadOnly,
                                     const std::function<bool(std::string_view)>& accept) {
  std::vector<TDirEntry> entries;
  VisitDirectory(path, wantReadOnly, accept, [&](std::string_view name, quint32 attributes) {
    entries.push_back(
        {QFile::decodeName(QByteArray(name.data(), qsizetype(name.size()))), attributes});
  });
  return entries;
}

} // namespace kestrel
