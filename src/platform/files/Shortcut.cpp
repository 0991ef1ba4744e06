#include "platform/files/Shortcut.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cstring>

namespace kestrel {
namespace {

// Shell link layout: a 0x4C-byte header naming the shell-link class, the flags at 0x14; an item
// list (when flagged) and then the link information block.
constexpr qsizetype kHeaderSize = 0x4C;
constexpr quint32 kHasIdList = 0x1;
constexpr quint32 kHasLinkInfo = 0x2;
constexpr quint32 kHasLocalBasePath = 0x1;
constexpr qsizetype kLinkInfoHeader = 0x1C;        // up to the common path suffix's offset
constexpr qsizetype kLinkInfoUnicodeHeader = 0x24; // with the two Unicode offsets
const unsigned char kShellLinkClass[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

quint32 U16(const QByteArray& bytes, qsizetype at) {
  return quint8(bytes[at]) | quint32(quint8(bytes[at + 1])) << 8;
}

quint32 U32(const QByteArray& bytes, qsizetype at) {
  return U16(bytes, at) | U16(bytes, at + 2) << 16;
}

// A zero-ended 8-bit text starting at offset inside block; empty when it does not end inside.
QString EightBitText(const QByteArray& block, quint32 offset) {
  if (offset == 0 || offset >= quint32(block.size())) return {};
  const qsizetype end = block.indexOf('\0', qsizetype(offset));
  if (end < 0) return {};
  return QString::fromLatin1(block.mid(qsizetype(offset), end - qsizetype(offset)));
}

QString WideText(const QByteArray& block, quint32 offset) {
  if (offset == 0) return {};
  QString text;
  for (qsizetype at = offset; at + 1 < block.size(); at += 2) {
    const char16_t unit = char16_t(U16(block, at));
    if (unit == 0) return text;
    text.append(QChar(unit));
  }
  return {};
}

// A launcher value with its escapes undone.
QString Unescaped(const QString& value) {
  QString text;
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      text.append(value[i]);
      continue;
    }
    const QChar next = value[++i];
    text.append(next == 's'   ? QChar(' ')
                : next == 'n' ? QChar('\n')
                : next == 't' ? QChar('\t')
                : next == 'r' ? QChar('\r')
                              : next);
  }
  return text;
}

QString LocalFileOf(const QString& url) {
  if (url.startsWith('/')) return url;
  const QUrl parsed(url);
  return parsed.isLocalFile() ? parsed.toLocalFile() : QString();
}

std::optional<QByteArray> ReadShortcut(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kLongestShortcut) return std::nullopt;
  return file.read(kLongestShortcut);
}

bool IsDrivePath(const QString& path) {
  return path.size() >= 3 && path[0].isLetter() && path[1] == ':' && path[2] == '/';
}

QString Canonical(const QString& path) {
  const QFileInfo info(path);
  if (info.isSymLink()) {
    const QString target = info.canonicalFilePath();
    // A link to nothing: where it points, which does not exist.
    return target.isEmpty() ? QDir::cleanPath(info.symLinkTarget()) : target;
  }
  return QDir::cleanPath(info.absoluteFilePath());
}

} // namespace

std::optional<QString> DesktopLinkTarget(const QByteArray& text) {
  if (text.size() > kLongestShortcut) return std::nullopt;
  bool inEntry = false, isLink = false;
  QString url;
  for (const QByteArray& raw : text.split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    if (line.startsWith('[')) {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) continue;
    const QString key = line.left(equals).trimmed(), value = line.mid(equals + 1).trimmed();
    if (key == "Type") isLink = value == "Link";
    if (key == "URL") url = Unescaped(value);
  }
  if (!isLink) return std::nullopt;
  return LocalFileOf(url);
}

QString ShellLinkTarget(const QByteArray& bytes) {
  if (bytes.size() < kHeaderSize || U32(bytes, 0) != quint32(kHeaderSize) ||
      std::memcmp(bytes.constData() + 4, kShellLinkClass, sizeof kShellLinkClass) != 0)
    return {};
  const quint32 flags = U32(bytes, 0x14);
  qsizetype at = kHeaderSize;
  if (flags & kHasIdList) {
    if (at + 2 > bytes.size()) return {};
    at += 2 + qsizetype(U16(bytes, at));
  }
  if (!(flags & kHasLinkInfo) || at + kLinkInfoHeader > bytes.size()) return {};
  const quint32 size = U32(bytes, at), headerSize = U32(bytes, at + 4);
  if (size < quint32(kLinkInfoHeader) || size > quint32(bytes.size() - at) ||
      headerSize < quint32(kLinkInfoHeader) || headerSize > size)
    return {};
  const QByteArray info = bytes.mid(at, qsizetype(size));
  if (!(U32(info, 8) & kHasLocalBasePath)) return {};
  QString path, suffix;
  if (headerSize >= quint32(kLinkInfoUnicodeHeader)) {
    path = WideText(info, U32(info, 0x1C));
    suffix = WideText(info, U32(info, 0x20));
  }
  if (path.isEmpty()) {
    path = EightBitText(info, U32(info, 0x10));
    suffix = EightBitText(info, U32(info, 0x18));
  }
  QString joined = path + suffix;
  return joined.replace('\\', '/');
}

TResolvedPath ResolvePath(const QString& path) {
  const QFileInfo info(path);
  const QString suffix = info.suffix().toLower();
  if (info.isFile() && (suffix == "desktop" || suffix == "lnk")) {
    const std::optional<QByteArray> bytes = ReadShortcut(path);
    if (!bytes) return {QDir::cleanPath(info.absoluteFilePath()), true};
    std::optional<QString> target;
    if (suffix == "lnk")
      target = ShellLinkTarget(*bytes);
    else
      target = DesktopLinkTarget(*bytes);
    if (!target) return {Canonical(path), false}; // a launcher of a program: no shortcut
    if (target->isEmpty()) return {QDir::cleanPath(info.absoluteFilePath()), true};
    // A drive of another system names nothing here; it is shown as it was written.
    if (IsDrivePath(*target)) return {*target, false};
    return {Canonical(info.dir().absoluteFilePath(*target)), false};
  }
  return {Canonical(path), false};
}

} // namespace kestrel
