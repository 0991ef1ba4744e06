#include "platform/files/FileTransfer.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {
namespace {

// One system call's worth of data: progress and a stop are seen between calls.
constexpr size_t kChunk = size_t(64) << 20;
constexpr size_t kBuffer = size_t(1) << 20;

class TFd {
public:
  explicit TFd(int fd) : Fd(fd) {}
  ~TFd() { Close(); }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return Fd; }
  bool Valid() const { return Fd >= 0; }
  // 0, or the error the close reported (a delayed write error on some file systems).
  int Close() {
    if (Fd < 0) return 0;
    const int result = ::close(Fd);
    Fd = -1;
    return result == 0 ? 0 : errno;
  }

private:
  int Fd;
};

QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

bool Stopped(const TCopyControl& control) {
  return control.Stop && control.Stop->load(std::memory_order_relaxed);
}

void Count(const TCopyControl& control, qint64 bytes) {
  if (control.Copied) control.Copied->fetch_add(bytes, std::memory_order_relaxed);
}

// copy_file_range cannot serve this pair of files, but plain reads and writes can.
bool RangeUnsupported(int error) {
  return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP ||
         error == EBADF;
}

int WriteAll(int out, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(out, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    data += n;
    size -= size_t(n);
  }
  return 0;
}

int CopyByReading(int in, int out, const TCopyControl& control) {
  const auto buffer = std::make_unique<char[]>(kBuffer);
  for (;;) {
    if (Stopped(control)) return ECANCELED;
    const ssize_t n = ::read(in, buffer.get(), kBuffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    if (const int error = WriteAll(out, buffer.get(), size_t(n)); error != 0) return error;
    Count(control, n);
  }
}

int CopyData(int in, int out, const TCopyControl& control) {
  // A volume that shares blocks between files copies at once.
  if (::ioctl(out, FICLONE, in) == 0) {
    struct stat status;
    if (::fstat(out, &status) == 0) Count(control, status.st_size);
    return 0;
  }
  ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
  bool any = false;
  for (;;) {
    if (Stopped(control)) return ECANCELED;
    const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
    if (n > 0) {
      any = true;
      Count(control, n);
      continue;
    }
    if (n == 0 && any) return 0;
    if (n < 0 && errno == EINTR) continue;
    // Nothing came at the first call: an empty file, or one whose size is not its length (some
    // virtual file systems); plain reads tell which.
    if (n == 0 || (!any && RangeUnsupported(errno))) return CopyByReading(in, out, control);
    return errno;
  }
}

// Keeps the source's modification time on the copy.
int KeepTimes(int out, const struct stat& status) {
  const struct timespec times[2] = {{0, UTIME_OMIT}, status.st_mtim};
  return ::futimens(out, times) == 0 ? 0 : errno;
}

struct TCopyOptions {
  bool Durable = false; // on disk before returning: a source is removed, or a file replaced, next
};

int CopyInto(const QString& source, const QString& target, const TCopyControl& control,
             TCopyOptions options) {
  // Not blocking: a named pipe would wait for a writer before it could be refused.
  TFd in(::open(Native(source).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!in.Valid()) return errno;
  struct stat status;
  if (::fstat(in.Get(), &status) != 0) return errno;
  if (S_ISDIR(status.st_mode)) return EISDIR;
  if (!S_ISREG(status.st_mode)) return EINVAL; // a device or pipe has no end to copy up to
  const QByteArray targetName = Native(target);
  TFd out(::open(targetName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                 status.st_mode & 0777));
  if (!out.Valid()) return errno; // the target is not ours: it is never removed here
  int error = CopyData(in.Get(), out.Get(), control);
  if (error == 0) error = KeepTimes(out.Get(), status);
  if (error == 0 && options.Durable && ::fdatasync(out.Get()) != 0) error = errno;
  if (const int closing = out.Close(); error == 0) error = closing;
  if (error != 0) ::unlink(targetName.constData());
  return error;
}

// The copy holds as many bytes as the source now does.
int SameSize(const QString& source, const QString& target) {
  struct stat a, b;
  if (::stat(Native(source).constData(), &a) != 0) return errno;
  if (::stat(Native(target).constData(), &b) != 0) return errno;
  return a.st_size == b.st_size ? 0 : EIO;
}

// A name for a temporary file beside target, not taken when it was chosen.
QString TemporaryBeside(const QString& target) {
  const QString folder = QFileInfo(target).path();
  return folder + QString("/.kestrel-%1.part")
                      .arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
}

int CopyBesideAndRename(const QString& source, const QString& target, const TCopyControl& control) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString temporary = TemporaryBeside(target);
    const int error = CopyInto(source, temporary, control, {true});
    if (error == EEXIST) continue; // someone else's temporary name
    if (error != 0) return error;
    if (::rename(Native(temporary).constData(), Native(target).constData()) == 0) return 0;
    const int renaming = errno;
    ::unlink(Native(temporary).constData());
    return renaming;
  }
  return EEXIST;
}

