#include "app/save/SafeFileWrite.h"

#include "imaging/core/Stream.h"

#include <QSaveFile>

#include <algorithm>

namespace kestrel {

namespace {

[[noreturn]] void Fail(const std::string& path, const QSaveFile& file) {
  throw ESaveError("Cannot save " + path + ": " + file.errorString().toStdString());
}

// The codecs write straight into the temporary file, with no copy of the whole file in memory.
class TSaveFileStream : public TStream {
public:
  explicit TSaveFileStream(QSaveFile& file) : file_(file) {}
  int64_t Read(void* buffer, int64_t count) override {
    return std::max<int64_t>(file_.read(static_cast<char*>(buffer), count), 0);
  }
  int64_t Write(const void* buffer, int64_t count) override {
    return std::max<int64_t>(file_.write(static_cast<const char*>(buffer), count), 0);
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    const int64_t base = origin == TSeekOrigin::Begin     ? 0
                         : origin == TSeekOrigin::Current ? file_.pos()
                                                          : file_.size();
    file_.seek(std::max<int64_t>(base + offset, 0));
    return file_.pos();
  }
  int64_t Size() override { return file_.size(); }

private:
  QSaveFile& file_;
};

} // namespace

void WriteFileSafely(const std::string& path, const std::function<void(TStream&)>& write) {
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) Fail(path, file);
  TSaveFileStream stream(file);
  // An error leaves the temporary file to QSaveFile, which removes it. A codec stopped by the
  // file (a full disk) is told with the file's reason.
  try {
    write(stream);
  } catch (...) {
    if (file.error() != QFileDevice::NoError) Fail(path, file);
    throw;
  }
  if (file.error() != QFileDevice::NoError) Fail(path, file);
  // The rename happens here, after the data has reached the disk.
  if (!file.commit()) Fail(path, file);
}

} // namespace kestrel
