#pragma once
// TThumbFolder: the worker that makes the gallery's tiles. It reads the pictures of a list of
// names in a folder with a small pool of decoding threads, which work a few items ahead of the
// delivery, and hands each finished tile to this object's thread (the window's) through a queued
// call, in list order. Files that hold no picture (a sound, an unknown type) are skipped; files
// that fail give error tiles.
//
// The threads never wait for the window, so the window may stop the worker and wait for its end at
// any time; the destructor does that. Pause and stop take effect between items. One worker is the
// current one at a time (Current()); it stays current until its end has been reported.

#include "browse/thumbs/ThumbCache.h"
#include "browse/thumbs/ThumbTile.h"
#include "imaging/core/Palette.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QThread;

namespace kestrel {

// One tile for the window.
struct TThumbDelivery {
  int Index = 0;    // of the name in the list
  std::string Path; // folder + name
  int Code = tcNone;
  std::shared_ptr<const TBitmap> Tile;
};

class TThumbFolder : public QObject {
public:
  TThumbFolder();
  ~TThumbFolder() override; // stops a run and waits for its threads

  // Configuration, set before Start.
  std::string Folder; // with its trailing separator; prefixed to every name
  TThumbOptions Options;
  int MaximumCount = 0; // at most this many items are taken
  TThumbReader Reader;
  TPalette TilePalette; // given to every tile (palette screens); null for none
  int Threads = 0;      // decoding threads; 0: as many as the machine has cores, at most 2
  // The shared thumbnail cache to read and fill; null leaves it alone.
  std::shared_ptr<const TThumbCache> Cache;

  // Called on this object's thread: for each tile in list order, and once when the run has ended
  // (also after Stop).
  std::function<void(const TThumbDelivery& delivery)> OnThumbnail;
  std::function<void()> OnFinished;

  // Appends names (in list order) to the items of the run.
  void CollectNames(const std::vector<std::string>& names);
  const std::vector<std::string>& Names() const { return names_; }

  void Start();
  // Ends the run before its next item; tiles not yet handed over are dropped. OnFinished follows.
  void Stop();
  void SetPaused(bool paused);
  bool Paused() const { return paused_; }
  bool Stopping() const { return stop_; }
  // Started and its end not yet reported.
  bool Running() const { return running_; }

  // The worker whose run has not ended, or null.
  static TThumbFolder* Current() { return current_; }

private:
  void Decode();
  bool TakeItem(int& item);
  void Deliver(int item, TThumbTile&& made);
  void ThreadEnded();
  void Ended();
  void JoinThreads();

  std::vector<std::string> names_;
  std::vector<QThread*> threads_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> paused_{false};
  bool running_ = false;
  bool dropTiles_ = false; // set by Stop: queued tiles are not handed over

  std::mutex mutex_;
  std::condition_variable wake_;
  int count_ = 0; // items of the run
  int nextTake_ = 0;
  int nextDeliver_ = 0;
  int window_ = 1; // items taken but not yet handed over, at most
  int threadsLeft_ = 0;
  std::map<int, TThumbTile> ready_;

  static std::atomic<TThumbFolder*> current_;
};

} // namespace kestrel
