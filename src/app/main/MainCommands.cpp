// The command handlers of the main window's own commands.

#include "app/main/KestrelMain.h"

#include "app/main/Installation.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "platform/files/Errors.h"
#include "platform/paths/Paths.h"
#include "platform/process/Process.h"
#include "platform/ui/MessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QSplitter>
#include <QUrl>

namespace kestrel {
namespace {

const char kWebSite[] = "https://www.brackwell.example/kestrel/";
const char kContact[] = "mailto:kestrel@brackwell.example";

// The help page: beside the program, or where an installation puts shared files.
QString HelpFile() {
  const QString folder = QFileInfo(ExecutableFile()).absolutePath();
  for (const QString& candidate :
       {folder + "/Kestrel.html", folder + "/../share/kestrel/Kestrel.html"})
    if (QFileInfo::exists(candidate)) return QDir::cleanPath(candidate);
  return folder + "/Kestrel.html";
}

} // namespace

void TKestrelMain::StartViewer(const QString& path) {
  const QStringList arguments = path.isEmpty() ? QStringList() : QStringList{path};
  if (const int error = StartDetachedProcess(ProgramFile, arguments); error != 0)
    ShowMessage("Error " + QString::number(error), "Kestrel!", TMsgIcon::Error, this);
}

void TKestrelMain::NewViewer1Click() {
  StartViewer(FListBox1->FileName());
}

void TKestrelMain::OpenInNewViewer1Click() {
  StartViewer(DListBox1->ItemPath(std::max(DListBox1->ItemIndex(), 0)));
}

void TKestrelMain::FindSelection1Click() {
  const QModelIndex current = FListBox1->currentIndex();
  if (current.isValid()) FListBox1->scrollTo(current, QAbstractItemView::PositionAtCenter);
  FListBox1->setFocus();
}

void TKestrelMain::Exit1Click() {
  close();
}

void TKestrelMain::SetFileViewShown(bool shown) {
  CommandSet->Action("FileSelector1")->setChecked(shown);
  FileView->setVisible(shown);
}

void TKestrelMain::FileSelector1Click() {
  SetFileViewShown(CommandSet->Action("FileSelector1")->isChecked());
  RunOptions();
}

void TKestrelMain::ToolButton5Click() {
  SetFileViewShown(false);
}

void TKestrelMain::OpenContainer1Click() {
  OpenUrl(QUrl::fromLocalFile(DListBox1->Directory()));
}

void TKestrelMain::ExploreFolder1Click() {
  OpenUrl(QUrl::fromLocalFile(DListBox1->ItemPath(std::max(DListBox1->ItemIndex(), 0))));
}

void TKestrelMain::OpenWeb1Click() {
  OpenUrl(QUrl(kWebSite));
}

void TKestrelMain::mailto1Click() {
  OpenUrl(QUrl(kContact));
}

void TKestrelMain::Help2Click() {
  const QString help = HelpFile();
  if (!QFileInfo::exists(help) || !OpenUrl(QUrl::fromLocalFile(help)))
    ShowMessage("Cannot open the help file\r" + help, "Kestrel!", TMsgIcon::Information, this);
}

void TKestrelMain::about1Click() {
  ShowMessage("Kestrel!\rVersion " + FileVersion(), "About Kestrel!", TMsgIcon::Information, this);
}

void TKestrelMain::RecentFolderClick(const QString& folder) {
  try {
    DListBox1->SetDirectory(folder);
  } catch (const EInOutError& error) {
    FolderOpenFailed(QString::fromStdString(error.what()));
  }
}

void TKestrelMain::TriggerCommand(const QString& name) {
  if (QAction* action = CommandSet->Action(name); action && action->isEnabled()) action->trigger();
}

} // namespace kestrel
