#pragma once
// "Save Image As" with its dialog: the dialog is set up for a proposed name (the 14-entry filter,
// the entry of the name's kind preselected, the name without its extension, that extension as the
// default one), and the chosen path is written through the save engine with the option windows.
// While it runs the file view does not refresh itself; afterwards its refresh comes back unless
// the user stopped it. The chosen folder becomes the dialog's folder for the rest of the run, and
// the saved path is remembered.

#include "app/save/ImageSaver.h"
#include "browse/filelists/RefreshPause.h"

#include <QString>

#include <functional>

class QWidget;

namespace kestrel {

class TSaveImageAs {
public:
  static constexpr const char* kTitle = "Save Image";

  TSaveImageAs(TSaveQuestions& questions, QWidget* parent);

  TImageSaver& Saver() { return Engine; }

  // Shows the dialog and saves; the saved path, or empty when nothing was written.
  QString SaveWithDialog(const QString& proposedName, const TBitmap& bitmap,
                         const TSavePicture& picture);
  // Writes without the dialog (with ask false, by the remembered options).
  bool SaveAs(const QString& path, const TBitmap& bitmap, bool ask, const TSavePicture& picture);

  QString Title = kTitle;
  QString InitialDir; // the dialog's folder: follows each save, not stored
  // The folder the dialog opens in while InitialDir is empty (the one the file view shows).
  std::function<QString()> CurrentFolder;
  QString LastSavedPath; // the last path written

  // The file view's automatic refresh, paused while the dialog is open and the file written.
  TAutoRefresh* AutoRefresh = nullptr;
  // Returns once the resampler does not change the picture any more.
  std::function<void()> WaitForResampler;

private:
  TImageSaver Engine;
  QWidget* Parent;
};

} // namespace kestrel
