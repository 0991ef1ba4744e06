#pragma once
// The bridge between the bitmap module and TDibGraphic: reads a module file into a picture and
// writes a picture through the module. The file name only picks the format ("File.pcx").
// Failures raise EBmodError with the stage's message ("bmod_read_header failed.") and keep the
// module's reason for the curious.

#include "imaging/bmod/BmodFile.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Graphic.h"

#include <string>

namespace kestrel {

class TDibGraphic;

class EBmodError : public Exception {
public:
  explicit EBmodError(const std::string& message, std::string reason = {})
      : Exception(message), reason_(std::move(reason)) {}
  const char* className() const noexcept override { return "EBmodError"; }
  // What the module said, when it said something ("corrupt file trailer").
  const std::string& Reason() const { return reason_; }

private:
  std::string reason_;
};

// Reads the image at offset 0 of file into picture (NewImage, then the pixels; the resolution
// when the format stores one). Raises EBmodError "bmod_guess_filetype failed.",
// "bmod_read_header failed.", "Internal error: Invalid image format" or "bmod_read_data failed.".
// A failed read of the data leaves the picture as NewImage made it.
void BmodReadImage(TDibGraphic& picture, TBmodFile& file, const std::string& fileName);
// The size, bits per pixel and palette entries from the header alone (same errors).
TImageInfo BmodReadInfo(TBmodFile& file, const std::string& fileName);
// Writes picture at offset 0 of file; raises EBmodError "bmod_guess_filetype failed." or
// "bmod_write failed.".
void BmodWriteImage(const TDibGraphic& picture, TBmodFile& file, const std::string& fileName);

} // namespace kestrel
