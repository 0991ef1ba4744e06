#pragma once
// The walk of a search: every entry of a folder tree but "." and "..", depth first, each folder's
// entries in the order the file system gives them and then its sub-folders one after another.
// The walk
// - never follows a symbolic link into a folder, and never enters a folder twice;
// - stays on the volume it starts on (a folder where another volume is mounted is examined but
//   not entered);
// - skips a folder it cannot read, or that has vanished, without a word;
// - reads an entry's kind from the folder listing and asks for sizes only of the hits;
// - takes paths of any length (longer ones than the system opens at once are opened in pieces);
// - holds no folder open while it walks below it.
// It has no windows: the find window runs it on a worker, kestrel-tool find on its own thread.

#include "browse/find/FindCriteria.h"

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

namespace kestrel {

class TFindWalk {
public:
  using THitSink = std::function<void(TFindHit&&)>;

  // stop may be set from any thread; the walk checks it at every entry, and sets it itself when
  // the criteria's limit of hits is reached.
  TFindWalk(const TFindCriteria& criteria, std::atomic<bool>& stop, THitSink found);

  // Walks root and the tree below it. False when the walk was stopped.
  bool Walk(const std::string& root);

  int Hits() const { return Count; }
  bool LimitReached() const { return AtLimit; }
  // Called after each folder is read (the hits' batching looks at the clock there).
  std::function<void()> FolderRead;

private:
  struct TFolderScan;
  void ReadFolder(const std::string& folder, bool isRoot, std::vector<std::string>& pending);
  void Examine(TFolderScan& scan, std::string_view name, bool isFolder);
  void ListContainer(TFolderScan& scan);
  void Add(TFindHit&& hit);
  // The sum of the sizes of the files directly inside the folder name of the folder open as
  // parent ("." for parent itself); 0 when it cannot be read.
  qint64 ContentsSize(int parent, const char* name) const;
  bool Stopped() const { return Stop.load(std::memory_order_relaxed); }

  TFindCriteria Criteria;
  TFindPattern Pattern;
  std::atomic<bool>& Stop;
  THitSink Found;
  int Count = 0;
  bool AtLimit = false;
  dev_t Device = 0;                  // the volume of the walk's root
  std::unordered_set<ino_t> Entered; // the folders of this volume already walked
};

} // namespace kestrel
