// "F&ull Screen" from the main window: the viewing area moves into the full-screen window and
// comes back when that window closes, with the main window as it was; and the commands of the
// full-screen window's pop-up menu.

#include "app/main/KestrelMain.h"

#include "app/fullscreen/BigScreen.h"
#include "browse/filelists/FListBox.h"

#include <QAction>
#include <QMenu>
#include <QScrollArea>
#include <QSplitter>

namespace kestrel {

void TKestrelMain::FullScreen1Click() {
  if (BigScreen) return;
  PaintBox2->setToolTip("Ctrl-Click to see Menu\nShift-Click to Change Color");
  FullScreenReturn = {geometry(), windowState(), Splitter2->sizes(),
                      CommandSet->Action("FileSelector1")->isChecked()};
  // The file view goes along, hidden until it is brought in.
  SetFileViewShown(false);
  BigScreen = new TBigScreen(this);
  BigScreen->FileList = FListBox1;
  BigScreen->Popup = CommandSet->Menu("PopupMenu3");
  BigScreen->ItemIndex = FListBox1->ItemIndex();
  BigScreen->OnClose = [this] { FullScreenClosed(); };
  BigScreen->OnDropFile = [this](const QString& path) { AcceptFile(path); };
  BigScreen->DoSelector = [this] { CommandSet->Action("FileSelector1")->trigger(); };
  BigScreen->SetCaption(windowTitle());
  BigScreen->Adopt(FileView, Panel2, ScrollBox1, {PaintBox1, PaintBox2, ScrollBox1->viewport()});
  connect(CommandSet->Menu("PopupMenu3"), &QMenu::aboutToShow, BigScreen, [this] {
    CommandSet->Action("FileSelector2")
        ->setChecked(BigScreen->HoldsFileView() && FileView->isVisible());
  });
  BigScreen->showFullScreen();
  RunOptions();
  hide();
  PictureSizeChanged();
}

void TKestrelMain::FullScreenClosed() {
  Splitter2->insertWidget(0, FileView);
  Splitter2->insertWidget(1, Panel2);
  ScrollBox1->setFrameStyle(QFrame::Box | QFrame::Plain);
  PaintBox2->setToolTip("Ctrl-Click to Change Color");
  // The file view as it was before, whatever was done with it in full screen.
  SetFileViewShown(FullScreenReturn.FileView);
  const int index = BigScreen->ItemIndex;
  if (index >= 0 && index < FListBox1->Count()) {
    FListBox1->SetItemIndex(index);
    FListBox1->SetSelected(index, true);
  }
  BigScreen->deleteLater();
  BigScreen = nullptr;
  setWindowState(FullScreenReturn.State);
  show();
  if (!(FullScreenReturn.State & (Qt::WindowMaximized | Qt::WindowFullScreen)))
    setGeometry(FullScreenReturn.Geometry);
  Splitter2->setSizes(FullScreenReturn.Sizes);
  RunOptions();
  PictureSizeChanged();
}

void TKestrelMain::HideTitleClick() {
  // The check says what the strip was: a first use hides it and checks the item.
  if (BigScreen) BigScreen->SetShowTitle(!CommandSet->Action("HideTitle1")->isChecked());
}

void TKestrelMain::FileSelector2Click() {
  if (BigScreen) BigScreen->FileSelectorClick();
}

void TKestrelMain::Exit2Click() {
  if (BigScreen) BigScreen->close();
}

} // namespace kestrel
