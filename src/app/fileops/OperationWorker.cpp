#include "app/fileops/OperationWorker.h"

#include "platform/ui/CaptionWidth.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>
#include <climits>

namespace kestrel {
namespace {

// The progress bar's resolution per step, less for very many steps so that the range fits.
int StepUnits(int count) {
  return std::clamp(INT_MAX / 2 / std::max(count, 1), 1, 1000);
}

} // namespace

TOperationWorker::TOperationWorker(QWidget* window, const QString& title, int delay)
    : Window(window), Title(title), Delay(delay) {
  Clock.start();
  Thread = std::thread([this] { Loop(); });
}

TOperationWorker::~TOperationWorker() {
  {
    std::lock_guard lock(Mutex);
    Quit = true;
  }
  Wake.notify_one();
  Thread.join();
}

void TOperationWorker::Loop() {
  std::unique_lock lock(Mutex);
  for (;;) {
    Wake.wait(lock, [this] { return Quit || Pending; });
    if (Quit) return;
    const TOperationSteps* steps = Pending;
    Pending = nullptr;
    lock.unlock();
    RunSteps(*steps);
    lock.lock();
    Done = true;
    Finished.notify_one();
  }
}

void TOperationWorker::RunSteps(const TOperationSteps& steps) {
  for (int i = 0; i < steps.Count && !Stop.load(); ++i) {
    Copied = 0;
    StepBytes = steps.Bytes ? steps.Bytes(i) : 0;
    Step = i;
    const int error = steps.Run(i, TCopyControl{&Copied, &Stop});
    // A step stopped by the user is no failure to ask about.
    if (error != 0 && !Stop.load() && !AskToGoOn(i, error)) return;
  }
}

bool TOperationWorker::AskToGoOn(int index, int error) {
  std::unique_lock lock(Mutex);
  Failure = TFailure{index, error};
  Answer.reset();
  Finished.notify_one();
  Wake.wait(lock, [this] { return Quit || Answer.has_value(); });
  return !Quit && *Answer;
}

void TOperationWorker::Run(const TOperationSteps& steps) {
  if (steps.Count <= 0) return;
  std::unique_lock lock(Mutex);
  Done = false;
  Failure.reset();
  Pending = &steps;
  Wake.notify_one();
  for (;;) {
    const qint64 due = std::max<qint64>(LastEvents + kEventGap - Clock.elapsed(), 0);
    const bool woken = Finished.wait_for(lock, std::chrono::milliseconds(due),
                                         [this] { return Done || Failure.has_value(); });
    if (woken && Done) break;
    if (woken) {
      const TFailure failure = *Failure;
      Failure.reset();
      lock.unlock();
      const bool goOn = steps.Failed && steps.Failed(failure.Index, failure.Error);
      lock.lock();
      Answer = goOn;
      Wake.notify_one();
      continue;
    }
    lock.unlock();
    KeepResponsive(steps);
    lock.lock();
  }
  lock.unlock();
  // Quick work still lets the window breathe before the caller goes on.
  if (Clock.elapsed() - LastEvents >= kEventGap) KeepResponsive(steps);
}

void TOperationWorker::KeepResponsive(const TOperationSteps& steps) {
  // The progress window is made once the work outlasts half the delay and shown once it outlasts
  // the delay: making and showing it each cost the UI thread a while, and so fall into different
  // slices, and short work pays for neither.
  if (!Progress && Window && Clock.elapsed() >= Delay / 2) MakeProgress(steps.Count);
  const bool shown = Progress && Progress->isVisible();
  if (Progress && !shown && Clock.elapsed() >= Delay) Progress->show();
  if (shown) UpdateProgress(steps);
  // Until the progress window is there to take it, input waits: a click now would start more work
  // in the middle of this one.
  QCoreApplication::processEvents(shown ? QEventLoop::AllEvents
                                        : QEventLoop::ExcludeUserInputEvents);
  LastEvents = Clock.elapsed();
}

void TOperationWorker::MakeProgress(int count) {
  Progress = std::make_unique<QProgressDialog>(Window);
  Progress->setWindowTitle(Title);
  Progress->setMinimumWidth(CaptionWidth(*Progress, Title));
  Progress->setWindowModality(Qt::WindowModal);
  Progress->setRange(0, count * StepUnits(count));
  // Shown here, not by the window's own timer.
  Progress->setMinimumDuration(INT_MAX);
  Progress->setAutoReset(false);
  Progress->setAutoClose(false);
  QObject::connect(Progress.get(), &QProgressDialog::canceled, [this] { Stop = true; });
}

void TOperationWorker::UpdateProgress(const TOperationSteps& steps) {
  const int step = Step.load();
  const int units = StepUnits(steps.Count);
  const qint64 bytes = StepBytes.load();
  const qint64 copied = std::min(Copied.load(), bytes);
  const int part = bytes > 0 ? int(copied * units / bytes) : 0;
  if (step != LabelledStep && steps.Label) {
    Progress->setLabelText(steps.Label(step));
    LabelledStep = step;
  }
  Progress->setValue(step * units + part);
}

} // namespace kestrel
