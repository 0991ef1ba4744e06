#include "browse/find/FindSearch.h"

#include "browse/find/FindWalk.h"

#include <QFile>

#include <chrono>

namespace kestrel {

TFindSearch::TFindSearch(QObject* parent) : QObject(parent) {}

TFindSearch::~TFindSearch() {
  Stop();
  if (Worker.joinable()) Worker.join();
}

template <class F> void TFindSearch::Post(F work) {
  QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void TFindSearch::Start(const TFindCriteria& criteria, const QStringList& roots) {
  if (Running()) return;
  StopFlag.store(false);
  Worker = std::thread(&TFindSearch::Run, this, criteria, roots);
}

void TFindSearch::Run(TFindCriteria criteria, QStringList roots) {
  using Clock = std::chrono::steady_clock;
  std::vector<TFindHit> batch;
  Clock::time_point sent = Clock::now();
  const auto send = [&](bool always) {
    const Clock::time_point now = Clock::now();
    if (batch.empty() || (!always && now - sent < std::chrono::milliseconds(kBatchMilliseconds)))
      return;
    Post([this, hits = std::move(batch)] { emit Found(hits); });
    batch = {};
    sent = now;
  };
  TFindWalk walk(criteria, StopFlag, [&](TFindHit&& hit) {
    batch.push_back(std::move(hit));
    send(false);
  });
  walk.FolderRead = [&] { send(false); };
  for (const QString& root : roots) {
    if (StopFlag.load()) break;
    Post([this, root] { emit RootStarted(root); });
    walk.Walk(QFile::encodeName(root).toStdString());
  }
  send(true);
  Post([this, limit = walk.LimitReached()] {
    Worker.join();
    emit Finished(limit);
  });
}

} // namespace kestrel
