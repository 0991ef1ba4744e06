#include "app/watcher/UpThread.h"

#include "platform/notify/ChangeNotification.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>

namespace kestrel {

TUpThread::TUpThread(QObject* context, THandOvers handOvers)
    : Context(context), HandOvers(std::move(handOvers)), Wake(std::make_unique<TWaitWake>()) {}

TUpThread::~TUpThread() {
  {
    std::lock_guard lock(Mutex);
    Stop = true;
  }
  Resumed.notify_all();
  Wake->Signal();
  if (Thread.joinable()) Thread.join();
}

void TUpThread::SetFolder(const QString& folder) {
  {
    std::lock_guard lock(Mutex);
    if (folder == Current) return;
    Current = folder;
    if (folder == Forgotten) Forgotten.clear();
  }
  Wake->Signal();
}

void TUpThread::Forget(const QString& folder) {
  std::lock_guard lock(Mutex);
  Forgotten = folder;
}

void TUpThread::SetWatching(const QString& folder) {
  std::lock_guard lock(Mutex);
  Open = folder;
}

bool TUpThread::FolderChanged(const QString& folder) const {
  return Folder() != folder;
}

void TUpThread::Suspend() {
  Paused = true;
  Wake->Signal();
}

void TUpThread::Resume() {
  {
    std::lock_guard lock(Mutex);
    Paused = false;
  }
  Resumed.notify_all();
  if (!Thread.joinable()) Thread = std::thread([this] { Run(); });
}

void TUpThread::PauseWhileSuspended() {
  std::unique_lock lock(Mutex);
  Resumed.wait(lock, [this] { return !Paused || Stop; });
}

QString TUpThread::ParentFolder(const QString& folder) {
  const QString clean = QDir::cleanPath(folder);
  const qsizetype slash = clean.lastIndexOf('/');
  if (slash < 0) return clean;
  return slash == 0 ? QString("/") : clean.left(slash);
}

QString TUpThread::ErrorMessage(int code, const QString& detail, int systemError) {
  QString text = "Bad Change Notification Handle: " + QString::number(code) + "\r" + detail + "\r" +
                 "WinError= " + QString::number(systemError) + "\r";
  // The number alone says little here; what it means follows.
  if (systemError != 0) text += ChangeNotificationErrorText(systemError);
  return text;
}

int TUpThread::Fail(int code, int systemError, const QString& folder) {
  QString detail;
  switch (code) {
  case 0:
    break;
  case 1:
    detail = folder;
    break;
  case 2:
    detail = ParentFolder(folder);
    break;
  case 3:
  case 4:
    detail = "Bombed on " + QString::number(code);
    break;
  case 5:
    detail = "Wait Failed";
    break;
  default:
    detail = "What ?";
  }
  std::lock_guard lock(Mutex);
  Code = code;
  SysError = systemError;
  Text = detail;
  return code;
}

void TUpThread::Run() {
  while (!Stopping()) {
    PauseWhileSuspended();
    if (Stopping()) return;
    const QString folder = Folder();
    if (Watch(folder) == 0 || Stopping()) continue;
    ReportError(folder);
    if (!QFileInfo(folder).isDir()) {
      // Gone: the refresh moves the lists to the nearest folder left, and the watch follows.
      Changed = true;
      HandOver(HandOvers.RefreshFiles);
    }
    // A watch that failed is tried again after a second, not at once: an error that lasts (the
    // system's watch limit, a folder that cannot be read) would otherwise keep the thread busy.
    if (!FolderChanged(folder)) WaitForChanges({}, kWaitTime, Wake.get());
  }
}

int TUpThread::Watch(const QString& folder) {
  ++Attempts;
  Fail(0, 0, folder);
  TChangeNotification files, folders;
  const auto cancelled = [this, &folder] { return Stopping() || FolderChanged(folder); };
  if (!files.Open(folder, true, TNameChanges::Files, cancelled))
    return Fail(1, files.Error(), folder);
  // The folder itself too: the folder list shows its sub-folders, which the parent's watch does
  // not see.
  if (!folders.Open(ParentFolder(folder), false, TNameChanges::Folders) || !folders.Add(folder))
    return Fail(2, folders.Error(), folder);
  Reported.clear();
  SetWatching(folder);
  int code = 0;
  while (code == 0 && !Stopping()) {
    if (Paused) {
      PauseWhileSuspended();
      if (FolderChanged(folder)) break;
      continue;
    }
    const TWaitResult result = WaitForChanges({&files, &folders}, kWaitTime, Wake.get());
    if (result.Outcome == TWaitOutcome::Signalled && result.Index == 0) {
      Changed = true;
      HandOver(HandOvers.RefreshFiles);
      if (!files.Next()) code = Fail(3, files.Error(), folder);
    } else if (result.Outcome == TWaitOutcome::Signalled) {
      HandOver(HandOvers.RefreshFolders);
      if (FolderChanged(folder)) break;
      if (!folders.Next()) code = Fail(4, folders.Error(), folder);
    } else if (result.Outcome == TWaitOutcome::Failed) {
      code = Fail(5, result.Error, folder);
    } else if (FolderChanged(folder)) {
      break; // a time-out, or woken: a new folder is watched from the start
    }
  }
  SetWatching({});
  return code;
}

void TUpThread::ReportError(const QString& folder) {
  // Shown once for a folder: the same error met again on each retry says nothing new.
  if (folder == Reported || folder == Locked(Forgotten)) return;
  Reported = folder;
  const QString message = ErrorMessage(ErrorCode(), Detail(), SystemError());
  const auto show = HandOvers.ShowError;
  if (show) HandOver([show, message](THandOver) { show(message); });
}

void TUpThread::HandOver(const std::function<void(THandOver)>& work) {
  if (!work || !Context) return;
  struct TState {
    std::mutex Mutex;
    std::condition_variable Done;
    bool Finished = false;
  };
  const auto state = std::make_shared<TState>();
  {
    const THandOver token(state.get(), [state](void*) {
      {
        std::lock_guard lock(state->Mutex);
        state->Finished = true;
      }
      state->Done.notify_all();
    });
    QMetaObject::invokeMethod(
        Context, [work, token] { work(token); }, Qt::QueuedConnection);
  }
  std::unique_lock lock(state->Mutex);
  while (!state->Finished && !Stopping())
    state->Done.wait_for(lock, std::chrono::milliseconds(50));
}

} // namespace kestrel
