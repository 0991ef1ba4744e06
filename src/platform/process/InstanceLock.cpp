#include "platform/process/InstanceLock.h"

#include "platform/paths/Paths.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kestrel {
namespace {

int OpenLockFile(const QString& fileName) {
  // Close-on-exec, so a copy started from this one does not inherit the hold.
  return ::open(QFile::encodeName(fileName).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

} // namespace

TInstanceLock::TInstanceLock(const QString& name) : Name(name) {}

TInstanceLock::~TInstanceLock() {
  if (Handle >= 0) ::close(Handle);
}

bool TInstanceLock::Acquire() {
  const QString base = RuntimeFolder() + "/" + Name;
  Handle = OpenLockFile(base + ".lock");
  const int guard = OpenLockFile(base + ".guard");
  if (Handle < 0 || guard < 0) {
    if (guard >= 0) ::close(guard);
    return false;
  }
  // The guard makes "test for other holders, then hold shared" one step for every copy: turning
  // an exclusive hold into a shared one is not atomic.
  ::flock(guard, LOCK_EX);
  const bool first = ::flock(Handle, LOCK_EX | LOCK_NB) == 0;
  ::flock(Handle, LOCK_SH);
  ::close(guard);
  return first;
}

} // namespace kestrel
