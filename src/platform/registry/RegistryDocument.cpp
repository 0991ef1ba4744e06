#include "platform/registry/RegistryDocument.h"

#include <QStringList>

namespace kestrel {
namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";
const QChar kSeparatorInMap(1); // sorts below every name character, so sub-keys follow parents
// The export format wraps hex data after this column.
constexpr int kWrapColumn = 76;

// "a\\b\\\\c\\" -> "a\\b\\c": the registry ignores empty components.
QString NormalPath(const QString& path) {
  return path.split('\\', Qt::SkipEmptyParts).join('\\');
}

// The text of a REG_SZ or REG_EXPAND_SZ in hex form: UTF-16LE with a terminating zero.
QByteArray Utf16Bytes(const QString& text) {
  QByteArray bytes;
  bytes.reserve((text.size() + 1) * 2);
  for (QChar c : text) {
    bytes.append(char(c.unicode() & 0xFF));
    bytes.append(char(c.unicode() >> 8));
  }
  bytes.append(2, '\0');
  return bytes;
}

// The name as names compare: case folded. Names are mostly ASCII, which needs no tables.
QString Folded(const QString& name) {
  QString folded(name.size(), Qt::Uninitialized);
  QChar* out = folded.data();
  for (QChar c : name) {
    const char16_t u = c.unicode();
    if (u >= 0x80) return name.toCaseFolded();
    *out++ = QChar(u >= 'A' && u <= 'Z' ? char16_t(u + ('a' - 'A')) : u);
  }
  return folded;
}

// Control characters, and halves of a surrogate pair standing alone (UTF-8 cannot carry them), are
// written as UTF-16 bytes.
bool NeedsHexForm(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.unicode() < 0x20 || c.isLowSurrogate()) return true;
    if (!c.isHighSurrogate()) continue;
    if (i + 1 == text.size() || !text[i + 1].isLowSurrogate()) return true;
    ++i;
  }
  return false;
}

void AppendQuoted(QByteArray& out, const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  out += '"';
  if (!utf8.contains('\\') && !utf8.contains('"')) {
    out += utf8;
  } else {
    for (char c : utf8) {
      if (c == '\\' || c == '"') out += '\\';
      out += c;
    }
  }
  out += '"';
}

// "hex(N):aa,bb,..." wrapped as the export format wraps long data; column is where it starts.
void AppendHexData(QByteArray& out, const char* prefix, const QByteArray& bytes, qsizetype column) {
  static const char kDigits[] = "0123456789abcdef";
  out += prefix;
  column += qsizetype(qstrlen(prefix));
  out.reserve(out.size() + bytes.size() * 3 + bytes.size() / 20 * 4);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (i > 0) {
      out += ',';
      if (++column > kWrapColumn) {
        out += "\\\n  ";
        column = 2;
      }
    }
    const auto byte = quint8(bytes[i]);
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
    column += 2;
  }
}

void AppendValueData(QByteArray& out, const TRegValue& value, qsizetype column) {
  switch (value.Type) {
  case kRegSz:
    if (!NeedsHexForm(value.Text)) return AppendQuoted(out, value.Text);
    return AppendHexData(out, "hex(1):", Utf16Bytes(value.Text), column);
  case kRegExpandSz:
    return AppendHexData(out, "hex(2):", Utf16Bytes(value.Text), column);
  case kRegDword:
    out += QByteArray("dword:") + QByteArray::number(value.Number, 16).rightJustified(8, '0');
    return;
  case kRegBinary:
    return AppendHexData(out, "hex:", value.Bytes, column);
  default:
    return AppendHexData(out, QString::asprintf("hex(%x):", value.Type).toLatin1().constData(),
                         value.Bytes, column);
  }
}

} // namespace

