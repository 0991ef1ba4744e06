// The slide show from the main window: starting and stopping it ("&Start" / "Stop" and the
// "SlideShow" button), its step on the timer, and the speed window.

#include "app/main/KestrelMain.h"

#include "app/slideshow/SpeedSlide.h"
#include "browse/filelists/FListBox.h"

#include <QAction>
#include <QItemSelectionModel>

namespace kestrel {

void TKestrelMain::enable1Click() {
  SetSlideShowRunning(CommandSet->Action("enable1")->isChecked());
}

void TKestrelMain::ToolButton4Click() {
  // The show ends up as the button: down runs it.
  SetSlideShowRunning(CommandSet->Action("ToolButton4")->isChecked());
}

void TKestrelMain::SetSlideShowRunning(bool running) {
  // The show loads over an edited picture: its copy is kept for Undo first.
  if (running && !SlideShow.Running()) Snapshot("SlideShow");
  SlideShow.SetRunning(running);
  QAction* item = CommandSet->Action("enable1");
  item->setChecked(running);
  item->setText(running ? "Stop" : "&Start");
  CommandSet->Action("ToolButton4")->setChecked(running);
}

void TKestrelMain::SlideTick() {
  if (!SlideShow.Tick(FListBox1->Count())) return;
  const int next = TSlideShow::NextPosition(
      FListBox1->ItemIndex(), FListBox1->selectionModel()->hasSelection(), FListBox1->Count());
  FListBox1->clearSelection();
  FListBox1->SetItemIndex(next);
  FListBox1->SetSelected(next, true);
  FListBox1->viewport()->update();
  LoadPicture(FListBox1->FileName());
}

void TKestrelMain::AdjustTimer1Click() {
  if (!SpeedWindow)
    SpeedWindow =
        new TSpeedSlide([this](int ticks) { SlideShow.SetTicks(ticks); }, !RemoveMode, this);
  SpeedWindow->show();
  SpeedWindow->raise();
}

} // namespace kestrel
