// The installation window and the external viewers, as the main window reaches them.

#include "app/main/KestrelMain.h"

#include "app/main/ImageMask.h"
#include "app/options/JpgOptions.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "desktop/install/AppIcon.h"
#include "desktop/install/Install.h"
#include "desktop/viewers/ExtViewerDialog.h"
#include "desktop/viewers/ViewerList.h"
#include "platform/ui/MessageBox.h"

#include <QFileInfo>

namespace kestrel {

void TKestrelMain::FirstTick() {
  if (RemoveMode) {
    // Removal runs its question and ends the program whatever the answer.
    OpenInstall(TInstallMode::Remove)->Uninstall();
    EndProgram();
    return;
  }
  if (!Installed) OpenInstall(TInstallMode::FirstRun)->show();
}

TInstall* TKestrelMain::OpenInstall(TInstallMode mode) {
  auto* window = new TInstall(mode, ProgramFile, DListBox1->Directory(), this);
  window->SetPanelColors(ToQColor(ImageFrameColor), ToQColor(ContrastColor(ImageFrameColor)));
  connect(window, &TInstall::ShowMainWindow, this, [this] {
    Installed = true;
    if (!isVisible()) ShowAsStored();
  });
  connect(window, &TInstall::ExitProgram, this, &TKestrelMain::EndProgram);
  connect(window, &TInstall::MatchDisplayChanged, this, [this](bool on) { PreservePixels = on; });
  connect(window, &TInstall::HelpRequested, this, &TKestrelMain::Help2Click);
  Install = window;
  return window;
}

void TKestrelMain::Install1Click() {
  if (!Install) OpenInstall(TInstallMode::Later);
  Install->show();
  Install->raise();
  Install->activateWindow();
}

void TKestrelMain::EndProgram() {
  if (ShutdownDone) return;
  WriteNothing = true;
  if (JpgOptions) JpgOptions->StoreNothing();
  Closing = true;
  FormDestroy();
  hide();
  emit Ended();
}

void TKestrelMain::CreateViewers() {
  setWindowIcon(AppIconSet());
  ExtViewerDialog = new TExtViewerDialog(this);
  ExtViewerDialog->SetRebuild([this] { RebuildViewerMenus(); });
  RebuildViewerMenus();
}

void TKestrelMain::RebuildViewerMenus() {
  for (const char* name : {"ExternalViewer1", "ExternalViewer2"})
    ExtViewerDialog->FillMenu(CommandSet->SubMenu(name), [this](int i) { OpenWithViewer(i); });
}

void TKestrelMain::SetExternalViewer1Click() {
  ExtViewerDialog->show();
  ExtViewerDialog->raise();
  ExtViewerDialog->activateWindow();
}

void TKestrelMain::OpenWithViewer(int index) {
  const QString problem = OpenInViewer(ExtViewerDialog->ProgramOf(index), FListBox1->FileName(),
                                       DListBox1->Directory());
  if (!problem.isEmpty()) ShowMessage(problem, "Kestrel!", TMsgIcon::Information, this);
}

bool TKestrelMain::IsProgramFile(const QString& file) const {
  const QFileInfo info(file);
  if (!info.isFile()) return false;
  // Volumes without permissions mark every file executable: a picture stays a picture.
  return info.suffix().toLower() == "exe" ||
         (info.isExecutable() && !InImageMask(file, ImageMask(ViewerExtensions())));
}

bool TKestrelMain::OfferExternalViewer(const QString& file) {
  if (!AskYesNo("Do you wish to add this file\nto the external viewers list?", "Executable File",
                TMsgIcon::Question, this))
    return false;
  if (ExtViewerDialog->AddProgram(file)) SetExternalViewer1Click();
  return true;
}

} // namespace kestrel
