#pragma once
// The run-time errors the file view raises: a folder that cannot be entered or read, and an
// operation that is not valid in the present state.

#include <QString>

#include <stdexcept>

namespace kestrel {

class EInOutError : public std::runtime_error {
public:
  EInOutError(const QString& message, int errorCode)
      : std::runtime_error(message.toStdString()), ErrorCode(errorCode) {}
  int ErrorCode; // the system's error number
};

class EInvalidOperation : public std::runtime_error {
public:
  explicit EInvalidOperation(const QString& message) : std::runtime_error(message.toStdString()) {}
};

} // namespace kestrel