// Moves across volumes: the source goes only once a complete copy is on disk.
int MoveByCopying(const QString& source, const QString& target, const TCopyControl& control,
                  bool replacing) {
  int error = replacing ? CopyBesideAndRename(source, target, control)
                        : CopyInto(source, target, control, {true});
  if (error != 0) return error; // nothing was made (a failed copy removes its own file)
  error = SameSize(source, target);
  if (error == 0 && ::unlink(Native(source).constData()) == 0) return 0;
  if (error == 0) error = errno;
  // A new file is taken back so that the source stays the only one; a replaced target cannot come
  // back, and the source is kept beside it.
  if (!replacing) ::unlink(Native(target).constData());
  return error;
}

// Renames without replacing where the file system cannot say so itself: a hard link cannot be made
// over an existing name.
int RenameByLinking(const QByteArray& from, const QByteArray& to) {
  if (::link(from.constData(), to.constData()) == 0) {
    if (::unlink(from.constData()) == 0) return 0;
    const int error = errno;
    ::unlink(to.constData());
    return error;
  }
  if (errno != EPERM && errno != EOPNOTSUPP) return errno;
  // No hard links either (FAT and the like): the last resort looks before it renames.
  struct stat status;
  if (::lstat(to.constData(), &status) == 0) return EEXIST;
  return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

int RenameWithoutReplacing(const QString& from, const QString& to) {
  const QByteArray a = Native(from), b = Native(to);
  if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
    return 0;
  if (errno == EINVAL || errno == ENOSYS) return RenameByLinking(a, b);
  return errno;
}

} // namespace

bool SameFile(const QString& a, const QString& b) {
  struct stat first, second;
  return ::stat(Native(a).constData(), &first) == 0 &&
         ::stat(Native(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

int NameError(int error, const QString& path, const QString& other) {
  const QChar replaced = QChar::ReplacementCharacter;
  return error == ENOENT && (path.contains(replaced) || other.contains(replaced)) ? EILSEQ : error;
}

int CopyNewFile(const QString& source, const QString& target, const TCopyControl& control) {
  return NameError(CopyInto(source, target, control, {}), source, target);
}

int CopyReplacing(const QString& source, const QString& target, const TCopyControl& control) {
  if (SameFile(source, target)) return kSameFile;
  return NameError(CopyBesideAndRename(source, target, control), source, target);
}

int MoveNewFile(const QString& source, const QString& target, const TCopyControl& control) {
  const int error = RenameWithoutReplacing(source, target);
  if (error != EXDEV) return NameError(error, source, target);
  return NameError(MoveByCopying(source, target, control, false), source, target);
}

int MoveReplacing(const QString& source, const QString& target, const TCopyControl& control) {
  if (SameFile(source, target)) return kSameFile;
  if (::rename(Native(source).constData(), Native(target).constData()) == 0) return 0;
  if (errno != EXDEV) return NameError(errno, source, target);
  return NameError(MoveByCopying(source, target, control, true), source, target);
}

int RenameNoReplace(const QString& from, const QString& to) {
  const QFileInfo a(from), b(to);
  // The same file under another case of its name: a volume that ignores case finds "the new name"
  // taken by the file itself.
  if (a.path() == b.path() && a.fileName() != b.fileName() &&
      a.fileName().compare(b.fileName(), Qt::CaseInsensitive) == 0 && SameFile(from, to))
    return ::rename(Native(from).constData(), Native(to).constData()) == 0 ? 0 : errno;
  return NameError(RenameWithoutReplacing(from, to), from, to);
}

} // namespace kestrel
