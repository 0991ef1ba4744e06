#pragma once
// What the thumbnail gallery needs of the main window. The main window fills these in.

#include "imaging/core/Color.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace kestrel {

class TBitmap;

struct TGalleryHost {
  // The folder the file list shows, and its items in list order (all, or the selected ones).
  std::function<QString()> Folder;
  std::function<QStringList(bool selectedOnly)> Names;
  std::function<int()> ItemCount;
  std::function<int()> SelectedCount;
  // Shows path in the viewer and, while the file list shows its folder, selects it there.
  std::function<void(const QString& path)> OpenFile;
  // The main window's timer runs (false while a run is under way).
  std::function<void(bool on)> SetTimer;
  std::function<TColor()> Background;
  // The target of "Move File" or "Copy File" (caption), asked through the main window's file
  // dialog with proposed as the name; empty when cancelled. The dialog asks before overwriting.
  std::function<QString(const QString& caption, const QString& proposed)> ChooseTarget;
  // Files of the shown folder were moved or deleted.
  std::function<void()> FilesChanged;
  std::function<void(const QString& path)> FindNameDuplicate;
  std::function<void(const QString& path)> FindSizeDuplicate;
  // Saves bitmap through the save dialog titled title, proposing the name; the saved path or
  // empty. Then without the dialog, by the remembered options; whether the file was written.
  std::function<QString(const QString& title, const QString& proposed, const TBitmap& bitmap)>
      SaveWithDialog;
  std::function<bool(const QString& path, const TBitmap& bitmap)> SaveWithoutDialog;
  // The main window's full-screen view is open (it hides the task bar).
  std::function<bool()> FullScreenActive;
  // Offers the gallery's one-time notice (the program's shared hint box).
  std::function<void()> LowColourNotice;
};

} // namespace kestrel
