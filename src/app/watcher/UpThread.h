#pragma once
// The folder watcher: a worker thread that watches the shown folder for changes of file names
// (its sub-folders included) and its parent for changes of folder names, and asks the main thread
// to refresh the lists. It touches no window: every effect runs on the main thread through a
// hand-over that the thread waits for.

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace kestrel {

class TWaitWake;

class TUpThread {
public:
  // A hand-over in progress. The thread goes on once every copy is released, so work that ends
  // later (a list read in the background) keeps a copy until it is done.
  using THandOver = std::shared_ptr<void>;
  struct THandOvers {
    std::function<void(THandOver)> RefreshFiles;
    std::function<void(THandOver)> RefreshFolders;
    std::function<void(const QString& message)> ShowError;
  };

  // Created suspended; the first Resume starts it. The hand-overs run on context's thread.
  TUpThread(QObject* context, THandOvers handOvers);
  // Ends the thread and waits for it; a hand-over still waiting is dropped.
  ~TUpThread();
  TUpThread(const TUpThread&) = delete;
  TUpThread& operator=(const TUpThread&) = delete;

  // The folder to watch (the shown folder). The watch moves there at once.
  void SetFolder(const QString& folder);
  QString Folder() const { return Locked(Current); }
  // The folder whose watches are open now; empty while none are.
  QString Watching() const { return Locked(Open); }

  // The program removes folder itself: the end of its watch is no error to report (until the
  // folder is to be watched again).
  void Forget(const QString& folder);

  // While suspended the thread waits; changes made meanwhile signal when it resumes.
  void Suspend();
  void Resume();
  bool Suspended() const { return Paused; }

  // Set by the thread when a file name changes; the file-list refresh clears it.
  bool FilesChanged() const { return Changed; }
  void ClearFilesChanged() { Changed = false; }

  // The fields of the last watch error: its code (0 to 6), the system's error number and the
  // detail text.
  int ErrorCode() const { return Locked(Code); }
  int SystemError() const { return Locked(SysError); }
  QString Detail() const { return Locked(Text); }

  // How many times the thread has set out to open its watches.
  int Rounds() const { return Attempts; }

  // The message shown for a watch error.
  static QString ErrorMessage(int code, const QString& detail, int systemError);
  // The folder holding folder (a root is its own parent).
  static QString ParentFolder(const QString& folder);

  // The thread's wait for changes, in milliseconds.
  static constexpr int kWaitTime = 1000;

private:
  // A copy of a field the thread and its owner share.
  template <class T> T Locked(const T& field) const {
    std::lock_guard lock(Mutex);
    return field;
  }
  void Run();
  // One round: opens both watches on folder and waits on them until the folder changes or an
  // error ends it; returns the error code.
  int Watch(const QString& folder);
  void HandOver(const std::function<void(THandOver)>& work);
  void ReportError(const QString& folder);
  void PauseWhileSuspended();
  // Records a watch error on folder; returns its code.
  int Fail(int code, int systemError, const QString& folder);
  void SetWatching(const QString& folder);
  bool FolderChanged(const QString& folder) const;
  bool Stopping() const { return Stop; }

  QObject* Context; // outlives the thread: its owner ends the thread first
  THandOvers HandOvers;
  std::unique_ptr<TWaitWake> Wake;
  mutable std::mutex Mutex;
  std::condition_variable Resumed;
  QString Current;
  QString Open;
  int Code = 0;
  int SysError = 0;
  QString Text;
  QString Reported;  // the folder whose error was shown last
  QString Forgotten; // removed by the program: its errors go unreported
  std::atomic<bool> Paused{true};
  std::atomic<bool> Stop{false};
  std::atomic<bool> Changed{false};
  std::atomic<int> Attempts{0};
  std::thread Thread;
};

} // namespace kestrel
