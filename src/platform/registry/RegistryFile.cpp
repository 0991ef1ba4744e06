#include "platform/registry/RegistryFile.h"

#include "platform/files/AtomicFileWriter.h"
#include "platform/paths/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace kestrel {
namespace {

// How long a change waits for another copy's change to finish.
constexpr auto kLockWait = std::chrono::seconds(10);
constexpr auto kLockPoll = std::chrono::milliseconds(2);
// A settings file is a few kilobytes; anything past this is not one.
constexpr qint64 kMaxFileBytes = qint64(256) << 20;
// The damaged parts a message lists before it only counts the rest.
constexpr int kPartsShown = 5;

std::string Native(const QString& name) {
  return QFile::encodeName(name).toStdString();
}

QString Reason(int errorNumber) {
  return QString::fromLocal8Bit(SystemErrorText(errorNumber));
}

// Whether the file is the one read before: a replace always brings a new file.
struct TFileIdentity {
  bool Exists = false;
  dev_t Device = 0;
  ino_t Inode = 0;
  off_t Size = 0;
  timespec Modified{};
  timespec Changed{};

  static TFileIdentity Of(const struct stat& status) {
    return {true, status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
  }
  static TFileIdentity Current(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? Of(status) : TFileIdentity();
  }
  bool operator==(const TFileIdentity& other) const {
    const auto same = [](const timespec& a, const timespec& b) {
      return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    if (!Exists || !other.Exists) return Exists == other.Exists;
    return Device == other.Device && Inode == other.Inode && Size == other.Size &&
           same(Modified, other.Modified) && same(Changed, other.Changed);
  }
};

// The store file as read, and what is wrong with it.
struct TLoad {
  std::shared_ptr<TRegistryDocument> Document = std::make_shared<TRegistryDocument>();
  TFileIdentity Identity;
  QString Problem;     // why the file cannot be used at all: it goes aside, defaults are used
  QStringList LeftOut; // parts left out of a file that could be read otherwise
  bool NeedsRepair() const { return !Problem.isEmpty() || !LeftOut.isEmpty(); }
};

// Reads the whole file, never anything but a regular file (a named pipe would block, a device
// never end).
std::optional<QByteArray> ReadRegularFile(const std::string& path, TLoad& load) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    // A link to nothing names a file still to be made.
    if (errno != ENOENT) load.Problem = Reason(errno);
    return std::nullopt;
  }
  if (!S_ISREG(status.st_mode)) {
    load.Problem = QString("it is %1").arg(QString::fromStdString(FileKindText(status.st_mode)));
    return std::nullopt;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    load.Problem = fd < 0 ? Reason(errno) : QString("it is not a regular file");
    if (fd >= 0) ::close(fd);
    return std::nullopt;
  }
  load.Identity = TFileIdentity::Of(status);
  QByteArray bytes;
  if (status.st_size > kMaxFileBytes) {
    load.Problem = QString("it is larger than %1 MB").arg(kMaxFileBytes >> 20);
  } else {
    bytes.resize(qsizetype(status.st_size));
    qsizetype done = 0;
    while (done < bytes.size()) {
      const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) load.Problem = Reason(errno);
      if (got <= 0) break;
      done += got;
    }
    bytes.truncate(done);
  }
  ::close(fd);
  if (!load.Problem.isEmpty()) return std::nullopt;
  return bytes;
}

TLoad LoadStoreFile(const std::string& path) {
  TLoad load;
  const auto bytes = ReadRegularFile(path, load);
  if (!bytes) return load;
  QString error;
  auto parsed = TRegistryDocument::Parse(*bytes, &error, &load.LeftOut);
  if (parsed)
    load.Document = std::make_shared<TRegistryDocument>(std::move(*parsed));
  else
    load.Problem = error;
  return load;
}

// Makes the folder and its missing parents; the system's error number, 0 when it exists.
int MakeFolder(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0)
    if (const int error = MakeFolder(path.substr(0, slash)); error != 0) return error;
  return ::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST ? 0 : errno;
}

