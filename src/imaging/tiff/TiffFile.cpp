#include "imaging/tiff/TiffFile.h"

#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"

#include <cstdarg>
#include <cstdio>
#include <limits>
#include <memory>

namespace kestrel {

namespace {

// The stream callbacks. Nothing may throw through libtiff's C code: a stream failure becomes a
// short count, which libtiff reports as a read or write error.
TStream& StreamOf(thandle_t handle) {
  return *static_cast<TStream*>(handle);
}

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  try {
    return static_cast<tmsize_t>(StreamOf(handle).Read(buffer, size));
  } catch (...) {
    return -1;
  }
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
  try {
    return static_cast<tmsize_t>(StreamOf(handle).Write(buffer, size));
  } catch (...) {
    return -1;
  }
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  // An offset beyond what a stream position can be gives a position libtiff did not ask for,
  // which it takes as a failed seek.
  constexpr toff_t kFailed = std::numeric_limits<toff_t>::max();
  const TSeekOrigin origin = whence == SEEK_CUR   ? TSeekOrigin::Current
                             : whence == SEEK_END ? TSeekOrigin::End
                                                  : TSeekOrigin::Begin;
  try {
    const int64_t position = StreamOf(handle).Seek(static_cast<int64_t>(offset), origin);
    return position < 0 ? kFailed : static_cast<toff_t>(position);
  } catch (...) {
    return kFailed;
  }
}

toff_t SizeProc(thandle_t handle) {
  try {
    return static_cast<toff_t>(StreamOf(handle).Size());
  } catch (...) {
    return 0;
  }
}

int CloseProc(thandle_t) {
  return 0;
}

int MapProc(thandle_t, void**, toff_t*) {
  return 0;
}

void UnmapProc(thandle_t, void*, toff_t) {}

std::string FormatDiagnostic(const char* module, const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  return module && *module ? std::string(module) + ": " + text : std::string(text);
}

// Messages libtiff sends to the process-wide handlers (paths that know no file) are dropped; the
// default handlers would print them on the terminal.
void DropMessage(const char*, const char*, va_list) {}

const bool globalHandlersInstalled = [] {
  TIFFSetErrorHandler(DropMessage);
  TIFFSetWarningHandler(DropMessage);
  TIFFSetErrorHandlerExt(nullptr);
  TIFFSetWarningHandlerExt(nullptr);
  return true;
}();

struct OptionsDeleter {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

} // namespace

TTiffFile::TTiffFile(TStream& stream, const char* mode) : stream_(stream) {
  (void)globalHandlersInstalled;
  std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
  if (!options) Fail("TIFFOpen");
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, this);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, this);
  // libtiff's own buffers (strips, tag arrays) stay within the picture memory limit too.
  const uint64_t limit = ImageLimits::MaxBytes();
  TIFFOpenOptionsSetMaxSingleMemAlloc(
      options.get(), static_cast<tmsize_t>(std::min<uint64_t>(
                         limit, static_cast<uint64_t>(std::numeric_limits<tmsize_t>::max()))));
  tif_ = TIFFClientOpenExt("", mode, &stream_, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                           MapProc, UnmapProc, options.get());
  if (!tif_) Fail("TIFFOpen");
}

TTiffFile::~TTiffFile() {
  if (tif_) TIFFClose(tif_);
}

int TTiffFile::OnError(TIFF*, void* user, const char* module, const char* format, va_list args) {
  static_cast<TTiffFile*>(user)->lastError_ = FormatDiagnostic(module, format, args);
  return 1;
}

int TTiffFile::OnWarning(TIFF*, void*, const char*, const char*, va_list) {
  // Warnings describe files libtiff could read all the same; nobody is told.
  return 1;
}

TTiffFile::TColorMap TTiffFile::RequiredColorMap() const {
  uint16_t* red = nullptr;
  uint16_t* green = nullptr;
  uint16_t* blue = nullptr;
  if (TIFFGetField(tif_, TIFFTAG_COLORMAP, &red, &green, &blue) != 1 || !red || !green || !blue)
    FailAtTag("TIFFGetField3", TIFFTAG_COLORMAP);
  return {red, green, blue};
}

void TTiffFile::SetIntField(uint32_t tag, uint32_t value) {
  if (TIFFSetField(tif_, tag, value) != 1) FailAtTag("TIFFSetIntField", tag);
}

void TTiffFile::SetFloatField(uint32_t tag, double value) {
  if (TIFFSetField(tif_, tag, value) != 1) FailAtTag("TIFFSetFloatField", tag);
}

void TTiffFile::SetTextField(uint32_t tag, const std::string& value) {
  if (TIFFSetField(tif_, tag, value.c_str()) != 1) FailAtTag("TIFFSetField", tag);
}

void TTiffFile::SetColorMap(uint16_t* red, uint16_t* green, uint16_t* blue) {
  if (TIFFSetField(tif_, TIFFTAG_COLORMAP, red, green, blue) != 1) Fail("TIFFSetColormap");
}

void TTiffFile::Flush() {
  if (TIFFFlush(tif_) != 1) Fail("TIFFWriteDirectory");
}

void TTiffFile::Fail(const std::string& step) const {
  throw ETiffError::AtStep(step, lastError_);
}

void TTiffFile::FailAtTag(const char* step, uint32_t tag) const {
  Fail(std::string(step) + ": Tag = " + std::to_string(tag));
}

} // namespace kestrel
