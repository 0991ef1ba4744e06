#pragma once
// What the find windows ask of the main window. The main window fills these in; a command whose
// hook is left empty is not available and stays disabled.

#include <QStringList>
#include <QUrl>

#include <functional>

namespace kestrel {

enum class TFindTransferKind : int { Copy, Move, Trash };

struct TFindHost {
  // Shows a picture in the viewer, its folder in the file view.
  std::function<void(const QString& path)> AcceptFile;
  // Shows a picture, the file view as it is; only while FileListEnabled.
  std::function<void(const QString& path)> LoadPicture;
  std::function<bool()> FileListEnabled;
  // The extension of path is one the viewer shows.
  std::function<bool(const QString& path)> IsPicture;
  // "Kestrel!": the file view goes to folder.
  std::function<void(const QString& folder)> ShowFolder;
  // "Move/Copy  Dialog ": the copy and move dialog starts in folder.
  std::function<void(const QString& folder)> SetCopyMoveTarget;
  // Opens a file or folder with the desktop's own program, telling the user when none can (what:
  // "the file", "the folder").
  std::function<void(const QUrl& url, const QString& what)> OpenLink;
  // "Open in New Viewer ": another copy of the program on path.
  std::function<void(const QString& path)> StartViewer;
  // The main window's folder, where "Move File" and "Copy File" put files.
  std::function<QString()> CurrentFolder;
  // Copies or moves files into folder, or moves them to the Trash (asking first), with the
  // program's questions on failures; returns the files handled.
  std::function<QStringList(TFindTransferKind kind, const QStringList& files,
                            const QString& folder)>
      Transfer;
  // "Set As External Viewer" and "Picture Index Browse Dialog".
  std::function<void(const QString& program)> SetExternalViewer;
  std::function<void(const QString& picture)> SetIndexBackground;
};

} // namespace kestrel
