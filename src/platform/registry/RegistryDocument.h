#pragma once
// The settings store's content: keys under two roots, each with typed values, read from and written
// to the registry export text format. Key and value names compare without regard to case, as the
// registry's do; a key's spelling is the one it was first created with. Reading and writing take
// time in proportion to the text, and finding a value takes the same time however many values its
// key has.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace kestrel {

enum class TRootKey { LocalMachine, CurrentUser };

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
const char* RegistryRootName(TRootKey root);

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
  TRegistryDocument();
  TRegistryDocument(const TRegistryDocument& other);
  TRegistryDocument(TRegistryDocument&& other) noexcept;
  TRegistryDocument& operator=(const TRegistryDocument& other);
  TRegistryDocument& operator=(TRegistryDocument&& other) noexcept;

  // What the store holds at most, as the registry does: deeper keys, longer names and longer data
  // are parts of a damaged file.
  static constexpr int kMaxKeyDepth = 512;
  static constexpr int kMaxKeyNameLength = 255;
  static constexpr int kMaxValueNameLength = 16383;
  static constexpr int kMaxValueBytes = 1 << 20;

  // The text of a store file; nothing when it is damaged, with the reason in *error. A key or a
  // value past the limits above is left out of the document, and said in *leftOut (one line each,
  // "line 12: ..."), the rest being read. Every line is checked at once; the values of a key are
  // made when the key is first used, so a start pays only for the keys it reads.
  static std::optional<TRegistryDocument> Parse(const QByteArray& text, QString* error,
                                                QStringList* leftOut = nullptr);
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
  // The names of the key's direct sub-keys; empty when it has none or does not exist.
  std::vector<QString> SubKeyNames(TRootKey root, const QString& path) const;

private:
  // Only keys that were made themselves are stored; a key that only leads to others exists through
  // them, so a deep path costs one entry, not one per level.
  struct TKey {
    QString Path; // root name and path, as first spelled
    // Made from Text when the key is first used (Ready): Parsed tells whether they are.
    mutable std::vector<std::pair<QString, TRegValue>> Values;
    mutable QHash<QString, size_t> Index; // case-folded name -> position in Values, from 1
    mutable bool Parsed = true;
    // The key's lines as read, written back as they were while the values are unchanged: a large
    // file is rewritten at the speed of a copy.
    QByteArray Text;
    bool Verbatim = false;
    bool HasValues = false; // Text holds a value, parsed or not
    const TRegValue* Find(const QString& name) const;
  };
  using TKeyMap = std::map<QString, TKey>;
  friend class TRegistryParser;

  static QString MapKey(const QString& fullPath);
  static QString FullPath(TRootKey root, const QString& path);
  TKey& AddKey(const QString& fullPath);
  // The stored key, made when it exists only through its sub-keys; null when it does not exist.
  TKey* StoredKey(const QString& fullPath);
  // Sets or adds a value; whether the content changed.
  static bool PutValue(const TKey& key, const QString& name, const TRegValue& value);
  bool HasSubKeys(const QString& fullPath) const;
  // The key with its values made. Readers on other threads may share the document, so this (and
  // everything else that reads or copies values) runs under ParseLock.
  const TKey& Ready(const TKey& key) const;
  // Makes the values of the key's Text (defined with the reader).
  static void ParseText(const TKey& key);

  TKeyMap Keys;
  std::unique_ptr<std::mutex> ParseLock = std::make_unique<std::mutex>();
};

} // namespace kestrel
