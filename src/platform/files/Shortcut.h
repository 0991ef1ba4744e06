#pragma once
// Shortcuts and the canonical form of a path. A shortcut is a symbolic link, a ".desktop" launcher
// of Type=Link whose URL is a local file, or a ".lnk" shell link (its local base path is read).
// The canonical form of a path is its cleaned absolute form; a symbolic link is replaced by what
// it finally points to.

#include <QByteArray>
#include <QString>

#include <optional>

namespace kestrel {

struct TResolvedPath {
  QString Path;
  bool BadLink = false; // a shortcut that could not be read: Path is the one given, cleaned
};

// The path a shortcut leads to, in canonical form; any other path in canonical form.
TResolvedPath ResolvePath(const QString& path);

// The local file a launcher's text links to: nullopt when the text is no link launcher, an empty
// path when it is one that leads nowhere usable (another scheme, no URL).
std::optional<QString> DesktopLinkTarget(const QByteArray& text);
// The local base path of a shell link's bytes (with "/" for "\"); empty when they hold none.
QString ShellLinkTarget(const QByteArray& bytes);

// The largest shortcut file read; anything longer is no shortcut.
inline constexpr qint64 kLongestShortcut = 1 << 16;

} // namespace kestrel
