#pragma once
// Launchers as freedesktop desktop entries (".desktop" files). The ones Kestrel writes for a user
// carry the marker key X-Kestrel-Owned=true: only a file with the marker is ever replaced or
// deleted, so a user's own launcher of the same name is left alone.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrel {

struct TDesktopEntry {
  QString Program;       // an absolute path, or a bare name looked up on PATH
  QString Icon;          // an icon name of the theme, or an absolute path
  QStringList MimeTypes; // the types it opens: it is offered in "Open With" for them
  bool Menu = true;      // shown in the program menu (else NoDisplay)
  bool Owned = true;     // carries the marker

  QByteArray Text() const;
};

// The Exec key's form of one argument: quoted where the rules want it, with "%" doubled.
QString ExecArgument(const QString& argument);
// A value in the entry's escaped form ("\\" for a backslash, "\n" for a line break).
QString EscapedValue(const QString& value);
// Whether the file is a desktop entry that carries the marker.
bool CarriesMarker(const QString& file);

} // namespace kestrel
