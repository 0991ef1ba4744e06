#pragma once
// TTiffFile: one libtiff handle opened over a TStream. libtiff reads, writes, seeks and sizes
// through the stream (offsets count from the stream's start); memory mapping is refused. What
// libtiff says while the file is open is kept here (the last error goes with the ETiffError it
// leads to) and never reaches the terminal. The handle is closed by the destructor, also when an
// error passes.
//
// Field access raises ETiffError with the failing step, the tag number following it:
// "TIFFGetField: Tag = ", "TIFFGetField3: Tag = " (three-valued fields), "TIFFSetIntField: Tag = ",
// "TIFFSetFloatField: Tag = ", "TIFFSetField: Tag = " (text), and "TIFFSetColormap".

#include "imaging/tiff/TiffError.h"

#include <tiffio.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kestrel {

class TStream;

class TTiffFile {
public:
  // mode is "r", "w" or "a". Raises ETiffError "TIFFOpen" when libtiff refuses the stream.
  TTiffFile(TStream& stream, const char* mode);
  ~TTiffFile();
  TTiffFile(const TTiffFile&) = delete;
  TTiffFile& operator=(const TTiffFile&) = delete;

  TIFF* Handle() const { return tif_; }

  // A field's value, or nothing when the directory does not have it. T must be the type libtiff
  // gives for the tag (uint16_t, uint32_t or float).
  template <class T> std::optional<T> Field(uint32_t tag) const {
    T value{};
    if (TIFFGetField(tif_, tag, &value) != 1) return std::nullopt;
    return value;
  }
  // A field the directory must have; raises "TIFFGetField: Tag = <tag>" when it has not.
  template <class T> T RequiredField(uint32_t tag) const {
    const std::optional<T> value = Field<T>(tag);
    if (!value) FailAtTag("TIFFGetField", tag);
    return *value;
  }
  // The three 16-bit arrays of a colour map (1 << BitsPerSample entries each); raises
  // "TIFFGetField3: Tag = 320" when the directory has none.
  struct TColorMap {
    const uint16_t* Red;
    const uint16_t* Green;
    const uint16_t* Blue;
  };
  TColorMap RequiredColorMap() const;

  void SetIntField(uint32_t tag, uint32_t value);
  void SetFloatField(uint32_t tag, double value);
  void SetTextField(uint32_t tag, const std::string& value);
  // Each array must hold 1 << BitsPerSample entries (BitsPerSample is set first).
  void SetColorMap(uint16_t* red, uint16_t* green, uint16_t* blue);

  // Writes what is still buffered and the directory; raises "TIFFWriteDirectory" on failure.
  void Flush();

  // Raises ETiffError for step, with the last error libtiff reported.
  [[noreturn]] void Fail(const std::string& step) const;
  [[noreturn]] void FailAtTag(const char* step, uint32_t tag) const;
  // The last error libtiff reported for this file ("" when none).
  const std::string& LastError() const { return lastError_; }

private:
  static int OnError(TIFF*, void* user, const char* module, const char* format, va_list args);
  static int OnWarning(TIFF*, void* user, const char* module, const char* format, va_list args);

  TStream& stream_;
  TIFF* tif_ = nullptr;
  std::string lastError_;
};

} // namespace kestrel
