#pragma once
// Writing and removing the integration's files. Each returns empty on success, else what went
// wrong as a sentence for the user.

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

namespace kestrel {

// Replaces the file whole (a reader sees the old file or the new one), creating its folder when
// missing; permissions, when given, are set on the new file, else an existing file's are kept.
QString WriteWholeFile(const QString& file, const QByteArray& bytes,
                       std::optional<QFileDevice::Permissions> permissions);
// Removes the file; a file that is not there is no error.
QString RemoveFile(const QString& file);
// Removes folder and then its parents while they are empty, stopping at (and keeping) base.
void RemoveEmptyFolders(const QString& folder, const QString& base);

} // namespace kestrel
