#include "platform/notify/ChangeNotification.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {
namespace {

constexpr quint32 kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr quint32 kSelfEvents = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

QByteArray Join(const QByteArray& folder, const char* name) {
  return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

bool IsDot(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

} // namespace

int TChangeNotification::FolderBudget() {
  static const int budget = [] {
    QFile limit("/proc/sys/fs/inotify/max_user_watches");
    const int watches = limit.open(QIODevice::ReadOnly) ? limit.readAll().trimmed().toInt() : 0;
    return std::clamp(watches / 8, 256, 4096);
  }();
  return budget;
}

TChangeNotification::~TChangeNotification() {
  Close();
}

bool TChangeNotification::Open(const QString& folder, bool subtree, TNameChanges changes,
                               const std::function<bool()>& cancelled) {
  Close();
  Changes = changes;
  Subtree = subtree;
  Fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (Fd < 0) {
    LastError = errno;
    return false;
  }
  const QByteArray root = QFile::encodeName(folder);
  struct stat info {};
  if (::stat(root.constData(), &info) != 0 || !WatchFolder(root, true)) {
    LastError = errno;
    Close();
    return false;
  }
  Device = quint64(info.st_dev);
  if (subtree) WatchBelow(root, cancelled);
  return true;
}

bool TChangeNotification::Add(const QString& folder) {
  if (Fd < 0) {
    LastError = EBADF;
    return false;
  }
  if (!WatchFolder(QFile::encodeName(folder), true)) {
    LastError = errno;
    return false;
  }
  return true;
}

void TChangeNotification::Close() {
  if (Fd >= 0) ::close(Fd);
  Fd = -1;
  Watches.clear();
  Primaries.clear();
  Pending = Gone = Incomplete = false;
}

bool TChangeNotification::WatchFolder(const QByteArray& path, bool primary) {
  quint32 mask = kNameEvents | kSelfEvents | IN_ONLYDIR;
  if (!primary) mask |= IN_DONT_FOLLOW;
  const int wd = ::inotify_add_watch(Fd, path.constData(), mask);
  if (wd < 0) return false;
  TWatch& watch = Watches[wd];
  watch.Path = path;
  watch.Primary = watch.Primary || primary;
  if (primary) Primaries.push_back(path);
  return true;
}

void TChangeNotification::WatchBelow(const QByteArray& top,
                                     const std::function<bool()>& cancelled) {
  // Breadth first, so that when a limit stops the walk the nearest folders are the ones watched.
  std::deque<QByteArray> folders{top};
  int visited = 0;
  while (!folders.empty()) {
    if (cancelled && ++visited % 64 == 0 && cancelled()) return;
    const QByteArray folder = std::move(folders.front());
    folders.pop_front();
    DIR* dir = ::opendir(folder.constData());
    if (!dir) continue; // unreadable: its own names are still watched when its watch worked
    while (const dirent* entry = ::readdir(dir)) {
      if (IsDot(entry->d_name)) continue;
      if (entry->d_type != DT_DIR && entry->d_type != DT_UNKNOWN) continue;
      const QByteArray path = Join(folder, entry->d_name);
      struct stat info {};
      if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) continue;
      if (quint64(info.st_dev) != Device) continue; // another volume mounted here
      if (int(Watches.size()) >= FolderBudget()) {
        Incomplete = true;
        ::closedir(dir);
        return;
      }
      if (!WatchFolder(path, false)) {
        // The system's limit of watches: every further one would fail as well.
        if (errno == ENOSPC) {
          Incomplete = true;
          ::closedir(dir);
          return;
        }
        Incomplete = true; // no permission, or gone meanwhile
        continue;
      }
      folders.push_back(path);
    }
    ::closedir(dir);
  }
}

void TChangeNotification::Unwatch(const QByteArray& path) {
  const QByteArray below = path + '/';
  for (auto it = Watches.begin(); it != Watches.end();) {
    if (!it->second.Primary && (it->second.Path == path || it->second.Path.startsWith(below))) {
      ::inotify_rm_watch(Fd, it->first);
      it = Watches.erase(it);
    } else {
      ++it;
    }
  }
}

void TChangeNotification::Absorb() {
  if (Fd < 0) return;
  alignas(inotify_event) char buffer[64 * 1024];
  for (;;) {
    const ssize_t length = ::read(Fd, buffer, sizeof buffer);
    if (length <= 0) return; // nothing more for now (EAGAIN), or the handle failed
    for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= length;) {
      inotify_event event;
      std::memcpy(&event, buffer + at, sizeof event);
      const ssize_t size = ssize_t(sizeof(inotify_event)) + ssize_t(event.len);
      if (at + size > length) break;
      const char* name = event.len ? buffer + at + sizeof(inotify_event) : "";
      Consider(event.wd, event.mask, name);
      at += size;
    }
  }
}

