#pragma once
// ETiffError: failures of the TIFF codec. Its message is the class name, a space and the step that
// failed ("ETiffError TIFFOpen", "ETiffError TIFFGetField: Tag = 256"); the one exception is the
// refusal of an unknown compression, whose message is just "Unsupported compression tag, <n>".
// What libtiff itself said about the failure, if anything, is kept apart in LibraryMessage.

#include "imaging/core/Exceptions.h"

#include <string>

namespace kestrel {

class ETiffError : public Exception {
public:
  explicit ETiffError(const std::string& message, std::string libraryMessage = {})
      : Exception(message), libraryMessage_(std::move(libraryMessage)) {}
  // The error of a failing step: "ETiffError " + step.
  static ETiffError AtStep(const std::string& step, std::string libraryMessage = {}) {
    return ETiffError("ETiffError " + step, std::move(libraryMessage));
  }

  const char* className() const noexcept override { return "ETiffError"; }
  const std::string& LibraryMessage() const { return libraryMessage_; }

private:
  std::string libraryMessage_;
};

} // namespace kestrel
