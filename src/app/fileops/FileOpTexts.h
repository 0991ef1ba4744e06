#pragma once
// The questions and messages of the file operations, worded as the program has always worded them.

#include "platform/ui/MessageBox.h"

#include <QStringList>

namespace kestrel {

enum class TFileAction { Copy, Move, Trash };

// Asked after a copy or move of the file named name failed with error (errno or kSameFile):
// "Kestrel!: Copy/Move Error <number>", Yes goes on with the remaining files.
TMessageRequest CopyMoveQuestion(const QString& name, int error);
// Asked after a file could not go to the Trash (errno or kNoTrash); Yes goes on.
TMessageRequest TrashQuestion(const QString& name, int error);
// Asked before files go to the Trash.
TMessageRequest TrashConfirmation(const QStringList& paths);

// The progress window's caption and the line for one file.
QString ProgressTitle(TFileAction action);
QString ProgressLabel(TFileAction action, const QString& name, int index, int count);

} // namespace kestrel
