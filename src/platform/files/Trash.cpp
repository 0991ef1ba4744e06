#include "platform/files/Trash.h"

#include "platform/files/FileTransfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {
namespace {

// A record's name is the file's name and ".trashinfo", which must fit a name's 255 bytes.
constexpr qsizetype kLongestName = 255 - qsizetype(sizeof(".trashinfo") - 1);

QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

bool DeviceOf(const QString& path, dev_t& device) {
  struct stat status;
  if (::stat(Native(path).constData(), &status) != 0) return false;
  device = status.st_dev;
  return true;
}

// A folder only this user may use: made when missing, and refused when it is a link or another's.
bool PrivateFolder(const QString& path) {
  const QByteArray name = Native(path);
  if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) return false;
  struct stat status;
  return ::lstat(name.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
         status.st_uid == ::geteuid();
}

bool PrepareTrash(const QString& folder) {
  return PrivateFolder(folder) && PrivateFolder(folder + "/files") &&
         PrivateFolder(folder + "/info");
}

// The top folder of the volume holding path: the last folder upwards still on device.
QString TopOf(const QString& path, dev_t device) {
  QString top = QFileInfo(path).path();
  for (;;) {
    const QString parent = QFileInfo(top).path();
    dev_t above = 0;
    if (parent == top || !DeviceOf(parent, above) || above != device) return top;
    top = parent;
  }
}

// The administrator's shared Trash: a real folder with the sticky bit.
bool SharedTrashAllowed(const QString& folder) {
  struct stat status;
  return ::lstat(Native(folder).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
         (status.st_mode & S_ISVTX);
}

// name as it is kept in files/: numbered from the second try on ("a.2.jpg"), and shortened so
// that its record's name fits, never inside a character.
QString TrashName(const QString& name, int number) {
  QString stem = name, extension;
  const qsizetype dot = name.lastIndexOf('.');
  if (dot > 0) {
    stem = name.left(dot);
    extension = name.mid(dot);
  }
  const QString suffix = (number > 1 ? "." + QString::number(number) : QString()) + extension;
  QByteArray head = Native(stem);
  const qsizetype room = kLongestName - Native(suffix).size();
  if (head.size() + Native(suffix).size() <= kLongestName) return stem + suffix;
  head.truncate(std::max<qsizetype>(room, 1));
  while (head.size() > 1 && (quint8(head.back()) & 0xC0) == 0x80)
    head.chop(1);
  if (!head.isEmpty() && quint8(head.back()) >= 0xC0) head.chop(1);
  return QFile::decodeName(head) + suffix;
}

QByteArray DeletionDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  const size_t size = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return QByteArray(text, qsizetype(size));
}

int WriteRecord(const QString& record, const QByteArray& text) {
  const QByteArray name = Native(record);
  const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return errno;
  int error = 0;
  const char* data = text.constData();
  qsizetype left = text.size();
  while (left > 0 && error == 0) {
    const ssize_t n = ::write(fd, data, size_t(left));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      error = errno;
    else {
      data += n;
      left -= n;
    }
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) ::unlink(name.constData());
  return error;
}

} // namespace

QString TTrash::HomeTrash() {
  QString data = qEnvironmentVariable("XDG_DATA_HOME");
  if (data.isEmpty() || QDir::isRelativePath(data)) data = QDir::homePath() + "/.local/share";
  return QDir::cleanPath(data) + "/Trash";
}

TTrash::TPlace TTrash::FindPlace(dev_t device, const QString& path) const {
  const QString home = HomeTrash();
  const QString data = QFileInfo(home).path();
  QDir().mkpath(data);
  dev_t homeDevice = 0;
  if (DeviceOf(data, homeDevice) && homeDevice == device)
    return PrepareTrash(home) ? TPlace{home, {}} : TPlace{};
  const QString top = TopOf(path, device);
  const QString uid = QString::number(::geteuid());
  const QString shared = QDir(top).filePath(".Trash");
  for (const QString& candidate : {SharedTrashAllowed(shared) ? shared + "/" + uid : QString(),
                                   QDir(top).filePath(".Trash-" + uid)}) {
    dev_t there = 0;
    if (!candidate.isEmpty() && PrepareTrash(candidate) && DeviceOf(candidate, there) &&
        there == device)
      return {candidate, top};
  }
  return {};
}

const TTrash::TPlace& TTrash::PlaceFor(dev_t device, const QString& path) {
  const auto found = Places.find(device);
  if (found != Places.end()) return found->second;
  return Places.emplace(device, FindPlace(device, path)).first->second;
}

int TTrash::MoveToTrash(const QString& path) {
  const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  const QString name = QFileInfo(absolute).fileName();
  struct stat status;
  if (::lstat(Native(absolute).constData(), &status) != 0) return NameError(errno, absolute);
  if (name.isEmpty()) return EINVAL; // the root folder
  const TPlace& place = PlaceFor(status.st_dev, absolute);
  if (place.Folder.isEmpty()) return kNoTrash;
  return Record(place, absolute, name);
}

int TTrash::Record(const TPlace& place, const QString& path, const QString& name) {
  const QString original = place.Top.isEmpty() ? path : QDir(place.Top).relativeFilePath(path);
  const QByteArray text = "[Trash Info]\nPath=" + Native(original).toPercentEncoding("/") +
                          "\nDeletionDate=" + DeletionDate() + "\n";
  for (int number = 1; number < 100000; ++number) {
    const QString kept = TrashName(name, number);
    const QString record = place.Folder + "/info/" + kept + ".trashinfo";
    const int writing = WriteRecord(record, text);
    if (writing == EEXIST) continue;
    if (writing != 0) return writing;
    const int moving = RenameNoReplace(path, place.Folder + "/files/" + kept);
    if (moving == 0) {
      Last = {place.Folder, kept};
      return 0;
    }
    ::unlink(Native(record).constData());
    if (moving == EEXIST) continue; // a file left without its record
    // Another mount of the same volume: its Trash is not reachable by a rename from here.
    return moving == EXDEV ? kNoTrash : moving;
  }
  return EEXIST;
}

} // namespace kestrel
