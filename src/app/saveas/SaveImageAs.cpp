#include "app/saveas/SaveImageAs.h"

#include "app/save/SaveFilter.h"
#include "platform/ui/SaveDialog.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>

namespace kestrel {

namespace {

class THourglass {
public:
  THourglass() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~THourglass() { QGuiApplication::restoreOverrideCursor(); }
  THourglass(const THourglass&) = delete;
  THourglass& operator=(const THourglass&) = delete;
};

} // namespace

TSaveImageAs::TSaveImageAs(TSaveQuestions& questions, QWidget* parent)
    : Engine(questions), Parent(parent) {}

bool TSaveImageAs::SaveAs(const QString& path, const TBitmap& bitmap, bool ask,
                          const TSavePicture& picture) {
  return Engine.SaveAs(path.toStdString(), bitmap, ask, picture);
}

QString TSaveImageAs::SaveWithDialog(const QString& proposedName, const TBitmap& bitmap,
                                     const TSavePicture& picture) {
  const TRefreshPause pause(AutoRefresh);
  if (WaitForResampler) WaitForResampler();
  const QFileInfo proposed(proposedName);
  TSaveDialogRequest request;
  request.Title = Title;
  request.Filter = QString::fromStdString(SaveFilter());
  request.DefaultExt = proposed.suffix();
  request.FileName = proposed.completeBaseName();
  request.FilterIndex = FilterIndexFor(proposedName.toStdString());
  request.InitialDir = InitialDir.isEmpty() && CurrentFolder ? CurrentFolder() : InitialDir;
  const TSaveDialogAnswer answer = ExecuteSaveDialog(request, Parent);
  if (!answer.Accepted) return {};
  InitialDir = QFileInfo(answer.FileName).absolutePath();
  bool saved = false;
  {
    const THourglass hourglass;
    saved = SaveAs(answer.FileName, bitmap, true, picture);
  }
  if (!saved) return {};
  LastSavedPath = answer.FileName;
  return answer.FileName;
}

} // namespace kestrel