QString PartsText(const QStringList& parts) {
  QString text = parts.mid(0, kPartsShown).join('\r');
  if (parts.size() > kPartsShown) text += QString("\rand %1 more").arg(parts.size() - kPartsShown);
  return text;
}

std::mutex reporterMutex;
TRegistryFile::TReporter& Reporter() {
  static TRegistryFile::TReporter reporter = [](const QString& message) {
    qWarning("%s", qPrintable(message));
  };
  return reporter;
}

// Messages found while a store is locked; they are told once the lock is let go, since telling
// may show a window and run events that use the store again.
thread_local QStringList pendingMessages;

// One settings file as this process uses it. Every member runs with storesMutex held.
class TStore {
public:
  explicit TStore(const QString& name) : name_(name), path_(Native(name)) {}

  std::shared_ptr<const TRegistryDocument> Snapshot() {
    Refresh(false);
    return document_;
  }

  long Modify(const TRegistryFile::TChange& change) {
    if (!opened_) Open();
    if (batchDepth_ > 0 && !inMemory_) {
      bool changed = false;
      const long result = Change(change, &changed);
      if (result == kErrorSuccess && changed) pending_.push_back(change);
      return result;
    }
    struct TUnlock {
      TStore& store;
      bool locked = false;
      ~TUnlock() {
        if (locked) store.Unlock();
      }
    } unlock{*this};
    if (!inMemory_) {
      QString reason;
      unlock.locked = Lock(&reason);
      if (unlock.locked)
        Refresh(true);
      else
        GoInMemory("cannot be written (" + reason + ")");
    }
    bool changed = false;
    const long result = Change(change, &changed);
    if (result == kErrorSuccess && changed && !inMemory_) Save();
    return result;
  }

  void BeginBatch() { ++batchDepth_; }

  void EndBatch() {
    if (--batchDepth_ > 0 || pending_.empty()) return;
    if (inMemory_) return pending_.clear();
    QString reason;
    if (!Lock(&reason)) {
      pending_.clear();
      return GoInMemory("cannot be written (" + reason + ")");
    }
    Refresh(true);
    pending_.clear();
    if (!inMemory_) Save();
    Unlock();
  }

  bool InMemory() const { return inMemory_; }

private:
  // The first use: the folder, the lock, what was left behind, and the first read.
  void Open() {
    opened_ = true;
    const QString folder = QFileInfo(name_).absolutePath();
    QString writeProblem;
    bool locked = false;
    if (const int error = MakeFolder(Native(folder)); error != 0) {
      writeProblem = "cannot be written (" + Reason(error) + ")";
    } else if (::access(Native(folder).c_str(), W_OK) != 0) {
      writeProblem = "cannot be written (" + Reason(errno) + ")";
    } else if (QString reason; !(locked = Lock(&reason))) {
      writeProblem = "cannot be written (" + reason + ")";
    } else {
      RemoveLeftTemporaries(folder);
    }
    TLoad load = LoadStoreFile(path_);
    // A file that cannot even be read goes aside, whatever its mode, where the folder allows.
    if (writeProblem.isEmpty() && load.Problem.isEmpty() && IsReadOnly())
      writeProblem = "is read-only";
    if (load.NeedsRepair() && writeProblem.isEmpty()) writeProblem = Repair(load);
    if (locked) Unlock();
    Adopt(load);
    if (writeProblem.isEmpty()) return;
    inMemory_ = true;
    QString read;
    if (!load.Problem.isEmpty()) read = "could not be read (" + load.Problem + ") and ";
    if (load.Problem.isEmpty() && !load.LeftOut.isEmpty())
      read = "holds parts Kestrel cannot keep (" + load.LeftOut[0] + ") and ";
    const bool defaults = !load.Problem.isEmpty() || !load.Identity.Exists;
    Tell("The settings file\r" + name_ + "\r" + read + writeProblem + ".\rKestrel starts on " +
         (defaults ? "its default settings" : "the settings it could read") +
         " and keeps any change of them only until it closes.");
  }

