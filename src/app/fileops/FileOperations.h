#pragma once
// Copying, moving and deleting (to the Trash) lists of files, for any window of the program: the
// main window's commands, the find window's results, the gallery's selection. The caller gives
// full paths (and a target folder); each operation works through them in order.
//
//   TFileOperations operations(window);
//   const TOperationResult copied = operations.Copy(paths, targetFolder);
//   if (operations.ConfirmTrash(paths)) operations.Trash(paths);
//
// Promises:
// - Copy and Move never replace an existing file: a taken name fails with EEXIST. Only the
//   single-file CopyReplacing and MoveReplacing replace, and only once the new copy is complete;
//   a target that is the source itself (the same file under any name) is refused, never deleted.
// - A move across volumes removes the source only after its copy is complete and on disk; a failed
//   copy leaves no partial file.
// - Trash moves files into the desktop's Trash; a file whose volume has none stays where it is.
// - A file that fails raises one question (AskToContinue): Yes goes on with the next file, No
//   stops. A file that vanished or cannot be read is such a failure, nothing more.
// - The work runs off the UI thread; the window keeps processing events at least every 30 ms
//   (user input waits), and after ProgressDelay a progress window opens whose "Cancel" stops the
//   work (a copy under way is taken back).
// - The file view is not touched: the caller pauses its refresh (TRefreshPause) and refreshes it.

#include "app/fileops/FileOpTexts.h"
#include "platform/files/FileTransfer.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QWidget;

namespace kestrel {

class TOperationWorker;

struct TFileFailure {
  TFileAction Action;
  QString Path; // the file that failed
  int Error;    // the system's error number, kSameFile or kNoTrash
};

struct TOperationResult {
  QStringList Done;     // the files handled, in order
  QStringList Targets;  // where each went (for the Trash, its place in the Trash's files/)
  QStringList Failed;   // the files that failed, whose question was asked
  bool Stopped = false; // the user answered No, or cancelled in the progress window
};

class TFileOperations {
public:
  // window: the parent of the questions and the progress window (may be null).
  explicit TFileOperations(QWidget* window = nullptr);

  // Copies or moves each file into folder under its own name.
  TOperationResult Copy(const QStringList& files, const QString& folder);
  TOperationResult Move(const QStringList& files, const QString& folder);
  // Copies or moves one file to the full name target, replacing a file there.
  TOperationResult CopyReplacing(const QString& file, const QString& target);
  TOperationResult MoveReplacing(const QString& file, const QString& target);
  // Moves each path to the Trash of its volume.
  TOperationResult Trash(const QStringList& paths);
  // Asks the user whether the paths are to go to the Trash.
  bool ConfirmTrash(const QStringList& paths) const;

  // Asked after each failure; true goes on with the next file. By default the user is asked the
  // program's error question (CopyMoveQuestion, TrashQuestion).
  std::function<bool(const TFileFailure&)> AskToContinue;
  // How long (ms) the work runs before the progress window opens.
  int ProgressDelay = 500;

private:
  struct TJob {
    QString Source;
    QString Target;
    std::function<int(const TCopyControl&, QString& target)> Work;
  };
  TOperationResult Run(TFileAction action, const std::vector<TJob>& jobs);
  TOperationResult Transfer(TFileAction action, const QStringList& files, const QString& folder);
  bool Ask(const TFileFailure& failure) const;

  QWidget* Window;
};

} // namespace kestrel
