#pragma once
// "Set As &Wallpaper": the shown picture becomes the desktop's wallpaper, centred, tiled or
// stretched, or ("&None") the desktop shows none. The picture is written as a .bmp of at most 8
// bits per pixel (deeper pictures are reduced to 256 colours) into the wallpaper folder, named
// after the picture's file; a file of that name is replaced only when the user says so, and the
// user's own picture is never written over.

#include "desktop/wallpaper/WallpaperSetter.h"

#include <QString>

class QWidget;

namespace kestrel {

class TBitmap;

// What the wallpaper is made of.
struct TWallpaperSource {
  const TBitmap* Shown = nullptr; // the displayed bitmap
  QString SelectedFile;           // the file list's current file, when any file is selected
  QString ShownFile;              // the file the shown picture came from
};

// The wallpaper folder + the selected file's name without its extension (else the shown
// file's, when it exists, else "untitled") + ".bmp".
QString WallpaperFileFor(const TWallpaperSource& source);

class TWallpaper {
public:
  explicit TWallpaper(QWidget* parent);

  // Makes the shown picture the wallpaper in style; does nothing without a picture. Returns the
  // wallpaper file, or an empty text when the user cancelled or nothing could be done.
  QString Set(const TWallpaperSource& source, TWallpaperStyle style);
  // The desktop shows no wallpaper.
  void Remove();

  // How the desktop is asked; tests record its commands instead of running them.
  TWallpaperSetter Setter;

private:
  bool WriteFile(const TBitmap& shown, const QString& file);
  void Apply(const QString& file, TWallpaperStyle style);

  QWidget* parent_;
};

} // namespace kestrel