  // The document as the file holds it now, read again only when the file changed.
  void Refresh(bool locked) {
    if (!opened_) return Open();
    if (inMemory_) return;
    if (identity_ && TFileIdentity::Current(path_) == *identity_) return;
    TLoad load = LoadStoreFile(path_);
    if (load.NeedsRepair()) {
      QString problem;
      if (!locked && !Lock(&problem)) {
        problem = "cannot be written (" + problem + ")";
      } else {
        problem = Repair(load);
        if (!locked) Unlock();
      }
      if (!problem.isEmpty()) GoInMemory(problem);
    }
    Adopt(load);
    // Another copy replaced the file while a batch runs: its changes go over the file as it is
    // now, so that they are read back and written at its end.
    for (const auto& change : pending_) {
      bool changed = false;
      Change(change, &changed);
    }
  }

  // Under the lock: a file that cannot be used goes aside as "<name>.bad"; what could be read of
  // it is written back. Empty when done, else what failed.
  QString Repair(TLoad& load) {
    // Another copy may have replaced the file since it was read.
    load = LoadStoreFile(path_);
    if (!load.NeedsRepair()) return {};
    const QString bad = name_ + ".bad";
    ::unlink(Native(bad).c_str());
    if (::rename(path_.c_str(), Native(bad).c_str()) != 0)
      return "could not be moved aside (" + Reason(errno) + ")";
    load.Identity = TFileIdentity();
    if (!load.Problem.isEmpty()) {
      Tell("The settings file\r" + name_ + "\rcould not be read (" + load.Problem +
           ").\rIt was moved aside as\r" + bad + "\rand Kestrel starts on its default settings.");
      return {};
    }
    QString reason;
    if (!Write(*load.Document, &reason)) return "cannot be written (" + reason + ")";
    load.Identity = TFileIdentity::Current(path_);
    Tell("The settings file\r" + name_ +
         "\rholds parts Kestrel cannot keep, which were left out:\r" + PartsText(load.LeftOut) +
         "\rThe whole file was kept as\r" + bad + ".");
    return {};
  }

  long Change(const TRegistryFile::TChange& change, bool* changed) {
    // Readers may still hold the document they were given.
    if (document_.use_count() > 1) document_ = std::make_shared<TRegistryDocument>(*document_);
    return change(*document_, changed);
  }

  // Under the lock: the document replaces the file.
  void Save() {
    QString reason;
    if (IsReadOnly())
      GoInMemory("is read-only");
    else if (Write(*document_, &reason))
      identity_ = TFileIdentity::Current(path_);
    else
      GoInMemory("cannot be written (" + reason + ")");
  }

  void Adopt(const TLoad& load) {
    document_ = load.Document;
    identity_ = load.Identity;
  }

  void GoInMemory(const QString& problem) {
    if (inMemory_) return;
    inMemory_ = true;
    Tell("The settings file\r" + name_ + "\r" + problem +
         ".\rKestrel keeps any change of its settings only until it closes.");
  }

