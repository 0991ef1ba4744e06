// The command handlers of the main window's own commands.

#include "app/main/KestrelMain.h"

#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "desktop/sysinfo/SystemInfoDlg.h"
#include "desktop/install/InstallRecord.h"
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
  // It comes back at its own width, whatever the window was fitted to meanwhile.
  if (shown) Splitter2->setSizes({FileViewWidth, std::max(Splitter2->width() - FileViewWidth, 0)});
  SetWatcherSuspended(!shown);
  RunOptions1(); // the viewing area changed
}

void TKestrelMain::FileSelector1Click() {
  SetFileViewShown(CommandSet->Action("FileSelector1")->isChecked());
}

void TKestrelMain::ToolButton5Click() {
  SetFileViewShown(false);
}

void TKestrelMain::OpenLink(const QUrl& url, const QString& what) {
  // Without a program for the link the desktop opens nothing, and says nothing itself.
  const QString text = "Cannot open " + what + "\r" + url.toDisplayString(QUrl::PreferLocalFile);
  auto refuse = [this, text] { ShowMessage(text, "Kestrel!", TMsgIcon::Information, this); };
  if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
    refuse();
  else
    OpenUrl(url, this, [refuse](bool opened) {
      if (!opened) refuse();
    });
}

void TKestrelMain::OpenContainer1Click() {
  OpenLink(QUrl::fromLocalFile(DListBox1->Directory()), "the folder");
}

void TKestrelMain::ExploreFolder1Click() {
  OpenLink(QUrl::fromLocalFile(DListBox1->ItemPath(std::max(DListBox1->ItemIndex(), 0))),
           "the folder");
}

void TKestrelMain::OpenWeb1Click() {
  OpenLink(QUrl(kWebSite), "the web site");
}

void TKestrelMain::mailto1Click() {
  OpenLink(QUrl(kContact), "the mail program");
}

void TKestrelMain::Help2Click() {
  OpenLink(QUrl::fromLocalFile(HelpFile()), "the help file");
}

void TKestrelMain::about1Click() {
  ShowMessage("Kestrel!\rVersion " + FileVersion(), "About Kestrel!", TMsgIcon::Information, this);
}

void TKestrelMain::SystemInformation1Click() {
  TSystemInfoDlg(this).exec();
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
