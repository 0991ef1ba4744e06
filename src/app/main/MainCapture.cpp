// Wallpaper, stay on top, the captures and the one-time hints from the main window.

#include "app/main/KestrelMain.h"

#include "browse/filelists/FListBox.h"
#include "desktop/capture/Capture.h"
#include "desktop/hints/WinCapture.h"
#include "desktop/ontop/StayOnTop.h"
#include "desktop/wallpaper/Wallpaper.h"

#include <QAction>
#include <QMenu>

namespace kestrel {

void TKestrelMain::CreateDesktopServices() {
  WinCapture = new TWinCapture(this);
  WinCapture->SetRemoving(RemoveMode);
  Wallpaper = std::make_unique<TWallpaper>(this);
  Capturer = std::make_unique<TCapture>(*WinCapture, *this);
  connect(CommandSet->Menu("&Options"), &QMenu::aboutToShow, this,
          &TKestrelMain::EnableWallpaperItems);
  EnableWallpaperItems();
}

void TKestrelMain::EnableWallpaperItems() {
  const TBitmap* shown = DisplayedBitmap();
  for (const char* name : {"Centered1", "Tiled1", "Stretched1"})
    CommandSet->SetEnabled(name, shown && !shown->Empty());
}

void TKestrelMain::Centered1Click() {
  SetWallpaper(TWallpaperStyle::Centered);
}

void TKestrelMain::Tiled1Click() {
  SetWallpaper(TWallpaperStyle::Tiled);
}

void TKestrelMain::Stretched1Click() {
  SetWallpaper(TWallpaperStyle::Stretched);
}

void TKestrelMain::SetWallpaper(TWallpaperStyle style) {
  const bool selected = FListBox1->selectionModel()->hasSelection();
  Wallpaper->Set({DisplayedBitmap(), selected ? FListBox1->FileName() : QString(), CurrentPicture},
                 style);
}

void TKestrelMain::NoWallpaperClick() {
  Wallpaper->Remove();
}

void TKestrelMain::StayOnTop1Click() {
  SetStayOnTop(*this, CommandSet->Action("StayOnTop1")->isChecked());
}

void TKestrelMain::ScreenShot1Click() {
  RunCapture(TCaptureKind::Screen, "ScreenShot1");
}

void TKestrelMain::ActiveWindow1Click() {
  RunCapture(TCaptureKind::Window, "ActiveWindow1");
}

void TKestrelMain::RunCapture(TCaptureKind kind, const char* item) {
  // The item chosen again while its capture waits for Ctrl cancels the capture.
  if (Capturer->Waiting()) return Capturer->Cancel();
  auto bitmap = Capturer->Run(kind, *CommandSet->Action(item),
                              [this](const QString& name) { Snapshot(name); });
  if (bitmap) ShowAsLoaded(std::move(bitmap));
}

} // namespace kestrel
