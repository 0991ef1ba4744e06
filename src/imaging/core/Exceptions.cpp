#include "imaging/core/Exceptions.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace kestrel {

std::string WithSystemReason(const std::string& message, int errorNumber) {
  if (errorNumber == 0) return message;
  char buffer[256];
  const std::string reason = strerror_r(errorNumber, buffer, sizeof buffer);
  if (message.find(reason) != std::string::npos) return message;
  return message + (message.ends_with('.') ? " " : ": ") + reason;
}

std::string formatMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<size_t>(length));
  }
  va_end(args);
  return text;
}

void RaiseCRuntimeExit() {
  throw Exception("C RTL exit called");
}

void RaiseCRuntimeAssert(const std::string& diagnostic) {
  throw Exception("C RTL assert failed: " + diagnostic);
}

void RaiseCRuntimeLongjmp() {
  throw Exception("Error: C RTL longjmp called");
}

} // namespace kestrel
