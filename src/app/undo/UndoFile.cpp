#include "app/undo/UndoFile.h"

#include <QDir>

namespace kestrel {
namespace {

// Past this many names the folder is taken to be unwritable rather than full.
constexpr int kMostNames = 10000;

} // namespace

std::unique_ptr<QFile> OpenUndoFile(const QString& folder) {
  for (int number = 0; number < kMostNames; ++number) {
    const QString suffix = number == 0 ? QString() : QString("(%1)").arg(number);
    auto file = std::make_unique<QFile>(QDir(folder).filePath("Kestrel" + suffix + ".dat"));
    if (file->open(QIODevice::ReadWrite | QIODevice::NewOnly)) return file;
    if (!file->exists()) return nullptr; // not taken, yet not made: the folder is the trouble
  }
  return nullptr;
}

void ClearUndoFolder(const QString& folder) {
  const QDir dir(folder);
  for (const QString& name : dir.entryList({"*.dat"}, QDir::Files | QDir::Hidden))
    QFile::remove(dir.filePath(name));
}

} // namespace kestrel
