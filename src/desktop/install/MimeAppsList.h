#pragma once
// The "[Default Applications]" lines of a mimeapps.list, edited in place: only the lines of the
// types we change are touched, everything else (comments, other groups, lines the desktop would
// call syntax errors) stays byte for byte.

#include <QByteArray>
#include <QList>
#include <QString>

namespace kestrel {

class TMimeAppsList {
public:
  explicit TMimeAppsList(const QByteArray& text = QByteArray());

  // Makes id the default program of type. A missing group is added at the end, after a blank
  // line when the file has text.
  void SetDefault(const QString& type, const QString& id);
  // Takes id out of type's default list, removing the line when nothing else is left and the
  // group with it when the group held only such lines. Whether anything changed.
  bool RemoveDefault(const QString& type, const QString& id);
  // The first program of type's default list; empty when there is none.
  QString DefaultOf(const QString& type) const;
  QByteArray Text() const { return Lines.join(); }

private:
  struct TGroup {
    qsizetype Header = -1; // the header line's index
    qsizetype End = 0;     // one past its last line
  };
  QList<TGroup> DefaultGroups() const;
  // The index of type's line in the group, or -1.
  qsizetype FindLine(const TGroup& group, const QString& type) const;
  bool HasEntries(const TGroup& group) const;

  QList<QByteArray> Lines; // each with its own line end
};

// The list's file: $XDG_CONFIG_HOME/mimeapps.list.
QString MimeAppsListFile();
// Reads the list; an empty text when the file does not exist.
QByteArray ReadMimeAppsList(QString* error);
// Replaces the list's file whole (its target, when it is a symbolic link), or removes it when
// text is empty. Empty, or what went wrong.
QString WriteMimeAppsList(const QByteArray& text);

} // namespace kestrel
