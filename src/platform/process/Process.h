#pragma once
// Starting other programs and handing links to the desktop.

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QObject;

namespace kestrel {

// Starts program with its arguments as they stand (each one whole, never through a shell), in
// workingFolder when one is given, not waiting for it. Returns 0, or the system's error number
// when it could not be started. A detached start reports nothing that goes wrong after it, so
// what can be known before is checked first: the program must be an executable regular file and
// the working folder a folder.
int StartDetachedProcess(const QString& program, const QStringList& arguments,
                         const QString& workingFolder = QString());
// 0 when program is an executable regular file, else the system's error number for why not.
int ProgramError(const QString& program);
// The system's text for an error number.
QString SystemErrorText(int error);
// Hands a link to the desktop: a folder opens in the file manager, "mailto:" in the mail program,
// a web address in the browser. Does not wait: done(opened) follows on context's thread once the
// desktop has answered, with false when it had nothing to open the link with (never once context
// is gone).
void OpenUrl(const QUrl& url, QObject* context, std::function<void(bool opened)> done);
// The same without waiting for the answer: false only when the link could not be handed over.
bool OpenUrl(const QUrl& url);

} // namespace kestrel