const char* RegistryRootName(TRootKey root) {
  return root == TRootKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

int TRegValue::DataSize() const {
  switch (Type) {
  case kRegSz:
  case kRegExpandSz:
    return int(Text.toUtf8().size()) + 1;
  case kRegDword:
    return 4;
  default:
    return int(Bytes.size());
  }
}

TRegistryDocument::TRegistryDocument() = default;

TRegistryDocument::TRegistryDocument(const TRegistryDocument& other) {
  std::lock_guard lock(*other.ParseLock);
  Keys = other.Keys;
}

TRegistryDocument::TRegistryDocument(TRegistryDocument&& other) noexcept
    : Keys(std::move(other.Keys)) {}

TRegistryDocument& TRegistryDocument::operator=(const TRegistryDocument& other) {
  if (this != &other) {
    std::scoped_lock lock(*ParseLock, *other.ParseLock);
    Keys = other.Keys;
  }
  return *this;
}

TRegistryDocument& TRegistryDocument::operator=(TRegistryDocument&& other) noexcept {
  Keys = std::move(other.Keys);
  return *this;
}

const TRegistryDocument::TKey& TRegistryDocument::Ready(const TKey& key) const {
  std::lock_guard lock(*ParseLock);
  if (!key.Parsed) {
    ParseText(key);
    key.Parsed = true;
  }
  return key;
}

const TRegValue* TRegistryDocument::TKey::Find(const QString& name) const {
  const auto it = Index.constFind(Folded(name));
  return it == Index.constEnd() ? nullptr : &Values[*it - 1].second;
}

QString TRegistryDocument::MapKey(const QString& fullPath) {
  QString key = Folded(fullPath);
  key.replace('\\', kSeparatorInMap);
  return key;
}

QString TRegistryDocument::FullPath(TRootKey root, const QString& path) {
  const QString normal = NormalPath(path);
  const QString rootName = RegistryRootName(root);
  return normal.isEmpty() ? rootName : rootName + '\\' + normal;
}

TRegistryDocument::TKey& TRegistryDocument::AddKey(const QString& fullPath) {
  TKey key;
  key.Path = fullPath;
  return Keys.try_emplace(MapKey(fullPath), std::move(key)).first->second;
}

TRegistryDocument::TKey* TRegistryDocument::StoredKey(const QString& fullPath) {
  const auto it = Keys.find(MapKey(fullPath));
  if (it != Keys.end()) return &it->second;
  return HasSubKeys(fullPath) ? &AddKey(fullPath) : nullptr;
}

bool TRegistryDocument::HasSubKeys(const QString& fullPath) const {
  const QString prefix = MapKey(fullPath) + kSeparatorInMap;
  const auto it = Keys.lower_bound(prefix);
  return it != Keys.end() && it->first.startsWith(prefix);
}

QByteArray TRegistryDocument::Serialize() const {
  std::lock_guard lock(*ParseLock);
  QByteArray out = QByteArray(kHeader) + "\n";
  for (const auto& [mapKey, key] : Keys) {
    const bool hasValues = key.Parsed ? !key.Values.empty() : key.HasValues;
    if (!hasValues && HasSubKeys(key.Path)) continue; // implied by its sub-keys
    out += "\n[" + key.Path.toUtf8() + "]\n";
    if (key.Verbatim) {
      out += key.Text;
      continue;
    }
    for (const auto& [name, value] : key.Values) {
      const qsizetype start = out.size();
      if (name.isEmpty())
        out += '@';
      else
        AppendQuoted(out, name);
      out += '=';
      AppendValueData(out, value, out.size() - start);
      out += '\n';
    }
  }
  return out;
}

bool TRegistryDocument::PutValue(const TKey& key, const QString& name, const TRegValue& value) {
  // One look-up: a new name finds 0 and takes its place, counted from 1.
  size_t& place = key.Index[Folded(name)];
  if (place == 0) {
    key.Values.emplace_back(name, value);
    place = key.Values.size();
    return true;
  }
  TRegValue& stored = key.Values[place - 1].second;
  const bool changed = !(stored == value);
  stored = value;
  return changed;
}

bool TRegistryDocument::KeyExists(TRootKey root, const QString& path) const {
  if (NormalPath(path).isEmpty()) return true;
  const QString full = FullPath(root, path);
  return Keys.count(MapKey(full)) > 0 || HasSubKeys(full);
}

bool TRegistryDocument::CreateKey(TRootKey root, const QString& path) {
  if (KeyExists(root, path)) return false;
  AddKey(FullPath(root, path));
  return true;
}

long TRegistryDocument::DeleteKey(TRootKey root, const QString& path) {
  const QString full = FullPath(root, path);
  if (HasSubKeys(full)) return kErrorAccessDenied;
  const auto it = Keys.find(MapKey(full));
  if (it == Keys.end()) return kErrorFileNotFound;
  // The parent stays, as in the registry, even when it existed only through this key.
  const QString parent = it->second.Path.section('\\', 0, -2);
  Keys.erase(it);
  if (!parent.isEmpty()) AddKey(parent);
  return kErrorSuccess;
}

const TRegValue* TRegistryDocument::Value(TRootKey root, const QString& path,
                                          const QString& name) const {
  const auto it = Keys.find(MapKey(FullPath(root, path)));
  return it == Keys.end() ? nullptr : Ready(it->second).Find(name);
}

long TRegistryDocument::SetValue(TRootKey root, const QString& path, const QString& name,
                                 const TRegValue& value, bool* changed) {
  if (changed) *changed = false;
  TKey* key = StoredKey(FullPath(root, path));
  if (!key) return kErrorFileNotFound;
  const bool isChanged = PutValue(Ready(*key), name, value);
  if (isChanged) {
    key->Verbatim = false;
    key->Text.clear();
  }
  if (changed) *changed = isChanged;
  return kErrorSuccess;
}

std::vector<std::pair<QString, TRegValue>> TRegistryDocument::Values(TRootKey root,
                                                                     const QString& path) const {
  const auto it = Keys.find(MapKey(FullPath(root, path)));
  return it == Keys.end() ? std::vector<std::pair<QString, TRegValue>>() : Ready(it->second).Values;
}

std::optional<TRegKeyInfo> TRegistryDocument::KeyInfo(TRootKey root, const QString& path) const {
  const QString full = FullPath(root, path);
  if (!KeyExists(root, path)) return std::nullopt;
  TRegKeyInfo info;
  for (const QString& name : SubKeyNames(root, path)) {
    ++info.NumSubKeys;
    info.MaxSubKeyLen = std::max(info.MaxSubKeyLen, int(name.size()));
  }
  const auto it = Keys.find(MapKey(full));
  if (it == Keys.end()) return info;
  for (const auto& [name, value] : Ready(it->second).Values) {
    ++info.NumValues;
    info.MaxValueLen = std::max(info.MaxValueLen, int(name.size()));
    info.MaxDataLen = std::max(info.MaxDataLen, value.DataSize());
  }
  return info;
}

std::vector<QString> TRegistryDocument::SubKeyNames(TRootKey root, const QString& path) const {
  // Every key below this one names a sub-key by its first component; those of one sub-key follow
  // each other in the map.
  const QString full = FullPath(root, path);
  const QString prefix = MapKey(full) + kSeparatorInMap;
  const qsizetype depth = full.count('\\') + 1;
  std::vector<QString> names;
  QString last;
  for (auto it = Keys.lower_bound(prefix); it != Keys.end() && it->first.startsWith(prefix); ++it) {
    const QString child = it->first.mid(prefix.size()).section(kSeparatorInMap, 0, 0);
    if (child == last) continue;
    last = child;
    names.push_back(it->second.Path.section('\\', int(depth), int(depth)));
  }
  return names;
}

} // namespace kestrel
