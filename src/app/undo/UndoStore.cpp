#include "app/undo/UndoStore.h"

#include "imaging/bmp/BmpFile.h"
#include "imaging/core/Bitmap.h"
#include "imaging/core/Stream.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/uio.h>
#include <unistd.h>

namespace kestrel {
namespace {

[[noreturn]] void Fail(const QString& what, int error) {
  throw EUndoError((what + ": " + QString::fromLocal8Bit(std::strerror(error))).toStdString());
}

// Writes the pieces at offset 0 with as few calls as the system allows.
void WriteAll(int fd, iovec* pieces, int count) {
  off_t offset = 0;
  while (count > 0) {
    const ssize_t written = ::pwritev(fd, pieces, count, offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot write the undo copy", errno);
    }
    if (written == 0) Fail("Cannot write the undo copy", ENOSPC);
    offset += written;
    for (auto left = static_cast<size_t>(written); left > 0;) {
      const size_t step = std::min(left, pieces->iov_len);
      pieces->iov_base = static_cast<uint8_t*>(pieces->iov_base) + step;
      pieces->iov_len -= step;
      left -= step;
      if (pieces->iov_len == 0) {
        ++pieces;
        --count;
      }
    }
  }
}

} // namespace

TUndoStore::TUndoStore(std::unique_ptr<QFile> file) : file_(std::move(file)) {}

TUndoStore::~TUndoStore() = default;

void TUndoStore::Write(const TBitmap& bitmap) {
  if (!file_) throw EUndoError("There is no undo file");
  std::vector<uint8_t> head = BmpHeaderBytes(bitmap, TRowOrder::TopDown);
  const TPixelStorage& storage = bitmap.Storage();
  iovec pieces[2] = {{head.data(), head.size()},
                     {const_cast<uint8_t*>(storage.Bits()), storage.ByteCount()}};
  try {
    WriteAll(file_->handle(), pieces, 2);
  } catch (const EUndoError&) {
    Truncate(0);
    throw;
  }
  Truncate(static_cast<int64_t>(head.size() + storage.ByteCount()));
}

void TUndoStore::Truncate(int64_t length) {
  if (::ftruncate(file_->handle(), length) != 0) Fail("Cannot cut the undo file", errno);
}

std::unique_ptr<TBitmap> TUndoStore::Read() const {
  if (!file_) throw EUndoError("There is no undo file");
  TFileStream stream(QFile::encodeName(file_->fileName()).toStdString(), TFileMode::OpenRead);
  auto bitmap = std::make_unique<TBitmap>();
  ReadBmpFile(stream, *bitmap);
  return bitmap;
}

QString TUndoStore::FileName() const {
  return file_ ? file_->fileName() : QString();
}

void TUndoStore::Remove() {
  if (!file_) return;
  file_->close();
  QFile::remove(file_->fileName());
  file_.reset();
}

} // namespace kestrel
