#include "browse/find/FindWalk.h"

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {
namespace {

constexpr int kReadFolder = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

std::string Joined(const std::string& folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path += folder;
  if (!folder.ends_with('/')) path += '/';
  path += name;
  return path;
}

// Opens the folder at path for reading; a link as its last part is followed only when asked.
// A path too long for the system to open at once is opened in pieces below that limit.
int OpenFolder(const std::string& path, bool followLink) {
  const int flags = kReadFolder | (followLink ? 0 : O_NOFOLLOW);
  int base = AT_FDCWD;
  size_t at = 0;
  while (path.size() - at >= PATH_MAX) {
    const size_t cut = path.rfind('/', at + PATH_MAX - 2);
    const int next =
        cut == std::string::npos || cut < at
            ? -1
            : ::openat(base, path.substr(at, std::max<size_t>(cut - at, 1)).c_str(), kReadFolder);
    if (base != AT_FDCWD) ::close(base);
    if (next < 0) return -1;
    base = next;
    at = cut + 1;
  }
  const int folder = ::openat(base, path.c_str() + at, flags);
  if (base != AT_FDCWD) ::close(base);
  return folder;
}

bool IsFolderEntry(int folder, const dirent* entry) {
  if (entry->d_type != DT_UNKNOWN) return entry->d_type == DT_DIR;
  struct stat status;
  return ::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISDIR(status.st_mode);
}

// A file's size; a link counts as what it points to, anything but a file as 0. Nothing when the
// entry has gone.
std::optional<qint64> EntrySize(int folder, const char* name) {
  struct stat status;
  if (::fstatat(folder, name, &status, 0) != 0 &&
      ::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
    return std::nullopt;
  return S_ISREG(status.st_mode) ? qint64(status.st_size) : 0;
}

std::string NameOf(const std::string& folder) {
  return folder.substr(folder.rfind('/') + 1);
}

std::string ParentOf(const std::string& folder) {
  const size_t slash = folder.rfind('/');
  return slash == 0 || slash == std::string::npos ? std::string("/") : folder.substr(0, slash);
}

} // namespace

// The folder being read.
struct TFindWalk::TFolderScan {
  const std::string& Folder;
  int Handle;
  bool Listed = false; // "folders containing": this folder has its row
};

// A folder of a great many files is cut short by a stop like the walk itself.
qint64 TFindWalk::ContentsSize(int parent, const char* name) const {
  const int handle = ::openat(parent, name, kReadFolder | O_NOFOLLOW);
  if (handle < 0) return 0;
  DIR* folder = ::fdopendir(handle);
  if (!folder) {
    ::close(handle);
    return 0;
  }
  qint64 sum = 0;
  while (const dirent* entry = Stopped() ? nullptr : ::readdir(folder)) {
    struct stat status;
    if (entry->d_type != DT_DIR &&
        ::fstatat(handle, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(status.st_mode))
      sum += status.st_size;
  }
  ::closedir(folder);
  return sum;
}

TFindWalk::TFindWalk(const TFindCriteria& criteria, std::atomic<bool>& stop, THitSink found)
    : Criteria(criteria), Pattern(criteria.Pattern), Stop(stop), Found(std::move(found)) {}

bool TFindWalk::Walk(const std::string& root) {
  std::string start = root;
  while (start.size() > 1 && start.ends_with('/'))
    start.pop_back();
  struct stat status;
  if (::stat(start.c_str(), &status) != 0) return !Stopped();
  Device = status.st_dev;
  Entered.clear();
  // A stack of the folders still to read; each folder's sub-folders go on top in reverse, so
  // they are read in the order the listing gave them.
  std::vector<std::string> pending{start};
  bool isRoot = true;
  while (!pending.empty() && !Stopped()) {
    const std::string folder = std::move(pending.back());
    pending.pop_back();
    const size_t children = pending.size();
    ReadFolder(folder, isRoot, pending);
    std::reverse(pending.begin() + std::ptrdiff_t(children), pending.end());
    isRoot = false;
  }
  return !Stopped();
}

void TFindWalk::ReadFolder(const std::string& folder, bool isRoot,
                           std::vector<std::string>& pending) {
  const int handle = OpenFolder(folder, isRoot);
  if (handle < 0) return;
  struct stat status;
  DIR* listing = nullptr;
  if (::fstat(handle, &status) == 0 && status.st_dev == Device &&
      Entered.insert(status.st_ino).second)
    listing = ::fdopendir(handle);
  if (!listing) {
    ::close(handle);
    return;
  }
  TFolderScan scan{folder, handle};
  while (!Stopped()) {
    const dirent* entry = ::readdir(listing);
    if (!entry) break;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    const bool isFolder = IsFolderEntry(handle, entry);
    if (isFolder) pending.push_back(Joined(folder, name));
    Examine(scan, name, isFolder);
  }
  ::closedir(listing);
  if (FolderRead) FolderRead();
}

void TFindWalk::Examine(TFolderScan& scan, std::string_view name, bool isFolder) {
  if (Criteria.Kind == TFindKind::Folders && !isFolder) return;
  if (Criteria.Kind == TFindKind::FilesOnly && isFolder) return;
  if (!Pattern.Matches(name)) return;
  if (Criteria.Kind == TFindKind::FoldersContaining) {
    if (!scan.Listed) ListContainer(scan);
    return;
  }
  // A folder's size passes the filter as 0.
  if (isFolder && Criteria.Size && !Criteria.Size->Contains(0)) return;
  const std::string entry(name);
  const std::optional<qint64> size =
      isFolder ? ContentsSize(scan.Handle, entry.c_str()) : EntrySize(scan.Handle, entry.c_str());
  if (!size || (!isFolder && Criteria.Size && !Criteria.Size->Contains(*size))) return;
  Add({entry, scan.Folder, *size, isFolder});
}

// A volume's root is never listed: it has no folder to be listed in.
void TFindWalk::ListContainer(TFolderScan& scan) {
  scan.Listed = true;
  struct stat self, parent;
  if (::fstat(scan.Handle, &self) != 0 || ::fstatat(scan.Handle, "..", &parent, 0) != 0 ||
      parent.st_dev != self.st_dev || parent.st_ino == self.st_ino)
    return;
  Add({NameOf(scan.Folder), ParentOf(scan.Folder), ContentsSize(scan.Handle, "."), true});
}

void TFindWalk::Add(TFindHit&& hit) {
  Found(std::move(hit));
  if (++Count == Criteria.Limit) {
    AtLimit = true;
    Stop.store(true);
  }
}

} // namespace kestrel
