#include "platform/process/Process.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>

#include <cerrno>
#include <unistd.h>

namespace kestrel {

int StartDetachedProcess(const QString& program, const QStringList& arguments) {
  // The detached start does not hand back the child's error number; the usual causes are found
  // before starting.
  if (::access(QFile::encodeName(program).constData(), X_OK) != 0) return errno;
  errno = 0;
  if (QProcess::startDetached(program, arguments)) return 0;
  return errno != 0 ? errno : ENOEXEC;
}

bool OpenUrl(const QUrl& url) {
  return QDesktopServices::openUrl(url);
}

} // namespace kestrel