void TChangeNotification::Consider(int wd, quint32 mask, const char* name) {
  if (mask & IN_Q_OVERFLOW) {
    Pending = true; // changes were lost: something changed
    return;
  }
  const auto it = Watches.find(wd);
  if (it == Watches.end()) return;
  const bool primary = it->second.Primary;
  if (mask & IN_IGNORED) {
    // The kernel dropped the watch: its folder is gone.
    if (primary) Gone = Pending = true;
    Watches.erase(it);
    return;
  }
  if (mask & kSelfEvents) {
    if (primary) Gone = Pending = true;
    return;
  }
  if (!(mask & kNameEvents)) return;
  const bool isFolder = mask & IN_ISDIR;
  if (isFolder && (mask & (IN_DELETE | IN_MOVED_FROM))) {
    // One watched folder seen going away from another. Its own watch may not say so yet: a
    // folder that is some process's current folder reports its removal only when left.
    const QByteArray path = Join(it->second.Path, name);
    if (std::find(Primaries.begin(), Primaries.end(), path) != Primaries.end()) Gone = true;
  }
  if (Subtree && isFolder) {
    const QByteArray path = Join(it->second.Path, name);
    if (mask & (IN_CREATE | IN_MOVED_TO)) {
      if (WatchFolder(path, false)) WatchBelow(path, {});
    } else if (mask & IN_MOVED_FROM) {
      Unwatch(path);
    }
  }
  if (Changes == TNameChanges::Folders ? isFolder : (!isFolder || primary)) Pending = true;
}

bool TChangeNotification::Next() {
  if (Fd < 0) {
    LastError = EBADF;
    return false;
  }
  // What arrived meanwhile counts from now on; a folder found gone by then fails the re-arm.
  Pending = false;
  Absorb();
  if (Gone) {
    LastError = ENOENT;
    return false;
  }
  return true;
}

TWaitWake::TWaitWake() : Fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

TWaitWake::~TWaitWake() {
  if (Fd >= 0) ::close(Fd);
}

void TWaitWake::Signal() {
  const quint64 one = 1;
  // A failed write means the counter is full: a wake is pending already.
  if (Fd >= 0 && ::write(Fd, &one, sizeof one) < 0) return;
}

void TWaitWake::Clear() {
  quint64 count = 0;
  // Nothing to read means nothing was pending.
  if (Fd >= 0 && ::read(Fd, &count, sizeof count) < 0) return;
}

TWaitResult WaitForChanges(const std::vector<TChangeNotification*>& handles, int timeoutMs,
                           TWaitWake* wake) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const auto firstSignalled = [&handles] {
    for (size_t i = 0; i < handles.size(); ++i)
      if (handles[i]->Signalled()) return int(i);
    return -1;
  };
  for (;;) {
    std::vector<pollfd> fds;
    for (const TChangeNotification* handle : handles)
      fds.push_back({handle->Descriptor(), POLLIN, 0});
    if (wake) fds.push_back({wake->Descriptor(), POLLIN, 0});
    // A handle signalled already only needs a look at the others, so the first in the list wins
    // when several are; otherwise wait out the time left, looking at least once.
    const auto left = std::max<qint64>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
    const int ready = ::poll(fds.data(), nfds_t(fds.size()), firstSignalled() >= 0 ? 0 : int(left));
    if (ready < 0) {
      if (errno == EINTR) continue;
      return {TWaitOutcome::Failed, -1, errno};
    }
    if (wake && (fds.back().revents & POLLIN)) {
      wake->Clear();
      return {TWaitOutcome::Woken, -1, 0};
    }
    for (size_t i = 0; i < handles.size(); ++i) {
      if (fds[i].revents & (POLLERR | POLLNVAL)) return {TWaitOutcome::Failed, -1, EBADF};
      if (fds[i].revents & POLLIN) handles[i]->Absorb();
    }
    if (const int index = firstSignalled(); index >= 0) return {TWaitOutcome::Signalled, index, 0};
    if (ready == 0) return {TWaitOutcome::TimedOut, -1, 0};
    // Only changes no handle reports: wait on for the time left.
  }
}

QString ChangeNotificationErrorText(int error) {
  switch (error) {
  case ENOSPC:
    return "The system's limit of watched folders is reached (fs.inotify.max_user_watches).";
  case EMFILE:
    return "The system's limit of folder watchers is reached (fs.inotify.max_user_instances).";
  default:
    return QString::fromLocal8Bit(std::strerror(error));
  }
}

} // namespace kestrel
