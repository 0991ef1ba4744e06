#pragma once
// Change notifications on folders: a handle that becomes signalled when a name changes in the
// folders it watches, a wait on several handles with a time-out, and a re-arm after each signal.
// Only names are watched: sizes, times and contents never signal.

#include <QByteArray>
#include <QString>

#include <functional>
#include <unordered_map>
#include <vector>

namespace kestrel {

// Which name changes signal a handle.
enum class TNameChanges {
  // Names of files in every watched folder, and of anything directly in the first one (the file
  // list shows folders too in some modes).
  Files,
  // Names of folders.
  Folders
};

class TChangeNotification {
public:
  TChangeNotification() = default;
  ~TChangeNotification();
  TChangeNotification(const TChangeNotification&) = delete;
  TChangeNotification& operator=(const TChangeNotification&) = delete;

  // Watches folder, and with subtree every folder below it on the same volume (symbolic links are
  // not followed). False when the folder itself cannot be watched; Error() gives the system's
  // reason. Sub-folders that cannot be watched (no permission, the system's watch limit) are left
  // out, and Complete() says so. cancelled, asked now and then, ends a long walk early.
  bool Open(const QString& folder, bool subtree, TNameChanges changes,
            const std::function<bool()>& cancelled = {});
  // Watches one more folder (without its sub-folders) for the same changes.
  bool Add(const QString& folder);
  void Close();
  bool IsOpen() const { return Fd >= 0; }

  // Forgets the changes seen so far, so that only later ones signal (those made since the signal
  // signal again). False when one of the folders given to Open or Add is gone (removed, moved
  // away or unmounted): the handle watches nothing any more.
  bool Next();
  bool Signalled() const { return Pending; }
  int Error() const { return LastError; }
  // Every sub-folder could be watched.
  bool Complete() const { return !Incomplete; }
  int WatchedFolders() const { return int(Watches.size()); }

  // For the wait: the descriptor that becomes readable, and reading what arrived.
  int Descriptor() const { return Fd; }
  void Absorb();

  // The most folders one handle watches: a walk from a volume's root stops there. The system's
  // watches are shared by all the user's programs, so only a small part of them is taken.
  static int FolderBudget();

private:
  struct TWatch {
    QByteArray Path;
    bool Primary = false; // a folder given to Open or Add
  };
  bool WatchFolder(const QByteArray& path, bool primary);
  void WatchBelow(const QByteArray& top, const std::function<bool()>& cancelled);
  void Unwatch(const QByteArray& path);
  void Consider(int wd, quint32 mask, const char* name);

  int Fd = -1;
  TNameChanges Changes = TNameChanges::Files;
  bool Subtree = false;
  quint64 Device = 0;
  std::unordered_map<int, TWatch> Watches;
  std::vector<QByteArray> Primaries; // the paths given to Open and Add
  bool Pending = false;
  bool Gone = false;
  bool Incomplete = false;
  int LastError = 0;
};

// Interrupts a wait from another thread.
class TWaitWake {
public:
  TWaitWake();
  ~TWaitWake();
  TWaitWake(const TWaitWake&) = delete;
  TWaitWake& operator=(const TWaitWake&) = delete;
  void Signal();
  int Descriptor() const { return Fd; }
  void Clear();

private:
  int Fd = -1;
};

enum class TWaitOutcome { Signalled, TimedOut, Woken, Failed };
struct TWaitResult {
  TWaitOutcome Outcome = TWaitOutcome::TimedOut;
  int Index = -1; // the signalled handle: the first in the list when several are
  int Error = 0;  // the system's reason when the wait failed
};

// Waits until one of the handles is signalled, the wake is signalled, or timeoutMs pass.
TWaitResult WaitForChanges(const std::vector<TChangeNotification*>& handles, int timeoutMs,
                           TWaitWake* wake);

// A clear text for a system error met while watching folders.
QString ChangeNotificationErrorText(int error);

} // namespace kestrel
