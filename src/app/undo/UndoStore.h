#pragma once
// The one snapshot an undo file holds: a bitmap written from the start of the file as a .bmp file
// with its rows top-down, so that the bitmap's pixel storage goes to the disk, and comes back, in
// one piece. The file is cut to the snapshot's length, so a short snapshot after a long one leaves
// nothing of the old one behind.

#include "imaging/core/Exceptions.h"

#include <QString>

#include <memory>

class QFile;

namespace kestrel {

class TBitmap;

KESTREL_EXCEPTION_CLASS(EUndoError, Exception)

class TUndoStore {
public:
  // file: the undo file, open for reading and writing (see UndoFile.h).
  explicit TUndoStore(std::unique_ptr<QFile> file);
  ~TUndoStore();
  TUndoStore(const TUndoStore&) = delete;
  TUndoStore& operator=(const TUndoStore&) = delete;

  // Writes bitmap from the start of the file. When the write fails (a full disk) the file is
  // emptied, so no torn snapshot is left, and EUndoError tells why.
  void Write(const TBitmap& bitmap);
  // The snapshot, read into a bitmap of its own; raises (EUndoError, EInvalidGraphic) when the
  // file holds no whole snapshot.
  std::unique_ptr<TBitmap> Read() const;

  QString FileName() const;
  // Closes and deletes the file; the store holds nothing afterwards.
  void Remove();

private:
  void Truncate(int64_t length);

  std::unique_ptr<QFile> file_;
};

} // namespace kestrel
