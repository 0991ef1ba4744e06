#pragma once
// The desktop's own tools the installation runs (xdg-mime, update-mime-database,
// update-desktop-database), found on PATH and started with argument lists, never a shell.

#include <QString>
#include <QStringList>

namespace kestrel {

// Whether the tool is on PATH.
bool HasDesktopTool(const QString& tool);
// Runs the tool and waits for it. Empty when it ran and exited with 0; otherwise what went wrong,
// as a sentence for the user (not found, failed to start, exit code with its error output, or
// did not finish in time).
QString RunDesktopTool(const QString& tool, const QStringList& arguments);

} // namespace kestrel
