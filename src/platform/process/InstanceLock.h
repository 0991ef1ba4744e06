#pragma once
// A named lock shared by every running copy, standing in for a named mutex: it exists while any
// copy holds it, so the first copy is the one that found nobody holding it. A copy that dies
// releases its hold with its process, so a crash never leaves a stale lock behind.

#include <QString>

namespace kestrel {

class TInstanceLock {
public:
  explicit TInstanceLock(const QString& name);
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // Takes a hold for the life of this object. True when no other copy held the lock; false when
  // one did, or when the lock could not be made at all.
  bool Acquire();

private:
  QString Name;
  int Handle = -1;
};

} // namespace kestrel
