#include "platform/registry/RegistryDocument.h"

#include <QStringDecoder>
#include <QStringList>

namespace kestrel {
namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";
const QChar kSeparatorInMap(1); // sorts below every name character, so sub-keys follow parents

const char* RootName(TRootKey root) {
  return root == TRootKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

// "a\\b\\\\c\\" -> "a\\b\\c": the registry ignores empty components.
QString NormalPath(const QString& path) {
  return path.split('\\', Qt::SkipEmptyParts).join('\\');
}

QString LastComponent(const QString& path) {
  return path.section('\\', -1);
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

// The text of UTF-16LE bytes without the one terminating zero; zeros inside stay, as the registry
// keeps them (reading a text stops at the first).
std::optional<QString> TextFromUtf16(const QByteArray& bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  QString text;
  for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
    text.append(QChar(char16_t(quint8(bytes[i]) | (quint8(bytes[i + 1]) << 8))));
  if (text.endsWith(QChar(0))) text.chop(1);
  return text;
}

// Raw control characters never stand in a line the export format writes.
bool HasControlCharacter(const QString& line) {
  for (QChar c : line)
    if (c.unicode() < 0x20 && c != '\t') return true;
  return false;
}

bool NeedsHexForm(const QString& text) {
  for (QChar c : text)
    if (c.unicode() < 0x20) return true;
  return false;
}

QString Quoted(const QString& text) {
  QString out = "\"";
  for (QChar c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

// "hex(N):aa,bb,..." wrapped as the export format wraps long data.
QString HexData(const QString& prefix, const QByteArray& bytes, int column) {
  QString out = prefix;
  column += int(prefix.size());
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (i > 0) {
      out += ',';
      ++column;
      if (column > 76) {
        out += "\\\n  ";
        column = 2;
      }
    }
    out += QString::asprintf("%02x", quint8(bytes[i]));
    column += 2;
  }
  return out;
}

QString ValueData(const TRegValue& value, int column) {
  switch (value.Type) {
  case kRegSz:
    if (!NeedsHexForm(value.Text)) return Quoted(value.Text);
    return HexData("hex(1):", Utf16Bytes(value.Text), column);
  case kRegExpandSz:
    return HexData("hex(2):", Utf16Bytes(value.Text), column);
  case kRegDword:
    return QString::asprintf("dword:%08x", value.Number);
  case kRegBinary:
    return HexData("hex:", value.Bytes, column);
  default:
    return HexData(QString::asprintf("hex(%x):", value.Type), value.Bytes, column);
  }
}

// Reads a quoted string starting at line[pos] == '"'; pos ends after the closing quote.
std::optional<QString> ParseQuoted(const QString& line, qsizetype& pos) {
  QString text;
  for (++pos; pos < line.size(); ++pos) {
    const QChar c = line[pos];
    if (c == '"') {
      ++pos;
      return text;
    }
    if (c == '\\') {
      if (++pos >= line.size() || (line[pos] != '\\' && line[pos] != '"')) return std::nullopt;
    }
    text += line[pos];
  }
  return std::nullopt;
}

std::optional<QByteArray> ParseHexBytes(const QString& list) {
  QByteArray bytes;
  const QString compact = QString(list).remove(' ').remove('\t');
  if (compact.isEmpty()) return bytes;
  for (const QString& item : compact.split(',')) {
    bool ok = false;
    const uint byte = item.toUInt(&ok, 16);
    if (!ok || item.size() > 2 || byte > 0xFF) return std::nullopt;
    bytes.append(char(byte));
  }
  return bytes;
}

std::optional<TRegValue> ParseData(const QString& data) {
  if (data.startsWith('"')) {
    qsizetype pos = 0;
    auto text = ParseQuoted(data, pos);
    if (!text || !data.mid(pos).trimmed().isEmpty()) return std::nullopt;
    return TRegValue::String(*text);
  }
  if (data.startsWith("dword:", Qt::CaseInsensitive)) {
    const QString digits = data.mid(6).trimmed();
    bool ok = false;
    const uint number = digits.toUInt(&ok, 16);
    if (!ok || digits.isEmpty() || digits.size() > 8 || digits.startsWith('+')) return std::nullopt;
    return TRegValue{kRegDword, {}, number, {}};
  }
  quint32 type = kRegBinary;
  qsizetype listStart = 0;
  if (data.startsWith("hex:", Qt::CaseInsensitive)) {
    listStart = 4;
  } else if (data.startsWith("hex(", Qt::CaseInsensitive)) {
    const qsizetype close = data.indexOf("):");
    bool ok = false;
    type = data.mid(4, close - 4).toUInt(&ok, 16);
    if (close < 0 || !ok) return std::nullopt;
    listStart = close + 2;
  } else {
    return std::nullopt;
  }
  const auto bytes = ParseHexBytes(data.mid(listStart));
  if (!bytes) return std::nullopt;
  TRegValue value{type, {}, 0, {}};
  if (type == kRegSz || type == kRegExpandSz) {
    const auto text = TextFromUtf16(*bytes);
    if (!text) return std::nullopt;
    value.Text = *text;
  } else if (type == kRegDword) {
    if (bytes->size() != 4) return std::nullopt;
    for (int i = 3; i >= 0; --i)
      value.Number = (value.Number << 8) | quint8((*bytes)[i]);
  } else {
    value.Bytes = *bytes;
  }
  return value;
}

// "[HKEY_CURRENT_USER\\Software\\...]" -> the full path with the root's canonical name.
std::optional<QString> ParseKeyLine(const QString& line) {
  const QString inner = line.mid(1, line.size() - 2);
  for (TRootKey root : {TRootKey::CurrentUser, TRootKey::LocalMachine}) {
    const QString name = RootName(root);
    if (!inner.startsWith(name, Qt::CaseInsensitive)) continue;
    const QString rest = inner.mid(name.size());
    if (!rest.isEmpty() && !rest.startsWith('\\')) continue;
    const QString path = NormalPath(rest);
    return path.isEmpty() ? name : name + '\\' + path;
  }
  return std::nullopt;
}

// Joins lines continued by a trailing "\" (long hex data) into logical lines.
QStringList LogicalLines(const QString& text) {
  QStringList lines;
  QString pending;
  for (QString line : text.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    if (!pending.isEmpty()) line = pending + line.trimmed();
    pending.clear();
    if (line.endsWith('\\') && !line.startsWith('[') && line.contains("=hex")) {
      pending = line.left(line.size() - 1);
      continue;
    }
    lines.append(line);
  }
  if (!pending.isEmpty()) lines.append(pending);
  return lines;
}

} // namespace

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

QString TRegistryDocument::MapKey(const QString& fullPath) {
  QString key = fullPath.toCaseFolded();
  key.replace('\\', kSeparatorInMap);
  return key;
}

QString TRegistryDocument::FullPath(TRootKey root, const QString& path) {
  const QString normal = NormalPath(path);
  return normal.isEmpty() ? QString(RootName(root)) : QString(RootName(root)) + '\\' + normal;
}

TRegistryDocument::TKey& TRegistryDocument::AddKey(const QString& fullPath) {
  // The root itself is a key too: a file may give it values.
  const QStringList parts = fullPath.split('\\');
  TKey* key = nullptr;
  for (qsizetype n = 1; n <= parts.size(); ++n) {
    const QString prefix = parts.mid(0, n).join('\\');
    key = &Keys.try_emplace(MapKey(prefix), TKey{prefix, {}}).first->second;
  }
  return *key;
}

std::vector<const TRegistryDocument::TKey*>
TRegistryDocument::SubKeys(const QString& fullPath) const {
  std::vector<const TKey*> children;
  const QString prefix = MapKey(fullPath) + kSeparatorInMap;
  for (auto it = Keys.lower_bound(prefix); it != Keys.end() && it->first.startsWith(prefix); ++it)
    if (!it->first.mid(prefix.size()).contains(kSeparatorInMap)) children.push_back(&it->second);
  return children;
}

bool TRegistryDocument::HasSubKeys(const QString& fullPath) const {
  const QString prefix = MapKey(fullPath) + kSeparatorInMap;
  const auto it = Keys.lower_bound(prefix);
  return it != Keys.end() && it->first.startsWith(prefix);
}

std::optional<TRegistryDocument> TRegistryDocument::Parse(const QByteArray& bytes, QString* error) {
  auto fail = [error](int line, const QString& reason) {
    if (error) *error = QString("line %1: %2").arg(line).arg(reason);
    return std::nullopt;
  };
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder.decode(bytes);
  if (decoder.hasError()) return fail(0, "not UTF-8 text");
  TRegistryDocument document;
  bool headerSeen = false;
  TKey* current = nullptr;
  int number = 0;
  for (const QString& raw : LogicalLines(text)) {
    ++number;
    if (HasControlCharacter(raw)) return fail(number, "control character");
    const QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(';')) continue;
    if (!headerSeen) {
      if (line != kHeader) return fail(number, "not a settings file");
      headerSeen = true;
    } else if (line.startsWith('[') && line.endsWith(']')) {
      const auto path = ParseKeyLine(line);
      if (!path) return fail(number, "unknown key " + line);
      current = &document.AddKey(*path);
    } else if (line.startsWith('"') || line.startsWith("@=")) {
      qsizetype pos = 0;
      QString name;
      if (line.startsWith('"')) {
        const auto quoted = ParseQuoted(line, pos);
        if (!quoted) return fail(number, "bad value name");
        name = *quoted;
      } else {
        pos = 1;
      }
      if (pos >= line.size() || line[pos] != '=') return fail(number, "missing \"=\"");
      const auto value = ParseData(line.mid(pos + 1).trimmed());
      if (!value) return fail(number, "bad value data");
      if (!current) return fail(number, "value outside a key");
      PutValue(*current, name, *value);
    } else {
      return fail(number, "unexpected text");
    }
  }
  if (!headerSeen) return fail(number, "empty file");
  return document;
}

QByteArray TRegistryDocument::Serialize() const {
  QString out = QString(kHeader) + "\n";
  for (const auto& [mapKey, key] : Keys) {
    if (key.Values.empty() && HasSubKeys(key.Path)) continue; // implied by its sub-keys
    out += "\n[" + key.Path + "]\n";
    for (const auto& [name, value] : key.Values) {
      const QString left = (name.isEmpty() ? QString("@") : Quoted(name)) + '=';
      out += left + ValueData(value, int(left.size())) + '\n';
    }
  }
  return out.toUtf8();
}

bool TRegistryDocument::PutValue(TKey& key, const QString& name, const TRegValue& value) {
  for (auto& [valueName, stored] : key.Values) {
    if (valueName.compare(name, Qt::CaseInsensitive) != 0) continue;
    const bool changed = !(stored == value);
    stored = value;
    return changed;
  }
  key.Values.emplace_back(name, value);
  return true;
}

bool TRegistryDocument::KeyExists(TRootKey root, const QString& path) const {
  if (NormalPath(path).isEmpty()) return true;
  return Keys.count(MapKey(FullPath(root, path))) > 0;
}

bool TRegistryDocument::CreateKey(TRootKey root, const QString& path) {
  if (KeyExists(root, path)) return false;
  AddKey(FullPath(root, path));
  return true;
}

long TRegistryDocument::DeleteKey(TRootKey root, const QString& path) {
  const QString full = FullPath(root, path);
  const auto it = Keys.find(MapKey(full));
  if (it == Keys.end()) return kErrorFileNotFound;
  if (HasSubKeys(full)) return kErrorAccessDenied;
  Keys.erase(it);
  return kErrorSuccess;
}

const TRegValue* TRegistryDocument::Value(TRootKey root, const QString& path,
                                          const QString& name) const {
  const auto it = Keys.find(MapKey(FullPath(root, path)));
  if (it == Keys.end()) return nullptr;
  for (const auto& [valueName, value] : it->second.Values)
    if (valueName.compare(name, Qt::CaseInsensitive) == 0) return &value;
  return nullptr;
}

long TRegistryDocument::SetValue(TRootKey root, const QString& path, const QString& name,
                                 const TRegValue& value, bool* changed) {
  if (changed) *changed = false;
  const auto it = Keys.find(MapKey(FullPath(root, path)));
  if (it == Keys.end()) return kErrorFileNotFound;
  const bool isChanged = PutValue(it->second, name, value);
  if (changed) *changed = isChanged;
  return kErrorSuccess;
}

std::vector<std::pair<QString, TRegValue>> TRegistryDocument::Values(TRootKey root,
                                                                     const QString& path) const {
  const auto it = Keys.find(MapKey(FullPath(root, path)));
  return it == Keys.end() ? std::vector<std::pair<QString, TRegValue>>() : it->second.Values;
}

std::optional<TRegKeyInfo> TRegistryDocument::KeyInfo(TRootKey root, const QString& path) const {
  const QString full = FullPath(root, path);
  const auto it = Keys.find(MapKey(full));
  if (it == Keys.end()) return std::nullopt;
  TRegKeyInfo info;
  for (const TKey* child : SubKeys(full)) {
    ++info.NumSubKeys;
    info.MaxSubKeyLen = std::max(info.MaxSubKeyLen, int(LastComponent(child->Path).size()));
  }
  for (const auto& [name, value] : it->second.Values) {
    ++info.NumValues;
    info.MaxValueLen = std::max(info.MaxValueLen, int(name.size()));
    info.MaxDataLen = std::max(info.MaxDataLen, value.DataSize());
  }
  return info;
}

} // namespace kestrel
