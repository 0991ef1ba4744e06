#pragma once
// The mask of the file list: the picture formats the viewer reads.

#include <QString>
#include <QStringList>

namespace kestrel {

// The extensions of the picture registry, the viewer's own entries included, in the order they
// are registered (the format table's, then any class registered later).
QStringList ViewerExtensions();
// Every extension as "*.ext;" in order, each once.
QString ImageMask(const QStringList& extensions);
// Whether the file's extension is one of the mask's.
bool InImageMask(const QString& fileName, const QString& mask);

} // namespace kestrel
