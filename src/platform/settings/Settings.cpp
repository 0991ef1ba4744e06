#include "platform/settings/Settings.h"

namespace kestrel {
namespace {

using TSettingRead = bool (*)(const QString&, const QString&, TSettingValue&);

// A read through one of the store's operations, of the default's kind.
template <typename T> T Typed(const TSettingKey& key, T defaultValue, TSettingRead read) {
  TSettingValue value = defaultValue;
  read(key.Section, key.Name, value);
  return std::get<T>(value);
}

TNewRegistry UserRegistry() {
  TNewRegistry registry;
  registry.RootKey = TRootKey::CurrentUser;
  return registry;
}

QString Shown(const TSettingValue& value) {
  if (const int* number = std::get_if<int>(&value)) return QString::number(*number);
  return "\"" + std::get<QString>(value) + "\"";
}

// A value of the other kind cannot be used, but it is no reason not to start: the user is told,
// and the default stands in for it. The stored value stays until the setting is next written.
void ReportWrongKind(const QString& section, const QString& name, const TSettingValue& value) {
  TRegValue stored;
  TNewRegistry registry = UserRegistry();
  QString what = "a value of another kind";
  try {
    registry.OpenKey(SectionPath(section));
    if (registry.GetData(name, stored) == TRegDataType::rdInteger)
      what = "the number " + QString::number(qint32(stored.Number));
    else if (stored.Type == kRegSz || stored.Type == kRegExpandSz)
      what = "the text \"" + stored.Text.left(200) + "\"";
  } catch (const ENewReg&) {
  }
  const bool wantsNumber = std::holds_alternative<int>(value);
  TRegistryFile::Report("The setting \"" + name + "\" in\r[" +
                        RegistryRootName(TRootKey::CurrentUser) + "\\" + SectionPath(section) +
                        "]\rholds " + what + " where " + (wantsNumber ? "a number" : "a text") +
                        " belongs.\rKestrel uses its default, " + Shown(value) + ", instead.");
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
    try {
      if (std::holds_alternative<int>(value))
        value = registry.ReadInteger(name);
      else
        value = registry.ReadString(name);
    } catch (const ENewReg&) {
      ReportWrongKind(section, name, value);
    }
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

bool PeekSetting(const QString& section, const QString& name, TSettingValue& value) {
  const auto document = TRegistryFile().Snapshot();
  const TRegValue* stored = document->Value(TRootKey::CurrentUser, SectionPath(section), name);
  if (!stored) return false;
  const bool number = std::holds_alternative<int>(value);
  if (number != (stored->Type == kRegDword) ||
      (!number && stored->Type != kRegSz && stored->Type != kRegExpandSz))
    throw ENewReg("Read Error: " + name);
  if (number)
    value = qint32(stored->Number);
  else
    value = stored->Text.section(QChar(0), 0, 0); // as ReadString cuts it
  return true;
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
  const long result = TRegistryFile().Modify([path, wanted](TRegistryDocument& document,
                                                           bool* changed) {
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
  TRegKeyInfo info;
  try {
    registry.OpenKey(SectionPath(section));
    registry.GetKeyInfo(info);
    registry.CloseKey();
  } catch (const ENewReg&) {
    // A section that cannot be opened lists nothing.
  }
  return info;
}

QString ReadSetting(const TSettingKey& key, const QString& defaultText) {
  return Typed(key, defaultText, static_cast<TSettingRead>(ReadSetting));
}

int ReadSetting(const TSettingKey& key, int defaultValue) {
  return Typed(key, defaultValue, static_cast<TSettingRead>(ReadSetting));
}

bool ReadFlag(const TSettingKey& key, bool defaultOn) {
  return ReadSetting(key, FlagText(defaultOn)) == "TRUE";
}

QString PeekSetting(const TSettingKey& key, const QString& defaultText) {
  return Typed(key, defaultText, static_cast<TSettingRead>(PeekSetting));
}

int PeekSetting(const TSettingKey& key, int defaultValue) {
  return Typed(key, defaultValue, static_cast<TSettingRead>(PeekSetting));
}

bool PeekFlag(const TSettingKey& key, bool defaultOn) {
  return PeekSetting(key, FlagText(defaultOn)) == "TRUE";
}

void WriteSetting(const TSettingKey& key, const TSettingValue& value) {
  WriteSetting(key.Section, key.Name, value);
}

void WriteFlag(const TSettingKey& key, bool on) {
  WriteSetting(key, FlagText(on));
}

} // namespace kestrel
