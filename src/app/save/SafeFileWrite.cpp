#include "app/save/SafeFileWrite.h"

#include "imaging/core/Stream.h"

#include <QSaveFile>

namespace kestrel {

namespace {

[[noreturn]] void Fail(const std::string& path, const QSaveFile& file) {
  throw ESaveError("Cannot save " + path + ": " + file.errorString().toStdString());
}

} // namespace

void WriteFileSafely(const std::string& path, const std::function<void(TStream&)>& write) {
  TMemoryStream bytes;
  write(bytes);
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) Fail(path, file);
  const auto size = static_cast<qint64>(bytes.Bytes().size());
  if (file.write(reinterpret_cast<const char*>(bytes.Bytes().data()), size) != size)
    Fail(path, file);
  // The rename happens here, after the data has reached the disk.
  if (!file.commit()) Fail(path, file);
}

} // namespace kestrel
