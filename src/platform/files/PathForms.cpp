#include "platform/files/PathForms.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace kestrel {
namespace {

QString FirstLine(const QString& text) {
  // Only the head is looked at: a clipboard may hold megabytes.
  const QString head = text.left(kLongestPathText + 2);
  for (qsizetype i = 0; i < head.size(); ++i)
    if (head[i] == '\r' || head[i] == '\n') return head.left(i);
  return head;
}

QStringList Candidates(const QString& line) {
  if (line.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
    const QUrl url(line.trimmed());
    return url.isLocalFile() ? QStringList{url.toLocalFile()} : QStringList();
  }
  QStringList candidates{line, ToUnixPath(line)};
  const QString trimmed = line.trimmed();
  // Quotes a shell or a file manager put round a path.
  for (const QChar quote : {QChar('"'), QChar('\'')})
    if (trimmed.size() > 1 && trimmed.front() == quote && trimmed.back() == quote)
      candidates << trimmed.mid(1, trimmed.size() - 2)
                 << ToUnixPath(trimmed.mid(1, trimmed.size() - 2));
  candidates << trimmed << ToUnixPath(trimmed);
  return candidates;
}

} // namespace

QString ToDosPath(const QString& path) {
  return QString(path).replace('/', '\\');
}

QString ToUnixPath(const QString& text) {
  return QString(text).replace('\\', '/');
}

QString FromClipboardPath(const QString& text) {
  const QString line = FirstLine(text);
  if (line.isEmpty() || line.size() > kLongestPathText) return {};
  for (const QString& candidate : Candidates(line)) {
    if (candidate.isEmpty() || QDir::isRelativePath(candidate)) continue;
    if (QFileInfo::exists(candidate)) return QDir::cleanPath(candidate);
  }
  return {};
}

} // namespace kestrel
