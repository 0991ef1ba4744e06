#pragma once
// Runs the steps of a file operation on a thread of its own, one after the other, while the
// thread that asked (the UI thread) goes on processing events at least every 30 ms: timers,
// painting and the watcher's hand-overs keep running. The worker goes through the steps without
// waiting for the UI thread, except after a step that failed: then it waits for the UI thread's
// answer (a question to the user) whether to go on. User input waits at first; once the work has
// taken a while, a progress window opens, modal to the window, and its "Cancel" stops the work.
// The UI thread never waits for the worker longer than one slice.

#include "platform/files/FileTransfer.h"

#include <QElapsedTimer>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QProgressDialog;
class QWidget;

namespace kestrel {

// The steps of one operation, numbered from 0.
struct TOperationSteps {
  int Count = 0;
  // Runs step index on the worker: 0, or the system's error number.
  std::function<int(int index, const TCopyControl& control)> Run;
  // How many bytes step index will copy, for the progress bar (0 when unknown); on the worker.
  std::function<qint64(int index)> Bytes;
  // What step index does, for the progress window; on the UI thread.
  std::function<QString(int index)> Label;
  // Step index failed with error; on the UI thread, while the worker waits. True goes on.
  std::function<bool(int index, int error)> Failed;
};

class TOperationWorker {
public:
  // window: the progress window's parent (none is shown without one); title: its caption; delay:
  // how long (ms) the work runs before the window opens.
  TOperationWorker(QWidget* window, const QString& title, int delay);
  ~TOperationWorker();
  TOperationWorker(const TOperationWorker&) = delete;
  TOperationWorker& operator=(const TOperationWorker&) = delete;

  // Runs the steps in order and returns once the last is done, a failure was not to be gone on
  // from, or the user stopped the work.
  void Run(const TOperationSteps& steps);
  // The user stopped the work in the progress window.
  bool Stopped() const { return Stop.load(); }

  // The longest time the UI thread goes without processing events.
  static constexpr int kEventGap = 30;

private:
  struct TFailure {
    int Index;
    int Error;
  };
  void Loop();
  void RunSteps(const TOperationSteps& steps);
  bool AskToGoOn(int index, int error);
  void KeepResponsive(const TOperationSteps& steps);
  void MakeProgress(int count);
  void UpdateProgress(const TOperationSteps& steps);

  QWidget* Window;
  QString Title;
  int Delay;
  QElapsedTimer Clock;
  qint64 LastEvents = 0;
  int LabelledStep = -1; // the step whose label the progress window shows
  std::unique_ptr<QProgressDialog> Progress;

  // Shared with the worker, under Mutex.
  std::mutex Mutex;
  std::condition_variable Wake;     // the worker has something to do, or an answer
  std::condition_variable Finished; // the UI thread has a failure to ask about, or all is done
  const TOperationSteps* Pending = nullptr;
  std::optional<TFailure> Failure;
  std::optional<bool> Answer;
  bool Done = false;
  bool Quit = false;
  // Read by the UI thread for the progress window at any time.
  std::atomic<int> Step{0};
  std::atomic<qint64> StepBytes{0};
  std::atomic<qint64> Copied{0};
  std::atomic<bool> Stop{false};
  std::thread Thread;
};

} // namespace kestrel
