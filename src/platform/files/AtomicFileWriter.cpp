#include "platform/files/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <random>

namespace kestrel {

namespace {

// Writes are gathered into chunks of this size: codecs hand over a row or a few bytes at a time.
constexpr size_t kBufferBytes = 1 << 20;
// As many links as the system itself follows before it gives up.
constexpr int kMaxLinkHops = 40;
constexpr int kNameAttempts = 100;
constexpr char kNameCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kSuffixLength = 6;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string RandomSuffix() {
  static thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kNameCharacters - 2);
  std::string suffix(kSuffixLength, 'x');
  for (char& c : suffix)
    c = kNameCharacters[pick(generator)];
  return suffix;
}

} // namespace

std::string FileKindText(unsigned mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

std::string SystemErrorText(int errorNumber) {
  char buffer[256];
  return strerror_r(errorNumber, buffer, sizeof buffer);
}

bool TAtomicFileWriter::IsTemporaryOf(const std::string& name, const std::string& base) {
  if (name.size() != base.size() + 1 + kSuffixLength || !name.starts_with(base + ".")) return false;
  return std::all_of(name.end() - kSuffixLength, name.end(), [](char c) {
    return c != '\0' && std::strchr(kNameCharacters, c) != nullptr;
  });
}

TAtomicFileWriter::TAtomicFileWriter(const std::string& path) : path_(path), target_(path) {
  struct stat status {};
  int hops = 0;
  // The file the links name; a link to nothing names a file to be made.
  while (::lstat(target_.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
    if (++hops > kMaxLinkHops) Raise(SystemErrorText(ELOOP), ELOOP);
    char link[PATH_MAX];
    const ssize_t length = ::readlink(target_.c_str(), link, sizeof link - 1);
    if (length < 0) Raise(SystemErrorText(errno), errno);
    const std::string named(link, static_cast<size_t>(length));
    target_ = named.starts_with('/') ? named : FolderOf(target_) + "/" + named;
  }
  const bool exists = ::lstat(target_.c_str(), &status) == 0;
  if (!exists && errno != ENOENT) Raise(SystemErrorText(errno), errno);
  if (exists && !S_ISREG(status.st_mode))
    Raise(target_ + " is " + FileKindText(status.st_mode) + ", not a regular file", 0);
  if (exists && ::access(target_.c_str(), W_OK) != 0) Raise(SystemErrorText(errno), errno);

  for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
    temporary_ = target_ + "." + RandomSuffix();
    // 0666 lets the umask decide a new file's mode, as for any file the user makes.
    fd_ = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int error = errno;
    temporary_.clear();
    Raise(SystemErrorText(error), error);
  }
  if (exists) {
    // The owner first: changing it clears the set-id bits the mode then restores.
    if (status.st_uid != ::geteuid() || status.st_gid != ::getegid()) {
      // Only root may give a file away; anyone else's new file stays their own.
      const int given = ::fchown(fd_, status.st_uid, status.st_gid);
      static_cast<void>(given);
    }
    if (::fchmod(fd_, status.st_mode & 07777) != 0) Fail(errno);
  }
}

TAtomicFileWriter::~TAtomicFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void TAtomicFileWriter::Raise(const std::string& reason, int errorNumber) const {
  throw EFileWriteError(reason, errorNumber);
}

bool TAtomicFileWriter::Fail(int errorNumber) {
  if (errorNumber_ == 0) errorNumber_ = errorNumber;
  return false;
}

bool TAtomicFileWriter::FlushBuffer() {
  const uint8_t* data = buffer_.data();
  size_t left = buffer_.size();
  int64_t offset = bufferStart_;
  while (left > 0) {
    const ssize_t written = ::pwrite(fd_, data, left, offset);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      buffer_.clear();
      return Fail(written < 0 ? errno : ENOSPC);
    }
    data += written;
    left -= static_cast<size_t>(written);
    offset += written;
  }
  buffer_.clear();
  return true;
}

bool TAtomicFileWriter::Write(const void* data, size_t count) {
  if (errorNumber_ != 0) return false;
  const int64_t bufferEnd = bufferStart_ + static_cast<int64_t>(buffer_.size());
  if (!buffer_.empty() && position_ != bufferEnd && !FlushBuffer()) return false;
  if (buffer_.empty()) bufferStart_ = position_;
  const auto* bytes = static_cast<const uint8_t*>(data);
  buffer_.insert(buffer_.end(), bytes, bytes + count);
  position_ += static_cast<int64_t>(count);
  size_ = std::max(size_, position_);
  return buffer_.size() < kBufferBytes || FlushBuffer();
}

int64_t TAtomicFileWriter::Read(void* data, int64_t count) {
  if (count <= 0 || !FlushBuffer()) return 0;
  const ssize_t got = ::pread(fd_, data, static_cast<size_t>(count), position_);
  if (got <= 0) return 0;
  position_ += got;
  return got;
}

int64_t TAtomicFileWriter::Size() const {
  return size_;
}

void TAtomicFileWriter::Commit() {
  if (errorNumber_ == 0) FlushBuffer();
  if (errorNumber_ == 0 && ::fsync(fd_) != 0) Fail(errno);
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) Fail(errno);
  if (errorNumber_ != 0) Raise(SystemErrorText(errorNumber_), errorNumber_);
  // Something may have taken the target's place meanwhile; a rename would replace it.
  struct stat status {};
  if (::lstat(target_.c_str(), &status) == 0 && !S_ISREG(status.st_mode) &&
      !S_ISLNK(status.st_mode))
    Raise(target_ + " is " + FileKindText(status.st_mode) + ", not a regular file", 0);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) Raise(SystemErrorText(errno), errno);
  committed_ = true;
  // The new name reaches the disk with the folder.
  const int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

} // namespace kestrel
