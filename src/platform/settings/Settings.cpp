#include "platform/settings/Settings.h"

namespace kestrel {
namespace {

TNewRegistry UserRegistry() {
  TNewRegistry registry;
  registry.RootKey = TRootKey::CurrentUser;
  return registry;
}

} // namespace

QString SectionPath(const QString& section) {
  return "Software\\Brackwell\\Kestrel\\" + section;
}

bool ReadSetting(const QString& section, const QString& name, TSettingValue& value) {
  TNewRegistry registry = UserRegistry();
  const QString path = SectionPath(section);
  const bool keyExisted = registry.KeyExists(path);
  try {
    registry.OpenKey(path);
  } catch (const ENewReg&) {
    return false;
  }
  if (keyExisted && registry.ValueExists(name)) {
    if (std::holds_alternative<int>(value))
      value = registry.ReadInteger(name);
    else
      value = registry.ReadString(name);
  } else if (const int* number = std::get_if<int>(&value)) {
    registry.WriteInteger(name, *number);
  } else {
    registry.WriteString(name, std::get<QString>(value));
  }
  registry.CloseKey();
  return true;
}

void WriteSetting(const QString& section, const QString& name, const TSettingValue& value) {
  TNewRegistry registry = UserRegistry();
  registry.OpenKey(SectionPath(section));
  if (const int* number = std::get_if<int>(&value))
    registry.WriteInteger(name, *number);
  else
    registry.WriteString(name, std::get<QString>(value));
  registry.CloseKey();
}

void DeleteSection(const QString& section) {
  try {
    UserRegistry().DeleteKey(SectionPath(section));
  } catch (const ENewReg&) {
  }
}

void ReplaceSection(const QString& section,
                    const std::vector<std::pair<QString, TSettingValue>>& values) {
  std::vector<std::pair<QString, TRegValue>> wanted;
  for (const auto& [name, value] : values) {
    const int* number = std::get_if<int>(&value);
    wanted.emplace_back(name, number ? TRegValue::Integer(*number)
                                     : TRegValue::String(std::get<QString>(value)));
  }
  const QString path = SectionPath(section);
  const long result = TRegistryFile().Modify([&](TRegistryDocument& document, bool* changed) {
    if (document.KeyExists(TRootKey::CurrentUser, path) &&
        document.Values(TRootKey::CurrentUser, path) == wanted)
      return kErrorSuccess;
    document.DeleteKey(TRootKey::CurrentUser, path);
    document.CreateKey(TRootKey::CurrentUser, path);
    for (const auto& [name, value] : wanted)
      document.SetValue(TRootKey::CurrentUser, path, name, value, nullptr);
    *changed = true;
    return kErrorSuccess;
  });
  if (result != kErrorSuccess)
    throw ENewReg("Failed to Write Registry String: #" + QString::number(result));
}

TRegKeyInfo ListSection(const QString& section) {
  TNewRegistry registry = UserRegistry();
  registry.OpenKey(SectionPath(section));
  TRegKeyInfo info;
  registry.GetKeyInfo(info);
  registry.CloseKey();
  return info;
}

QString ReadSetting(const TSettingKey& key, const QString& defaultText) {
  TSettingValue value = defaultText;
  ReadSetting(key.Section, key.Name, value);
  return std::get<QString>(value);
}

int ReadSetting(const TSettingKey& key, int defaultValue) {
  TSettingValue value = defaultValue;
  ReadSetting(key.Section, key.Name, value);
  return std::get<int>(value);
}

bool ReadFlag(const TSettingKey& key, bool defaultOn) {
  return ReadSetting(key, FlagText(defaultOn)) == "TRUE";
}

void WriteSetting(const TSettingKey& key, const TSettingValue& value) {
  WriteSetting(key.Section, key.Name, value);
}

void WriteFlag(const TSettingKey& key, bool on) {
  WriteSetting(key, FlagText(on));
}

} // namespace kestrel
