#pragma once
// The settings store file. Reading takes the file as it stands (a replace is a rename, so a reader
// sees the old or the new file, never half of one). Every change re-reads the file under a lock,
// applies itself and replaces the file atomically, so two running copies never lose each other's
// values. A file that cannot be parsed is moved aside as "<name>.bad" and reported; the store then
// starts empty, so every setting takes its default.

#include "platform/registry/RegistryDocument.h"

#include <QString>

#include <functional>

namespace kestrel {

class TRegistryFile {
public:
  // The user's store, SettingsFileName(), as the environment names it now.
  TRegistryFile();
  explicit TRegistryFile(const QString& fileName);

  const QString& FileName() const { return Name; }

  // The current content; a result code of the system's kind.
  long Read(TRegistryDocument& document) const;
  // Runs change over the current content under the lock. change returns a result code and sets
  // *changed when it altered the content; the file is replaced only then.
  long Modify(const std::function<long(TRegistryDocument&, bool* changed)>& change) const;
  // The time of the last replace, for key information.
  QDateTime LastWriteTime() const;

  // Who is told that a damaged file was moved aside (a message for the user). The default writes a
  // warning to the log.
  using TDamageReporter = std::function<void(const QString& message)>;
  static void SetDamageReporter(TDamageReporter reporter);

private:
  enum class TLoad { Loaded, Missing, Damaged, Unreadable };
  TLoad Load(TRegistryDocument& document, QString* reason) const;
  // The result code of a load that did not find a damaged file.
  static long ResultOf(TLoad load);
  // Under the lock: loads, moving a damaged file aside. Returns a result code.
  long LoadLocked(TRegistryDocument& document) const;

  QString Name;
};

} // namespace kestrel
