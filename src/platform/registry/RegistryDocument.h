#pragma once
// The settings store's content: keys under two roots, each with typed values, read from and written
// to the registry export text format. Key and value names compare without regard to case, as the
// registry's do; a key's spelling is the one it was first created with.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace kestrel {

enum class TRootKey { LocalMachine, CurrentUser };

// System result codes the store reports, with the registry's own numbers.
enum : long {
  kErrorSuccess = 0,
  kErrorFileNotFound = 2,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorWriteFault = 29,
  kErrorReadFault = 30,
  kErrorLockViolation = 33,
};

// Registry data types, numbered as the system numbers them.
enum : quint32 {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
};

struct TRegValue {
  quint32 Type = kRegNone;
  QString Text;       // kRegSz and kRegExpandSz
  quint32 Number = 0; // kRegDword
  QByteArray Bytes;   // any other type, as stored

  static TRegValue String(const QString& text) { return {kRegSz, text, 0, {}}; }
  static TRegValue Integer(qint32 value) { return {kRegDword, {}, quint32(value), {}}; }
  // The data's size in bytes: a text counts its terminating zero.
  int DataSize() const;
  bool operator==(const TRegValue&) const = default;
};

struct TRegKeyInfo {
  int NumSubKeys = 0;
  int MaxSubKeyLen = 0;
  int NumValues = 0;
  int MaxValueLen = 0;
  int MaxDataLen = 0;
  QDateTime FileTime;
};

class TRegistryDocument {
public:
  // The text of a store file; nothing when it is damaged, with the reason in *error.
  static std::optional<TRegistryDocument> Parse(const QByteArray& text, QString* error);
  QByteArray Serialize() const;

  bool KeyExists(TRootKey root, const QString& path) const;
  // Creates the key and its missing ancestors; whether anything was added.
  bool CreateKey(TRootKey root, const QString& path);
  // kErrorSuccess, kErrorFileNotFound, or kErrorAccessDenied while the key has sub-keys.
  long DeleteKey(TRootKey root, const QString& path);
  // The value, or null when the key or the value does not exist.
  const TRegValue* Value(TRootKey root, const QString& path, const QString& name) const;
  // Sets a value of an existing key (kErrorFileNotFound otherwise); *changed tells whether the
  // content differs afterwards.
  long SetValue(TRootKey root, const QString& path, const QString& name, const TRegValue& value,
                bool* changed);
  // The key's values in order; empty when the key does not exist.
  std::vector<std::pair<QString, TRegValue>> Values(TRootKey root, const QString& path) const;
  // The key's sub-key and value counts and lengths; nothing when it does not exist.
  std::optional<TRegKeyInfo> KeyInfo(TRootKey root, const QString& path) const;

private:
  struct TKey {
    QString Path; // root name and path, as first spelled
    std::vector<std::pair<QString, TRegValue>> Values;
  };
  using TKeyMap = std::map<QString, TKey>;

  static QString MapKey(const QString& fullPath);
  static QString FullPath(TRootKey root, const QString& path);
  TKey& AddKey(const QString& fullPath);
  // Sets or adds a value; whether the content changed.
  static bool PutValue(TKey& key, const QString& name, const TRegValue& value);
  std::vector<const TKey*> SubKeys(const QString& fullPath) const;
  bool HasSubKeys(const QString& fullPath) const;

  TKeyMap Keys;
};

} // namespace kestrel
