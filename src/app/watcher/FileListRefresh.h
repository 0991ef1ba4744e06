#pragma once
// The pieces of the file-list refresh that stand apart from the main window: where the list stood
// before it, the folder to fall back on when the shown one is gone, and whether the shown
// picture's file is still the one that was loaded.

#include <QDateTime>
#include <QString>

namespace kestrel {

class TFListBox;

// Where the file list stood: its scroll position, and the position and name of its first
// selected file (-1 and empty when none is selected).
struct TListMemory {
  int Scroll = 0;
  int Position = -1;
  QString Name;

  static TListMemory Of(const TFListBox& list);
  // Selects the first item named Name exactly, else the item at Position while the list still
  // reaches it, else nothing; then scrolls back to Scroll.
  void RestoreIn(TFListBox& list) const;
};

// The nearest folder, from folder upwards, that exists and can be entered; the root at worst.
QString NearestExistingFolder(const QString& folder);

// Whether file lies directly in folder.
bool LiesIn(const QString& file, const QString& folder);

// A file as it was when looked at: a reload is needed only when this changed.
struct TFileStamp {
  QString Path;
  qint64 Size = -1;
  QDateTime Modified;

  static TFileStamp Of(const QString& path);
  bool operator==(const TFileStamp&) const = default;
};

} // namespace kestrel
