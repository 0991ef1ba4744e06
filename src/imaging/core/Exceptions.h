#pragma once
// Exception classes of the image library. Every failure inside the image model and the codecs is
// one of these, carrying a fixed English message; the user interface shows the message (and, for
// errors nobody expected, the class name).

#include <stdexcept>
#include <string>

namespace kestrel {

// The base of every error the program raises itself.
class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  // Name of the most derived class, for the application-wide handler's message.
  virtual const char* className() const noexcept { return "Exception"; }
};

#define KESTREL_EXCEPTION_CLASS(Name, Base)                                                        \
  class Name : public Base {                                                                       \
  public:                                                                                          \
    explicit Name(const std::string& message) : Base(message) {}                                   \
    const char* className() const noexcept override { return #Name; }                              \
  };

// Errors of system bitmaps, the clipboard and graphic conversions.
KESTREL_EXCEPTION_CLASS(EInvalidGraphic, Exception)
// An operation a graphic cannot do in its present state (a scan line out of range, say).
KESTREL_EXCEPTION_CLASS(EInvalidGraphicOperation, Exception)
// File and stream failures (cannot open, short read on a stream that must deliver).
KESTREL_EXCEPTION_CLASS(EStreamError, Exception)
// Errors of the device-independent image model itself.
KESTREL_EXCEPTION_CLASS(EZeduziziError, Exception)
// An assignment between two classes that cannot be converted ("Cannot assign a X to a Y").
KESTREL_EXCEPTION_CLASS(EConvertError, Exception)
// Memory for pixels could not be had.
KESTREL_EXCEPTION_CLASS(EOutOfMemory, Exception)

// What a C library's abnormal exit, failed assertion or long jump becomes: the base exception with
// "C RTL exit called", "C RTL assert failed: " + diagnostic, "Error: C RTL longjmp called".
[[noreturn]] void RaiseCRuntimeExit();
[[noreturn]] void RaiseCRuntimeAssert(const std::string& diagnostic);
[[noreturn]] void RaiseCRuntimeLongjmp();

// message with the system's text for errorNumber appended ("Stream write error: No space left on
// device"); message itself when errorNumber is 0 or the message already says it.
std::string WithSystemReason(const std::string& message, int errorNumber);

// printf-style formatting for the messages that carry a number or a name ("Frame %d does not
// exist").
std::string formatMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace kestrel
