#pragma once
// The registry wrapper every settings operation goes through. It raises ENewReg with the system's
// result code when an open, write, close or delete fails.

#include "platform/registry/RegistryFile.h"

#include <QString>

#include <optional>
#include <stdexcept>
#include <vector>

namespace kestrel {

class ENewReg : public std::runtime_error {
public:
  explicit ENewReg(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// A key opened by the wrapper.
struct TRegKey {
  TRootKey Root = TRootKey::LocalMachine;
  QString Path;
  bool Open = false;
};

// The kinds of data as the wrapper reports them.
enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = TRegDataType::rdUnknown;
  int DataSize = 0;
};

class TNewRegistry {
public:
  // RootKey starts as HKEY_LOCAL_MACHINE; the store lives in the user's settings file.
  TNewRegistry();
  explicit TNewRegistry(const TRegistryFile& store);

  TRegKey Key;
  TRootKey RootKey = TRootKey::LocalMachine;
  long LastError = kErrorSuccess;

  // Opens the key under RootKey, creating it when it is missing.
  void OpenKey(const QString& path);
  void CloseKey();
  void DeleteKey(const QString& path);
  void WriteString(const QString& name, const QString& text);
  void WriteInteger(const QString& name, int value);

  bool GetDataInfo(const QString& name, TRegDataInfo& info) const;
  int GetDataSize(const QString& name) const;
  TRegDataType GetDataType(const QString& name) const;
  // Reads the value of the open key into buffer and reports its kind; "Bum Data" when it cannot.
  TRegDataType GetData(const QString& name, TRegValue& buffer) const;
  QString ReadString(const QString& name) const;
  int ReadInteger(const QString& name) const;
  bool ValueExists(const QString& name) const;

  std::optional<TRegKey> GetKey(const QString& path) const;
  bool KeyExists(const QString& path) const;
  bool KeyExistsUnder(TRootKey root, const QString& path) const;
  // Information of the open key; all zero and false on failure.
  bool GetKeyInfo(TRegKeyInfo& info) const;
  // The names of the open key's direct sub-keys.
  std::vector<QString> GetKeyNames() const;

private:
  void Check(long result, const char* message);
  void WriteValue(const QString& name, const TRegValue& value, const char* message);
  std::optional<TRegValue> Query(const QString& name) const;

  TRegistryFile Store;
};

} // namespace kestrel
