#pragma once
// What a file drop names: only the first file counts, and it is taken whole (a long path cut short
// names something else).

#include <QMimeData>
#include <QString>
#include <QUrl>

namespace kestrel {

// The first dropped name when it is a local file, else empty.
inline QString DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  return urls.isEmpty() || !urls.first().isLocalFile() ? QString() : urls.first().toLocalFile();
}

} // namespace kestrel
