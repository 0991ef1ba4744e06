#pragma once
// Starting other programs and handing links to the desktop.

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QObject;

namespace kestrel {

// Starts program with its arguments as they stand (each one whole, never through a shell), not
// waiting for it. Returns 0, or the system's error number when it could not be started.
int StartDetachedProcess(const QString& program, const QStringList& arguments);
// Hands a link to the desktop: a folder opens in the file manager, "mailto:" in the mail program,
// a web address in the browser. Does not wait: done(opened) follows on context's thread once the
// desktop has answered, with false when it had nothing to open the link with (never once context
// is gone).
void OpenUrl(const QUrl& url, QObject* context, std::function<void(bool opened)> done);

} // namespace kestrel
