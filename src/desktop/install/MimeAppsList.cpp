#include "desktop/install/MimeAppsList.h"

#include "desktop/install/FileWriting.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrel {
namespace {

const QByteArray kDefaultGroup = "[Default Applications]";

bool IsBlank(const QByteArray& line) {
  return line.trimmed().isEmpty();
}

bool IsHeader(const QByteArray& line) {
  return line.trimmed().startsWith('[');
}

QByteArray LineEnd(const QByteArray& line) {
  return line.endsWith("\r\n") ? "\r\n" : line.endsWith('\n') ? "\n" : "";
}

QByteArray Key(const QByteArray& line) {
  const qsizetype equals = line.indexOf('=');
  return equals < 0 ? QByteArray() : line.left(equals).trimmed();
}

QList<QByteArray> Entries(const QByteArray& line) {
  QList<QByteArray> entries;
  for (const QByteArray& entry : line.mid(line.indexOf('=') + 1).trimmed().split(';'))
    if (!entry.trimmed().isEmpty()) entries << entry.trimmed();
  return entries;
}

} // namespace

TMimeAppsList::TMimeAppsList(const QByteArray& text) {
  qsizetype start = 0;
  while (start < text.size()) {
    const qsizetype end = text.indexOf('\n', start);
    const qsizetype next = end < 0 ? text.size() : end + 1;
    Lines << text.mid(start, next - start);
    start = next;
  }
}

QList<TMimeAppsList::TGroup> TMimeAppsList::DefaultGroups() const {
  QList<TGroup> groups;
  for (qsizetype i = 0; i < Lines.size(); ++i) {
    if (!IsHeader(Lines[i])) continue;
    if (!groups.isEmpty() && groups.last().End < 0) groups.last().End = i;
    if (Lines[i].trimmed() == kDefaultGroup) groups << TGroup{i, -1};
  }
  if (!groups.isEmpty() && groups.last().End < 0) groups.last().End = Lines.size();
  return groups;
}

qsizetype TMimeAppsList::FindLine(const TGroup& group, const QString& type) const {
  for (qsizetype i = group.Header + 1; i < group.End; ++i)
    if (Key(Lines[i]) == type.toUtf8()) return i;
  return -1;
}

bool TMimeAppsList::HasEntries(const TGroup& group) const {
  for (qsizetype i = group.Header + 1; i < group.End; ++i)
    if (!IsBlank(Lines[i])) return true;
  return false;
}

void TMimeAppsList::SetDefault(const QString& type, const QString& id) {
  const QByteArray line = type.toUtf8() + '=' + id.toUtf8() + ';';
  const QList<TGroup> groups = DefaultGroups();
  if (groups.isEmpty()) {
    if (!Lines.isEmpty() && !Lines.last().endsWith('\n')) Lines.last() += '\n';
    if (!Lines.isEmpty()) Lines << "\n";
    Lines << kDefaultGroup + '\n' << line + '\n';
    return;
  }
  const TGroup& group = groups.first();
  if (const qsizetype found = FindLine(group, type); found >= 0) {
    Lines[found] = line + LineEnd(Lines[found]);
    return;
  }
  // After the group's last line with text, so blank lines before the next group stay there.
  qsizetype at = group.End;
  while (at > group.Header + 1 && IsBlank(Lines[at - 1]))
    --at;
  if (!Lines[at - 1].endsWith('\n')) Lines[at - 1] += '\n';
  Lines.insert(at, line + '\n');
}

bool TMimeAppsList::RemoveDefault(const QString& type, const QString& id) {
  bool changed = false;
  QList<TGroup> groups = DefaultGroups();
  // From the last group back, so removing lines leaves the earlier groups' indexes valid.
  for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
    const qsizetype found = FindLine(*group, type);
    if (found < 0) continue;
    QList<QByteArray> entries = Entries(Lines[found]);
    if (entries.removeAll(id.toUtf8()) == 0) continue;
    changed = true;
    if (!entries.isEmpty()) {
      Lines[found] = type.toUtf8() + '=' + entries.join(';') + ';' + LineEnd(Lines[found]);
      continue;
    }
    Lines.removeAt(found);
    --group->End;
    if (HasEntries(*group)) continue;
    // The group held only our lines: it goes, with the blank line that was added before it.
    const qsizetype first =
        group->Header > 0 && IsBlank(Lines[group->Header - 1]) ? group->Header - 1 : group->Header;
    Lines.remove(first, group->Header + 1 - first);
  }
  return changed;
}

QString TMimeAppsList::DefaultOf(const QString& type) const {
  for (const TGroup& group : DefaultGroups())
    if (const qsizetype found = FindLine(group, type); found >= 0) {
      const QList<QByteArray> entries = Entries(Lines[found]);
      return entries.isEmpty() ? QString() : QString::fromUtf8(entries.first());
    }
  return {};
}

QString MimeAppsListFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/mimeapps.list";
}

QByteArray ReadMimeAppsList(QString* error) {
  QFile file(MimeAppsListFile());
  if (!file.exists()) return {};
  if (!file.open(QIODevice::ReadOnly)) {
    *error = "Cannot read " + file.fileName() + ": " + file.errorString();
    return {};
  }
  return file.readAll();
}

QString WriteMimeAppsList(const QByteArray& text) {
  const QString name = MimeAppsListFile();
  const QFileInfo info(name);
  const QString target = info.isSymLink() ? info.canonicalFilePath() : name;
  if (text.isEmpty()) return RemoveFile(target.isEmpty() ? name : target);
  return WriteWholeFile(target.isEmpty() ? name : target, text, std::nullopt);
}

} // namespace kestrel
