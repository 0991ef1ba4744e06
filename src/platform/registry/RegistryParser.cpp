// Reading the registry export format in one pass over the bytes: each line is looked at once,
// long hex data is read across its continued lines without joining them, and values are found
// through each key's index, so the time grows with the text and nothing else.

#include "platform/registry/RegistryDocument.h"

#include <QByteArrayView>

#include <algorithm>
#include <string_view>

namespace kestrel {
namespace {

using TBytes = std::string_view;

const TBytes kHeader = "Windows Registry Editor Version 5.00";
const TBytes kByteOrderMark = "\xef\xbb\xbf";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

TBytes Trimmed(TBytes text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool StartsWithNoCase(TBytes text, TBytes prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if ((text[i] | 0x20) != (prefix[i] | 0x20)) return false;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') return (c | 0x20) - 'a' + 10;
  return -1;
}

// 1 to 8 hex digits.
std::optional<quint32> HexNumber(TBytes digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  quint32 number = 0;
  for (char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    number = number << 4 | quint32(digit);
  }
  return number;
}

// text without its first and last lines while they are blank.
TBytes WithoutBlankLines(TBytes text) {
  while (!text.empty()) {
    const size_t end = text.find('\n');
    if (!Trimmed(text.substr(0, end)).empty()) break;
    text.remove_prefix(end == TBytes::npos ? text.size() : end + 1);
  }
  while (!text.empty()) {
    const TBytes body = text.ends_with('\n') ? text.substr(0, text.size() - 1) : text;
    const size_t lastBreak = body.rfind('\n');
    if (!Trimmed(lastBreak == TBytes::npos ? body : body.substr(lastBreak + 1)).empty()) break;
    text = lastBreak == TBytes::npos ? TBytes() : text.substr(0, lastBreak + 1);
  }
  return text;
}

// Raw control characters never stand in a line the export format writes.
bool HasControlCharacter(TBytes line) {
  for (char c : line)
    if (quint8(c) < 0x20 && c != '\t') return true;
  return false;
}

// The text of UTF-16LE bytes without the one terminating zero; zeros inside stay, as the registry
// keeps them (reading a text stops at the first).
QString TextFromUtf16(const std::string& bytes) {
  QString text(qsizetype(bytes.size() / 2), Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i)
    text[i] =
        QChar(char16_t(quint8(bytes[size_t(2 * i)]) | (quint8(bytes[size_t(2 * i + 1)]) << 8)));
  if (text.endsWith(QChar(0))) text.chop(1);
  return text;
}

// The number of UTF-16 units of valid UTF-8 bytes, as the registry counts a name's length.
size_t Utf16Length(TBytes bytes) {
  size_t units = 0;
  for (char c : bytes)
    units += (quint8(c) & 0xC0) != 0x80 ? (quint8(c) >= 0xF0 ? 2 : 1) : 0;
  return units;
}

bool IsUtf8(TBytes bytes) {
  return QByteArrayView(bytes.data(), qsizetype(bytes.size())).isValidUtf8();
}

// The text of a quoted string at text[0] == '"' with \\ and \" escapes, as bytes: a view of
// text when it has no escapes, else in *unescaped. text is left after the closing quote; false
// when the string is not closed or an escape is unknown.
bool QuotedBytes(TBytes& text, TBytes& content, std::string& unescaped) {
  unescaped.clear();
  bool escaped = false;
  for (size_t pos = 1;;) {
    const size_t stop = text.find_first_of("\"\\", pos);
    if (stop == TBytes::npos) return false;
    if (text[stop] == '"') {
      if (escaped) {
        unescaped.append(text.substr(pos, stop - pos));
        content = unescaped;
      } else {
        content = text.substr(1, stop - 1);
      }
      text.remove_prefix(stop + 1);
      return true;
    }
    if (stop + 1 >= text.size() || (text[stop + 1] != '\\' && text[stop + 1] != '"')) return false;
    unescaped.append(text.substr(pos, stop - pos)).push_back(text[stop + 1]);
    escaped = true;
    pos = stop + 2;
  }
}

QString Decoded(TBytes bytes) {
  return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

} // namespace

// Reads a whole file (Run), checking every line and keeping each key's lines for its values to be
// made when the key is first used; or makes the values of one key's lines (Values).
class TRegistryParser {
public:
  explicit TRegistryParser(TBytes text) : rest_(text) {
    if (rest_.starts_with(kByteOrderMark)) rest_.remove_prefix(kByteOrderMark.size());
    end_ = rest_.data() + rest_.size();
  }

  std::optional<TRegistryDocument> Run(QString* error, QStringList* leftOut) {
    const bool read = ReadAll();
    if (!read && error) *error = QString("line %1: %2").arg(number_).arg(error_);
    if (leftOut) *leftOut = leftOut_;
    if (!read) return std::nullopt;
    return std::move(document_);
  }

  // The values of lines Run checked, into key; values past the limits are left out again.
  void Values(const TRegistryDocument::TKey& key) {
    making_ = true;
    current_ = &key;
    skipping_ = false;
    TBytes raw;
    while (NextLine(raw)) {
      const TBytes line = Trimmed(raw);
      if ((line.starts_with('"') || line.starts_with("@=")) && !ValueLine(line)) return;
    }
  }

private:
  bool ReadAll() {
    bool headerSeen = false;
    TBytes raw;
    while (NextLine(raw)) {
      const TBytes line = Trimmed(raw);
      if (line.empty() || line.front() == ';') continue;
      if (!headerSeen) {
        if (line != kHeader) return Fail("not a settings file");
        headerSeen = true;
      } else if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
        EndOfKeyLines(lineStart_);
        if (!KeyLine(line.substr(1, line.size() - 2))) return false;
        linesStart_ = rest_.data();
        linesWhole_ = true;
        valueLines_ = 0;
      } else if (line.front() == '"' || line.starts_with("@=")) {
        if (!ValueLine(line)) return false;
      } else {
        return Fail("unexpected text");
      }
    }
    if (!error_.isEmpty()) return false;
    EndOfKeyLines(end_);
    return headerSeen || Fail("empty file");
  }

  // The current key's lines, from after its key line to end, without blank lines at either end,
  // are kept for its values to be made later, and written back as they stand while the values do
  // not change. Lines with carriage returns or with a part left out are made into values now: the
  // key is then written from its values.
  void EndOfKeyLines(const char* end) {
    if (!current_) return;
    auto& key = const_cast<TRegistryDocument::TKey&>(*current_);
    const TBytes text = WithoutBlankLines(TBytes(linesStart_, size_t(end - linesStart_)));
    if (key.Verbatim && linesWhole_ && text.find('\r') == TBytes::npos) {
      key.Text.append(text.data(), qsizetype(text.size()));
      if (!text.empty() && !text.ends_with('\n')) key.Text.append('\n');
      key.HasValues = key.HasValues || valueLines_ > 0;
      return;
    }
    if (!key.Parsed)
      TRegistryParser(TBytes(key.Text.constData(), size_t(key.Text.size()))).Values(key);
    key.Parsed = true;
    key.Verbatim = false;
    key.Text.clear();
    TRegistryParser(text).Values(key);
  }

  // The next line without its line end; false at the end of the text or at a control character.
  bool NextLine(TBytes& line) {
    if (ended_ || !error_.isEmpty()) return false;
    const size_t end = rest_.find('\n');
    if (end == TBytes::npos) {
      line = rest_;
      rest_.remove_prefix(rest_.size());
      ended_ = true;
    } else {
      line = rest_.substr(0, end);
      rest_.remove_prefix(end + 1);
    }
    if (line.ends_with('\r')) line.remove_suffix(1);
    lineStart_ = line.data();
    ++number_;
    if (HasControlCharacter(line)) return Fail("control character");
    return true;
  }

  bool Fail(const QString& reason) {
    error_ = reason;
    return false;
  }

  void LeaveOut(int line, const QString& what) {
    if (!making_) leftOut_ << QString("line %1: %2").arg(line).arg(what);
  }

  // "[HKEY_CURRENT_USER\\Software\\...]": the key the following values belong to.
  bool KeyLine(TBytes inner) {
    if (!IsUtf8(inner)) return Fail("not UTF-8 text");
    const QString text = Decoded(inner);
    current_ = nullptr;
    skipping_ = true;
    for (TRootKey root : {TRootKey::CurrentUser, TRootKey::LocalMachine}) {
      const QString name = RegistryRootName(root);
      if (!text.startsWith(name, Qt::CaseInsensitive)) continue;
      const QString rest = text.mid(name.size());
      if (!rest.isEmpty() && !rest.startsWith('\\')) continue;
      // The components, counted without splitting: a deep path is one long line.
      int depth = 0, length = 0, longest = 0;
      bool normal = !rest.endsWith('\\');
      for (qsizetype i = 0; i < rest.size(); ++i) {
        if (rest[i] == '\\') {
          normal = normal && (i == 0 || length > 0);
          length = 0;
        } else if (length++ == 0) {
          ++depth;
        }
        longest = std::max(longest, length);
      }
      if (depth > TRegistryDocument::kMaxKeyDepth) {
        LeaveOut(
            number_,
            QString("a key nested deeper than %1 levels").arg(TRegistryDocument::kMaxKeyDepth));
        return true;
      }
      if (longest > TRegistryDocument::kMaxKeyNameLength) {
        LeaveOut(number_, QString("a key name longer than %1 characters")
                              .arg(TRegistryDocument::kMaxKeyNameLength));
        return true;
      }
      QString path = name + rest;
      if (!normal) {
        // The registry ignores empty components.
        QStringList parts = rest.split('\\', Qt::SkipEmptyParts);
        parts.prepend(name);
        path = parts.join('\\');
      }
      auto [entry, fresh] = document_.Keys.try_emplace(TRegistryDocument::MapKey(path));
      TRegistryDocument::TKey& key = entry->second;
      // A key read for the first time keeps its lines: its values are made when it is used.
      if (fresh) {
        key.Path = path;
        key.Verbatim = true;
        key.Parsed = false;
      }
      current_ = &key;
      skipping_ = false;
      return true;
    }
    return Fail("unknown key [" + text + "]");
  }

  // "Name"=data or @=data, checked; made into a value only when making values. A value of a key
  // that was left out is read and dropped.
  bool ValueLine(TBytes line) {
    const int first = number_;
    TBytes name;
    std::string unescaped;
    if (line.front() == '"') {
      if (!QuotedBytes(line, name, unescaped) || !IsUtf8(name)) return Fail("bad value name");
    } else {
      line.remove_prefix(1);
    }
    if (line.empty() || line.front() != '=') return Fail("missing \"=\"");
    TRegValue value;
    bool tooLong = false;
    if (!Data(Trimmed(line.substr(1)), making_ ? &value : nullptr, tooLong)) return false;
    if (skipping_) return true;
    if (!current_) return Fail("value outside a key");
    ++valueLines_;
    if (Utf16Length(name) > size_t(TRegistryDocument::kMaxValueNameLength)) {
      linesWhole_ = false;
      LeaveOut(first, QString("a value name longer than %1 characters")
                          .arg(TRegistryDocument::kMaxValueNameLength));
    } else if (tooLong) {
      linesWhole_ = false;
      LeaveOut(first, QString("the value \"%1\" of [%2], longer than %3 bytes")
                          .arg(Decoded(name).left(64), current_->Path.left(256))
                          .arg(TRegistryDocument::kMaxValueBytes));
    } else if (making_) {
      TRegistryDocument::PutValue(*current_, Decoded(name), value);
    }
    return true;
  }

  // Checks the data of a value; into *value when it is given.
  bool Data(TBytes data, TRegValue* value, bool& tooLong) {
    if (data.starts_with('"')) {
      TBytes text;
      std::string unescaped;
      if (!QuotedBytes(data, text, unescaped) || !Trimmed(data).empty() || !IsUtf8(text))
        return Fail("bad value data");
      // Measured as the registry stores a text: UTF-16 with its terminating zero.
      tooLong = (Utf16Length(text) + 1) * 2 > size_t(TRegistryDocument::kMaxValueBytes);
      if (value) *value = TRegValue::String(Decoded(text));
      return true;
    }
    if (StartsWithNoCase(data, "dword:")) {
      const auto number = HexNumber(Trimmed(data.substr(6)));
      if (!number) return Fail("bad value data");
      if (value) *value = TRegValue{kRegDword, {}, *number, {}};
      return true;
    }
    quint32 type = kRegBinary;
    if (StartsWithNoCase(data, "hex:")) {
      data.remove_prefix(4);
    } else if (StartsWithNoCase(data, "hex(")) {
      const size_t close = data.find("):");
      const auto number =
          close == TBytes::npos ? std::nullopt : HexNumber(data.substr(4, close - 4));
      if (!number) return Fail("bad value data");
      type = *number;
      data.remove_prefix(close + 2);
    } else {
      return Fail("bad value data");
    }
    std::string bytes;
    size_t count = 0;
    if (!HexBytes(data, value ? &bytes : nullptr, count, tooLong)) return Fail("bad value data");
    if (tooLong) return true;
    // Texts are UTF-16 with whole characters; a number is four bytes.
    if ((type == kRegSz || type == kRegExpandSz) && count % 2 != 0) return Fail("bad value data");
    if (type == kRegDword && count != 4) return Fail("bad value data");
    if (!value) return true;
    *value = TRegValue{type, {}, 0, {}};
    if (type == kRegSz || type == kRegExpandSz) {
      value->Text = TextFromUtf16(bytes);
    } else if (type == kRegDword) {
      for (int i = 3; i >= 0; --i)
        value->Number = (value->Number << 8) | quint8(bytes[size_t(i)]);
    } else {
      value->Bytes = QByteArray(bytes.data(), qsizetype(bytes.size()));
    }
    return true;
  }

  // "aa,bb,..." of one or two hex digits each, blanks anywhere, continued on the next line after
  // a final "\". Counted, and kept in *bytes when it is given and they are within the limit.
  bool HexBytes(TBytes list, std::string* bytes, size_t& count, bool& tooLong) {
    int digits = 0;
    int byte = 0;
    bool any = false;
    const auto take = [&] {
      tooLong = tooLong || ++count > size_t(TRegistryDocument::kMaxValueBytes);
      if (bytes && !tooLong) *bytes += char(byte);
      digits = byte = 0;
    };
    for (;;) {
      const bool continued = !list.empty() && list.back() == '\\';
      if (continued) list.remove_suffix(1);
      for (char c : list) {
        if (IsBlank(c)) continue;
        any = true;
        if (c == ',') {
          if (digits == 0) return false;
          take();
          continue;
        }
        const int digit = HexDigit(c);
        if (digit < 0 || ++digits > 2) return false;
        byte = byte << 4 | digit;
      }
      TBytes next;
      if (!continued || !NextLine(next)) break;
      list = Trimmed(next);
    }
    if (!error_.isEmpty()) return false;
    if (!any) return true;
    if (digits == 0) return false;
    take();
    return true;
  }

  TBytes rest_;
  bool ended_ = false;
  int number_ = 0;
  QString error_;
  QStringList leftOut_;
  TRegistryDocument document_;
  const TRegistryDocument::TKey* current_ = nullptr;
  bool making_ = false;              // values are made, not only checked
  bool skipping_ = false;            // in a key that was left out
  const char* lineStart_ = nullptr;  // of the line NextLine gave last
  const char* end_ = nullptr;        // of the text
  const char* linesStart_ = nullptr; // of the current key's lines
  bool linesWhole_ = true;           // no part of them was left out
  int valueLines_ = 0;               // values among them
};

std::optional<TRegistryDocument> TRegistryDocument::Parse(const QByteArray& text, QString* error,
                                                          QStringList* leftOut) {
  return TRegistryParser(TBytes(text.constData(), size_t(text.size()))).Run(error, leftOut);
}

void TRegistryDocument::ParseText(const TKey& key) {
  TRegistryParser(TBytes(key.Text.constData(), size_t(key.Text.size()))).Values(key);
}

} // namespace kestrel
