#pragma once
// The settings store file.
// - Reading parses the file once and keeps the document; it is read again only when the file's
//   identity, size or modification time changed (another running copy replaced it).
// - Every change takes a lock the system releases when its holder ends (even by a crash), looks
//   again whether the file changed, applies itself and replaces the file whole, so two running
//   copies never lose each other's values. Temporary files a killed copy left behind are removed
//   at the first change.
// - A file that cannot be parsed, or cannot be read at all (a folder, a file without read
//   permission), is moved aside as "<name>.bad" and the store starts on its defaults. Keys and
//   values past the document's limits are left out; the whole file is kept as "<name>.bad".
// - When the store cannot be written (a read-only folder or file, a folder that cannot be made,
//   a failed write) it carries on in memory for the rest of the run: what could be read stays,
//   changes are kept but not written.
// Each of these is told once, in one message naming the file and the reason.

#include "platform/registry/RegistryDocument.h"

#include <QString>

#include <functional>
#include <memory>

namespace kestrel {

class TRegistryFile {
public:
  // The user's store, SettingsFileName(), as the environment names it now.
  TRegistryFile();
  explicit TRegistryFile(const QString& fileName);

  const QString& FileName() const { return Name; }

  // The current content; never null. What went wrong is reported, not raised.
  std::shared_ptr<const TRegistryDocument> Snapshot() const;
  // Runs change over the current content under the lock. change returns a result code and sets
  // *changed when it altered the content; the file is replaced only then. A file that cannot be
  // written leaves the change in memory and gives kErrorSuccess. change must own what it uses: a
  // batch runs it again later.
  using TChange = std::function<long(TRegistryDocument&, bool* changed)>;
  long Modify(const TChange& change) const;

  // While a batch of a file lives, its changes are made in memory only; when the last batch ends
  // they are written together, in one replace of the file, run again over the file as it is then
  // (another copy may have changed it meanwhile). A start that stores many defaults writes once.
  class TBatch {
  public:
    explicit TBatch(const TRegistryFile& file);
    ~TBatch();
    TBatch(const TBatch&) = delete;
    TBatch& operator=(const TBatch&) = delete;

  private:
    QString Name;
  };
  // The time of the last replace, for key information.
  QDateTime LastWriteTime() const;
  // Whether changes stay in memory for the rest of the run.
  bool InMemory() const;

  // Who is told of what went wrong with the store (a message for the user). The default writes a
  // warning to the log. It is called with no lock held, so it may show a window.
  using TReporter = std::function<void(const QString& message)>;
  static void SetReporter(TReporter reporter);
  static void Report(const QString& message);

private:
  QString Name;
};

} // namespace kestrel