  bool IsReadOnly() const {
    struct stat status {};
    if (::stat(path_.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    // No write permission for anyone says so even to root.
    return ::access(path_.c_str(), W_OK) != 0 || (status.st_mode & 0222) == 0;
  }

  // The lock is a file of its own that is never removed; the system lets it go when its holder
  // ends, however it ends.
  bool Lock(QString* reason) {
    lockFd_ = ::open((path_ + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (lockFd_ < 0) {
      *reason = Reason(errno);
      return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
      if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return true;
      const int error = errno;
      if (error == EINTR) continue;
      if (error != EWOULDBLOCK || std::chrono::steady_clock::now() > deadline) {
        *reason = error == EWOULDBLOCK ? QString("another copy of Kestrel keeps it locked")
                                       : Reason(error);
        Unlock();
        return false;
      }
      std::this_thread::sleep_for(kLockPoll);
    }
  }

  void Unlock() {
    ::close(lockFd_); // lets the lock go
    lockFd_ = -1;
  }

  // Under the lock no copy is writing, so a new file of a writer's making was left by a copy that
  // was killed before its rename.
  void RemoveLeftTemporaries(const QString& folder) {
    DIR* entries = ::opendir(Native(folder).c_str());
    if (!entries) return;
    const std::string base = QFile::encodeName(QFileInfo(name_).fileName()).toStdString();
    while (const dirent* entry = ::readdir(entries)) {
      if (!TAtomicFileWriter::IsTemporaryOf(entry->d_name, base)) continue;
      struct stat status {};
      if (::fstatat(::dirfd(entries), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
          S_ISREG(status.st_mode))
        ::unlinkat(::dirfd(entries), entry->d_name, 0);
    }
    ::closedir(entries);
  }

  bool Write(const TRegistryDocument& document, QString* reason) {
    try {
      TAtomicFileWriter file(path_);
      const QByteArray bytes = document.Serialize();
      file.Write(bytes.constData(), size_t(bytes.size()));
      file.Commit();
      return true;
    } catch (const EFileWriteError& error) {
      *reason = QString::fromLocal8Bit(error.what());
      return false;
    }
  }

  static void Tell(const QString& message) { pendingMessages << message; }

  QString name_;
  std::string path_;
  std::shared_ptr<TRegistryDocument> document_ = std::make_shared<TRegistryDocument>();
  std::optional<TFileIdentity> identity_;
  bool opened_ = false;
  bool inMemory_ = false;
  int lockFd_ = -1;
  int batchDepth_ = 0;
  std::vector<TRegistryFile::TChange> pending_; // changes of the batch, to be written
};

std::mutex storesMutex;

// The store of a file name for as long as the process runs, locked while it is used; what it
// found to tell is told afterwards.
class TStoreAccess {
public:
  explicit TStoreAccess(const QString& name) : lock_(storesMutex) {
    static std::map<QString, std::unique_ptr<TStore>> stores;
    auto& slot = stores[QFileInfo(name).absoluteFilePath()];
    if (!slot) slot = std::make_unique<TStore>(QFileInfo(name).absoluteFilePath());
    store_ = slot.get();
  }
  ~TStoreAccess() {
    lock_.unlock();
    const QStringList messages = std::exchange(pendingMessages, {});
    for (const QString& message : messages)
      TRegistryFile::Report(message);
  }
  TStoreAccess(const TStoreAccess&) = delete;
  TStoreAccess& operator=(const TStoreAccess&) = delete;

  TStore* operator->() const { return store_; }

private:
  std::unique_lock<std::mutex> lock_;
  TStore* store_ = nullptr;
};

} // namespace

TRegistryFile::TRegistryFile() : Name(SettingsFileName()) {}

TRegistryFile::TRegistryFile(const QString& fileName) : Name(fileName) {}

void TRegistryFile::SetReporter(TReporter reporter) {
  std::lock_guard lock(reporterMutex);
  Reporter() = std::move(reporter);
}

void TRegistryFile::Report(const QString& message) {
  TReporter reporter;
  {
    std::lock_guard lock(reporterMutex);
    reporter = Reporter();
  }
  if (reporter) reporter(message);
}

std::shared_ptr<const TRegistryDocument> TRegistryFile::Snapshot() const {
  return TStoreAccess(Name)->Snapshot();
}

long TRegistryFile::Modify(const TChange& change) const {
  return TStoreAccess(Name)->Modify(change);
}

TRegistryFile::TBatch::TBatch(const TRegistryFile& file) : Name(file.FileName()) {
  TStoreAccess(Name)->BeginBatch();
}

TRegistryFile::TBatch::~TBatch() {
  TStoreAccess(Name)->EndBatch();
}

bool TRegistryFile::InMemory() const {
  return TStoreAccess(Name)->InMemory();
}

QDateTime TRegistryFile::LastWriteTime() const {
  return QFileInfo(Name).lastModified();
}

} // namespace kestrel
