#include "platform/process/Process.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {
namespace {

// 0 when path names what kind wants (S_IFREG or S_IFDIR) and access allows mode, else errno.
int CheckPath(const QString& path, mode_t kind, int mode) {
  const QByteArray name = QFile::encodeName(path);
  struct stat status;
  if (::stat(name.constData(), &status) != 0) return errno;
  if ((status.st_mode & S_IFMT) != kind) return kind == S_IFDIR ? ENOTDIR : EACCES;
  return ::access(name.constData(), mode) == 0 ? 0 : errno;
}

} // namespace

int ProgramError(const QString& program) {
  return CheckPath(program, S_IFREG, X_OK);
}

int StartDetachedProcess(const QString& program, const QStringList& arguments,
                         const QString& workingFolder) {
  if (const int error = ProgramError(program)) return error;
  // The child would start in this process's folder when it cannot enter the one asked for.
  if (!workingFolder.isEmpty())
    if (const int error = CheckPath(workingFolder, S_IFDIR, X_OK)) return error;
  errno = 0;
  if (QProcess::startDetached(program, arguments, workingFolder)) return 0;
  return errno != 0 ? errno : ENOEXEC;
}

void OpenUrl(const QUrl& url, QObject* context, std::function<void(bool opened)> done) {
  // The desktop's opener says by its exit code whether anything took the link; handing the link
  // over through the toolkit only says that the opener started.
  const QString opener = QStandardPaths::findExecutable("xdg-open");
  if (opener.isEmpty()) {
    done(QDesktopServices::openUrl(url));
    return;
  }
  // Never destroyed while it runs (destroying it would end the opener, and with it a browser the
  // opener may be running in its own place); it frees itself when the opener ends. Its output
  // goes where ours goes, so nothing breaks when this program ends first.
  auto* process = new QProcess;
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  process->setInputChannelMode(QProcess::ForwardedInputChannel);
  QElapsedTimer running;
  running.start();
  QObject::connect(process, &QProcess::finished, context,
                   [done, running](int code, QProcess::ExitStatus status) {
                     // An opener that ran long ran the program it opened: the link was opened,
                     // however that program ended.
                     constexpr qint64 kOpened = 10000;
                     done((status == QProcess::NormalExit && code == 0) ||
                          running.elapsed() > kOpened);
                   });
  QObject::connect(process, &QProcess::errorOccurred, context,
                   [done](QProcess::ProcessError error) {
                     if (error == QProcess::FailedToStart) done(false);
                   });
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) process->deleteLater();
  });
  process->start(opener, {url.isLocalFile() ? url.toLocalFile() : url.toString()});
}

QString SystemErrorText(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

bool OpenUrl(const QUrl& url) {
  return QDesktopServices::openUrl(url);
}

} // namespace kestrel
