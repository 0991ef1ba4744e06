#include "app/fileops/FileOpTexts.h"

#include "platform/files/FileTransfer.h"
#include "platform/files/Trash.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace kestrel {
namespace {

QString SystemText(int error) {
  // The system's own words for it speak of "multibyte characters".
  if (error == EILSEQ) return "Its name is not valid text here; rename it in a file manager.";
  return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

TMessageRequest CopyMoveQuestion(const QString& name, int error) {
  const int number = error == kSameFile ? EEXIST : error;
  QString text;
  if (error == kSameFile)
    text = "File " + name + " is the Same File as its Target" + "\r" +
           " Do you wish to Copy Any Remaining Files?";
  else if (error == EACCES || error == EPERM || error == EROFS)
    text = "File " + name + " Access Denied. File may be write protected" + "\r" +
           " Do you wish to Copy Any Remaining Files?";
  else if (error == EEXIST)
    text = "File " + name + " Already Exists in Destination Folder" + "\r" +
           " Do you wish to Copy Any Remaining Files?";
  else
    text = "There Was an error trying to Copy " + name + "\r" + SystemText(error) + "\r" +
           "Do You wish to Copy Any Remaining files?";
  return {text, "Kestrel!: Copy/Move Error " + QString::number(number), TMsgIcon::Question,
          TMsgButtons::YesNo};
}

TMessageRequest TrashQuestion(const QString& name, int error) {
  const QString reason = error == kNoTrash
                             ? QString("Its volume has no Trash you can use; the file is kept.")
                             : SystemText(error);
  return {"File " + name + " Could not be Moved to the Trash" + "\r" + reason + "\r" +
              " Do you wish to Delete Any Remaining Files?",
          "Kestrel!: Delete Error" + (error > 0 ? " " + QString::number(error) : QString()),
          TMsgIcon::Question, TMsgButtons::YesNo};
}

TMessageRequest TrashConfirmation(const QStringList& paths) {
  const QString text = paths.size() == 1
                           ? "Are you sure you want to move \"" +
                                 QFileInfo(paths.first()).fileName() + "\" to the Trash?"
                           : "Are you sure you want to move these " +
                                 QString::number(paths.size()) + " items to the Trash?";
  return {text, "Kestrel!: Delete File", TMsgIcon::Question, TMsgButtons::YesNo};
}

QString ProgressTitle(TFileAction action) {
  switch (action) {
  case TFileAction::Copy:
    return "Kestrel!: Copy File";
  case TFileAction::Move:
    return "Kestrel!: Move File";
  case TFileAction::Trash:
    break;
  }
  return "Kestrel!: Delete File";
}

QString ProgressLabel(TFileAction action, const QString& name, int index, int count) {
  const QString verb = action == TFileAction::Copy   ? "Copying "
                       : action == TFileAction::Move ? "Moving "
                                                     : "Moving to the Trash: ";
  return verb + name + QString(" (%1 of %2)").arg(index + 1).arg(count);
}

} // namespace kestrel
