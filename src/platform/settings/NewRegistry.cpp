#include "platform/settings/NewRegistry.h"

namespace kestrel {
namespace {

TRegDataType KindOf(quint32 type) {
  switch (type) {
  case kRegSz:
    return TRegDataType::rdString;
  case kRegExpandSz:
    return TRegDataType::rdExpandString;
  case kRegDword:
    return TRegDataType::rdInteger;
  case kRegBinary:
    return TRegDataType::rdBinary;
  default:
    return TRegDataType::rdUnknown;
  }
}

} // namespace

TNewRegistry::TNewRegistry() = default;

TNewRegistry::TNewRegistry(const TRegistryFile& store) : Store(store) {}

void TNewRegistry::Check(long result, const char* message) {
  LastError = result;
  if (result != kErrorSuccess) throw ENewReg(QString(message) + QString::number(result));
}

void TNewRegistry::OpenKey(const QString& path) {
  const TRootKey root = RootKey;
  // Opening a key that exists changes nothing, so it needs no lock.
  const long result = Store.Snapshot()->KeyExists(root, path)
                          ? kErrorSuccess
                          : Store.Modify([root, path](TRegistryDocument& document, bool* changed) {
                              *changed = document.CreateKey(root, path);
                              return kErrorSuccess;
                            });
  if (result == kErrorSuccess) Key = TRegKey{root, path, true};
  Check(result, "Failed to Open Registry Key: #");
}

void TNewRegistry::CloseKey() {
  const long result = Key.Open ? kErrorSuccess : kErrorInvalidHandle;
  Key.Open = false;
  Check(result, "Failed to Close Registry Key: #");
}

void TNewRegistry::DeleteKey(const QString& path) {
  const TRootKey root = RootKey;
  const long result = Store.Modify([root, path](TRegistryDocument& document, bool* changed) {
    const long deleted = document.DeleteKey(root, path);
    *changed = deleted == kErrorSuccess;
    return deleted;
  });
  Check(result, "Failed to Delete Registry Key: #");
}

void TNewRegistry::WriteValue(const QString& name, const TRegValue& value, const char* message) {
  const TRegKey key = Key;
  const long result = !key.Open
                          ? kErrorInvalidHandle
                          : Store.Modify([key, name, value](TRegistryDocument& document,
                                                            bool* changed) {
                              return document.SetValue(key.Root, key.Path, name, value, changed);
                            });
  Check(result, message);
}

void TNewRegistry::WriteString(const QString& name, const QString& text) {
  WriteValue(name, TRegValue::String(text), "Failed to Write Registry String: #");
}

void TNewRegistry::WriteInteger(const QString& name, int value) {
  WriteValue(name, TRegValue::Integer(value), "Failed to Write Registry Integer: #");
}

std::optional<TRegValue> TNewRegistry::Query(const QString& name) const {
  if (!Key.Open) return std::nullopt;
  const auto document = Store.Snapshot();
  const TRegValue* value = document->Value(Key.Root, Key.Path, name);
  if (!value) return std::nullopt;
  return *value;
}

bool TNewRegistry::GetDataInfo(const QString& name, TRegDataInfo& info) const {
  const auto value = Query(name);
  info = value ? TRegDataInfo{KindOf(value->Type), value->DataSize()} : TRegDataInfo{};
  return value.has_value();
}

int TNewRegistry::GetDataSize(const QString& name) const {
  TRegDataInfo info;
  return GetDataInfo(name, info) ? info.DataSize : -1;
}

TRegDataType TNewRegistry::GetDataType(const QString& name) const {
  TRegDataInfo info;
  GetDataInfo(name, info);
  return info.RegData;
}

TRegDataType TNewRegistry::GetData(const QString& name, TRegValue& buffer) const {
  const auto value = Query(name);
  if (!value) throw ENewReg("Bum Data");
  buffer = *value;
  return KindOf(value->Type);
}

QString TNewRegistry::ReadString(const QString& name) const {
  if (GetDataSize(name) <= 0) return {};
  TRegValue value;
  const TRegDataType kind = GetData(name, value);
  if (kind != TRegDataType::rdString && kind != TRegDataType::rdExpandString)
    throw ENewReg("Read Error: " + name);
  const qsizetype zero = value.Text.indexOf(QChar(0));
  return zero < 0 ? value.Text : value.Text.left(zero);
}

int TNewRegistry::ReadInteger(const QString& name) const {
  TRegValue value;
  if (GetData(name, value) != TRegDataType::rdInteger) throw ENewReg("Read Error: " + name);
  return qint32(value.Number);
}

bool TNewRegistry::ValueExists(const QString& name) const {
  TRegDataInfo info;
  return GetDataInfo(name, info);
}

std::optional<TRegKey> TNewRegistry::GetKey(const QString& path) const {
  if (!KeyExistsUnder(RootKey, path)) return std::nullopt;
  return TRegKey{RootKey, path, true};
}

bool TNewRegistry::KeyExists(const QString& path) const {
  return GetKey(path).has_value();
}

bool TNewRegistry::KeyExistsUnder(TRootKey root, const QString& path) const {
  return Store.Snapshot()->KeyExists(root, path);
}

bool TNewRegistry::GetKeyInfo(TRegKeyInfo& info) const {
  info = TRegKeyInfo();
  if (!Key.Open) return false;
  const auto found = Store.Snapshot()->KeyInfo(Key.Root, Key.Path);
  if (!found) return false;
  info = *found;
  info.FileTime = Store.LastWriteTime();
  return true;
}

std::vector<QString> TNewRegistry::GetKeyNames() const {
  if (!Key.Open) return {};
  return Store.Snapshot()->SubKeyNames(Key.Root, Key.Path);
}

} // namespace kestrel
