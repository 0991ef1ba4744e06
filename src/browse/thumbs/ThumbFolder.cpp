#include "browse/thumbs/ThumbFolder.h"

#include <QThread>

#include <algorithm>

namespace kestrel {

std::atomic<TThumbFolder*> TThumbFolder::current_{nullptr};

TThumbFolder::TThumbFolder() = default;

TThumbFolder::~TThumbFolder() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  JoinThreads();
  TThumbFolder* self = this;
  current_.compare_exchange_strong(self, nullptr);
}

void TThumbFolder::CollectNames(const std::vector<std::string>& names) {
  names_.insert(names_.end(), names.begin(), names.end());
}

void TThumbFolder::Start() {
  if (running_) return;
  count_ = std::clamp(MaximumCount, 0, static_cast<int>(names_.size()));
  int threads = Threads > 0 ? Threads : std::clamp(QThread::idealThreadCount(), 1, 2);
  threads = std::max(1, std::min(threads, count_));
  // Enough ahead to keep every thread busy while one item holds up the order, and no more: the
  // tiles waiting for their turn are the only memory the pool adds.
  window_ = 2 * threads;
  stop_ = false;
  dropTiles_ = false;
  nextTake_ = nextDeliver_ = 0;
  ready_.clear();
  threadsLeft_ = threads;
  running_ = true;
  current_ = this;
  for (int i = 0; i < threads; ++i) {
    QThread* thread = QThread::create([this] { Decode(); });
    threads_.push_back(thread);
    thread->start(QThread::LowPriority);
  }
}

void TThumbFolder::Stop() {
  dropTiles_ = true;
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
}

void TThumbFolder::SetPaused(bool paused) {
  {
    const std::lock_guard lock(mutex_);
    paused_ = paused;
  }
  wake_.notify_all();
}

bool TThumbFolder::TakeItem(int& item) {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] {
    return stop_ || nextTake_ >= count_ || (!paused_ && nextTake_ < nextDeliver_ + window_);
  });
  if (stop_ || nextTake_ >= count_) return false;
  item = nextTake_++;
  return true;
}

void TThumbFolder::Decode() {
  int item = 0;
  while (TakeItem(item)) {
    const std::string path = Folder + names_[static_cast<size_t>(item)];
    TThumbTile made = Cache ? MakeCachedThumbTile(path, Reader, Options, *Cache)
                            : MakeThumbTile(path, Reader, Options);
    if (made.Tile && !TilePalette.IsNull()) made.Tile->SetPalette(TilePalette);
    Deliver(item, std::move(made));
  }
  ThreadEnded();
}

void TThumbFolder::Deliver(int item, TThumbTile&& made) {
  const std::lock_guard lock(mutex_);
  ready_.emplace(item, std::move(made));
  // Posted under the lock, so the queued calls keep the list's order.
  for (auto next = ready_.find(nextDeliver_); next != ready_.end();
       next = ready_.find(nextDeliver_)) {
    if (next->second.Code != tcNotPicture) {
      TThumbDelivery delivery;
      delivery.Index = nextDeliver_;
      delivery.Path = Folder + names_[nextDeliver_];
      delivery.Code = next->second.Code;
      delivery.Tile = std::move(next->second.Tile);
      QMetaObject::invokeMethod(
          this,
          [this, delivery = std::move(delivery)] {
            if (!dropTiles_ && OnThumbnail) OnThumbnail(delivery);
          },
          Qt::QueuedConnection);
    }
    ready_.erase(next);
    ++nextDeliver_;
  }
  wake_.notify_all();
}

void TThumbFolder::ThreadEnded() {
  const std::lock_guard lock(mutex_);
  if (--threadsLeft_ == 0)
    QMetaObject::invokeMethod(
        this, [this] { Ended(); }, Qt::QueuedConnection);
}

void TThumbFolder::JoinThreads() {
  for (QThread* thread : threads_) {
    thread->wait();
    delete thread;
  }
  threads_.clear();
}

void TThumbFolder::Ended() {
  // The last thread posted this as its last act.
  JoinThreads();
  running_ = false;
  TThumbFolder* self = this;
  current_.compare_exchange_strong(self, nullptr);
  if (OnFinished) OnFinished();
}

} // namespace kestrel
