#pragma once
// The file-like handle the bitmap module works on: read, write and seek callbacks. The module
// never touches a stream or a file itself, so the same coding serves files, memory and windows
// into a larger stream (a page of a multi-page file).

#include "imaging/core/Stream.h"

#include <cstdint>

namespace kestrel {

class TBmodFile {
public:
  virtual ~TBmodFile() = default;
  // Reads up to count bytes; returns the number read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes count bytes; returns the number written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves the position and returns the new one, or -1 when it would lie before the start.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Size();
  // Reads exactly count bytes at the current position; false on a short read.
  bool ReadExact(void* buffer, int64_t count) { return Read(buffer, count) == count; }
  bool WriteExact(const void* buffer, int64_t count) { return Write(buffer, count) == count; }
  // Reads exactly count bytes at offset; false when they are not all there.
  bool ReadAt(int64_t offset, void* buffer, int64_t count) {
    return Seek(offset, TSeekOrigin::Begin) == offset && ReadExact(buffer, count);
  }
};

// A window [start, end) of a stream as a file: offsets count from start, reads stop at end.
// Writes go to the stream at the window's position (and may extend it).
class TBmodStreamFile : public TBmodFile {
public:
  // The window from the stream's position to its end.
  explicit TBmodStreamFile(TStream& stream);
  // The window [start, end) in stream positions; end -1 means the end of the stream.
  TBmodStreamFile(TStream& stream, int64_t start, int64_t end);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

private:
  int64_t End();

  TStream& stream_;
  int64_t start_;
  int64_t end_;
};

} // namespace kestrel
