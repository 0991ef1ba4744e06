#include "desktop/install/DesktopEntry.h"

#include <QFile>

namespace kestrel {
namespace {

const char kMarker[] = "X-Kestrel-Owned=true";

} // namespace

QString ExecArgument(const QString& argument) {
  QString text = argument;
  text.replace('%', "%%");
  static const QString reserved = " \t\n\"'\\><~|&;$*?#()`";
  bool quote = text.isEmpty();
  for (const QChar c : text)
    quote = quote || reserved.contains(c);
  if (!quote) return text;
  QString quoted = "\"";
  for (const QChar c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

QString EscapedValue(const QString& value) {
  QString out;
  for (const QChar c : value) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

namespace {

// The Exec key's start. Some desktops check the first word exists before expanding "%%" in it,
// so a program whose name holds "%" is started through env.
QString ExecProgram(const QString& program) {
  return (program.contains('%') ? "env " : "") + ExecArgument(program);
}

} // namespace

QByteArray TDesktopEntry::Text() const {
  QStringList lines = {"[Desktop Entry]",
                       "Type=Application",
                       "Version=1.0",
                       "Name=Kestrel!",
                       "GenericName=Picture Viewer",
                       "Comment=View, convert and manage pictures",
                       "Exec=" + EscapedValue(ExecProgram(Program) + " %f"),
                       "TryExec=" + EscapedValue(Program),
                       "Icon=" + EscapedValue(Icon),
                       "Terminal=false",
                       "Categories=Graphics;Viewer;2DGraphics;RasterGraphics;"};
  if (!MimeTypes.isEmpty()) lines << "MimeType=" + MimeTypes.join(';') + ";";
  if (!Menu) lines << "NoDisplay=true";
  if (Owned) lines << kMarker;
  return (lines.join('\n') + '\n').toUtf8();
}

bool CarriesMarker(const QString& file) {
  QFile entry(file);
  // A launcher is a few hundred bytes; a large file of that name is not one of ours.
  if (!entry.open(QIODevice::ReadOnly) || entry.size() > 65536) return false;
  bool inMain = false;
  for (const QByteArray& raw : entry.readAll().split('\n')) {
    const QByteArray line = raw.trimmed();
    if (line.startsWith('['))
      inMain = line == "[Desktop Entry]";
    else if (inMain && line == kMarker)
      return true;
  }
  return false;
}

} // namespace kestrel
