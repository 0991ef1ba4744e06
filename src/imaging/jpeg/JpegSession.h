#pragma once
// libjpeg's compress and decompress objects with the image library's error conventions: a fatal
// libjpeg error jumps back into a guarded frame (see imaging/core/LongJump.h) and becomes
// EJpegError with libjpeg's text; warnings are counted and the first one is kept (nothing is
// printed). Decompression is held to the memory limit of the image model and to a bounded number
// of progressive scans, so a damaged file cannot make libjpeg allocate or work without end.

#include "imaging/core/LongJump.h"

#include <cstddef>
#include <cstdint>
#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>
#include <span>

namespace kestrel {

// What the error handlers reach through cinfo->err (Manager must stay the first member).
struct TJpegErrorState {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
  char FirstWarning[JMSG_LENGTH_MAX];
};

class TJpegDecompressSession {
public:
  // Reads from data, which must outlive the session.
  explicit TJpegDecompressSession(std::span<const uint8_t> data);
  ~TJpegDecompressSession();
  TJpegDecompressSession(const TJpegDecompressSession&) = delete;
  TJpegDecompressSession& operator=(const TJpegDecompressSession&) = delete;

  jpeg_decompress_struct& Info() { return cinfo_; }
  // Runs body, whose libjpeg calls may fail; true when it ran through. On failure the message is
  // in Error().
  template <class Body> [[nodiscard]] bool TryRun(Body&& body) {
    return RunGuarded(error_.Jump, body);
  }
  // The same, raising EJpegError on failure.
  template <class Body> void Run(Body&& body) {
    if (!TryRun(body)) Fail();
  }
  [[noreturn]] void Fail() const;
  const char* Error() const { return error_.Message; }
  // The first warning libjpeg gave (a truncated or corrupt stream), or "".
  const char* Warning() const { return error_.FirstWarning; }

private:
  jpeg_decompress_struct cinfo_{};
  TJpegErrorState error_{};
  jpeg_progress_mgr progress_{};
};

class TJpegCompressSession {
public:
  // The compressed bytes collect in memory (Output()).
  TJpegCompressSession();
  ~TJpegCompressSession();
  TJpegCompressSession(const TJpegCompressSession&) = delete;
  TJpegCompressSession& operator=(const TJpegCompressSession&) = delete;

  jpeg_compress_struct& Info() { return cinfo_; }
  template <class Body> void Run(Body&& body) {
    if (!RunGuarded(error_.Jump, body)) Fail();
  }
  [[noreturn]] void Fail() const;
  std::span<const uint8_t> Output() const { return {buffer_, static_cast<size_t>(size_)}; }

private:
  jpeg_compress_struct cinfo_{};
  TJpegErrorState error_{};
  unsigned char* buffer_ = nullptr; // grown by libjpeg with malloc, freed here
  unsigned long size_ = 0;
};

} // namespace kestrel
