#pragma once
// A search run on a worker thread for a window: the walk of each root in turn, its hits handed to
// the window in batches (one every 30 ms at most, never one per entry), and its end. The window
// stays free while the walk runs; Stop answers at the next entry the walk reaches.

#include "browse/find/FindCriteria.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <thread>
#include <vector>

namespace kestrel {

class TFindSearch : public QObject {
  Q_OBJECT
public:
  static constexpr int kBatchMilliseconds = 30;

  explicit TFindSearch(QObject* parent = nullptr);
  // Stops a running search and waits for its worker, which never waits for this thread.
  ~TFindSearch() override;

  // Walks roots (folders) in order for criteria. Not while one runs.
  void Start(const TFindCriteria& criteria, const QStringList& roots);
  // Asks the walk to stop; Finished follows.
  void Stop() { StopFlag.store(true); }
  // From Start until Finished has been sent.
  bool Running() const { return Worker.joinable(); }

signals:
  void RootStarted(const QString& root);
  void Found(const std::vector<TFindHit>& hits);
  // The walk ended: done, stopped, or at the criteria's limit of hits.
  void Finished(bool limitReached);

private:
  void Run(TFindCriteria criteria, QStringList roots);
  // Runs work on this object's thread, unless this object is gone by then.
  template <class F> void Post(F work);

  std::thread Worker;
  std::atomic<bool> StopFlag = false;
};

} // namespace kestrel
