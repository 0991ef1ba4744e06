#pragma once
// The desktop's Trash (the freedesktop layout): a file goes into the Trash of its own volume by a
// rename, beside a ".trashinfo" record of where it came from and when, so a file manager can put
// it back. The home Trash ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash) takes the files
// of its own volume; a file elsewhere goes to "<top>/.Trash/<uid>" where the administrator made
// "<top>/.Trash" a sticky folder, else to "<top>/.Trash-<uid>", <top> being the volume's top
// folder. A file whose volume has no Trash this user can use stays where it is (kNoTrash): it is
// never removed instead.

#include <QByteArray>
#include <QString>

#include <sys/types.h>

#include <unordered_map>

namespace kestrel {

// The file's volume has no Trash this user can use.
inline constexpr int kNoTrash = -2;

class TTrash {
public:
  // Moves path (a file or a symbolic link, not followed) to the Trash: 0, else the system's error
  // number or kNoTrash, and then nothing has changed.
  int MoveToTrash(const QString& path);

  // Where the last file trashed went: the Trash folder (holding files/ and info/) and its name in
  // files/.
  QString LastTrash() const { return Last.Folder; }
  QString LastName() const { return Last.Name; }

  // The home Trash of this environment.
  static QString HomeTrash();

private:
  struct TPlace {
    QString Folder; // empty: none usable
    QString Top;    // paths are recorded relative to it; empty for the home Trash
  };
  struct TLast {
    QString Folder;
    QString Name;
  };
  // The Trash for files of device; path is one of them. Looked up once per device.
  const TPlace& PlaceFor(dev_t device, const QString& path);
  TPlace FindPlace(dev_t device, const QString& path) const;
  int Record(const TPlace& place, const QString& path, const QString& name);

  std::unordered_map<dev_t, TPlace> Places;
  TLast Last;
};

} // namespace kestrel
