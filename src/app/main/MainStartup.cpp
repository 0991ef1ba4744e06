// Start-up, the housekeeping timer, show and resize, and closing.

#include "app/main/KestrelMain.h"

#include "app/editing/EditingTools.h"
#include "app/gallery/Thumbform.h"
#include "app/main/ImageMask.h"
#include "app/main/MainSettings.h"
#include "app/undo/Undo.h"
#include "app/undo/UndoFile.h"
#include "app/undo/UndoStore.h"
#include "browse/filelists/DCombobox.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "desktop/install/Install.h"
#include "desktop/install/InstallRecord.h"
#include "desktop/capture/Capture.h"
#include "platform/paths/Paths.h"
#include "platform/registry/RegistryFile.h"
#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QTimer>

namespace kestrel {

using namespace MainSettings;


TKestrelMain::TStart TKestrelMain::FormCreate() {
  hide();
  // A first start stores every default it reads: in one write, not one per value.
  TSettingsBatch batch;
  CreateWatcher();
  RemoveMode = Arguments.size() > 1 && Arguments[1] == "/Remove";
  try {
    if (StartupSettings() == TStart::Halt) return TStart::Halt;
    FileviewUpdate = !CommandSet->Action("StopUpdate2")->isChecked();
    ShowAtStart = Installed && !RemoveMode;
    HScrollHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    VScrollWidth = HScrollHeight;
    PaintBox1->move(0, 0);
    setWindowTitle(kCaption);
    BaseCaption = windowTitle();
    FListBox1->SetMask(ImageMask(ViewerExtensions()));
    StartWatcher();
  } catch (const std::exception& error) {
    StartupError = 3;
    StartupDetail = QString::fromStdString(error.what());
    return Halt(1);
  }
  Timer1->start();
  return TStart::Run;
}

TKestrelMain::TStart TKestrelMain::StartupSettings() {
  try {
    Installed = IsInstalled();
    const bool singleInstance = ReadFlag(SingleInstance, false);
    FirstInstance = Mutex.Acquire();
    if (!FirstInstance && (singleInstance || !Installed || RemoveMode)) {
      if (RemoveMode)
        ShowMessage("You Must Close All Running Copies of Kestrel!\r"
                    "Before You Can Uninstall from Add Remove Programs",
                    "Kestrel!", TMsgIcon::Information);
      // Stopped before the stored window values are applied: writing would store the layout's.
      WriteNothing = true;
      return Halt(0);
    }
    UndoFolder = UndoFolderName();
    QDir().mkpath(UndoFolder);
    if (FirstInstance) ClearUndoFolder(UndoFolder);
  } catch (const std::exception& error) {
    StartupError = 1;
    StartupDetail = QString::fromStdString(error.what());
    return Halt(1);
  }
  RestoreWindow();
  ReadDisplaySettings();
  FillRecentMenu();
  return TStart::Run;
}

void TKestrelMain::RestoreWindow() {
  try {
    // A size too small to use is no one's wish; the window keeps a usable least size.
    const int width = std::max(ReadSetting(Width, this->width()), 160);
    const int height = std::max(ReadSetting(Height, this->height()), 120);
    resize(width, height);
  } catch (const std::exception&) {
    ShowMessage("Why", "Kestrel!", TMsgIcon::Information, this);
  }
  const int state = isMaximized() ? 2 : isMinimized() ? 1 : 0;
  InitialState = ReadSetting(WindowState, state);
  StartMinimized = ReadFlag(MainSettings::StartMinimized, false);
}

void TKestrelMain::ReadDisplaySettings() {
  PreservePixels = ReadFlag(MainSettings::PreservePixels, false);
  ImageFrameColor = ReadSetting(ImageFrame, 0);
  PaintImageFrame(ImageFrameColor);
  FileViewColor = ReadSetting(MainSettings::FileViewColor, 0);
  PaintFileView(FileViewColor);
  SlideShow.SetTicks(ReadSetting(SlideTimer, kDefaultSlideTicks));
  CopyMoveTarget = ReadSetting(MainSettings::CopyMoveTarget, ProgramFolder());
  ReadFlag(CustomDir, false);
  // The recent folders first: showing the start folder puts it on top of them.
  Recent.Load();
  const QString initial = ReadSetting(InitialDir, ProgramFolder());
  if (QFileInfo(initial).isDir()) {
    try {
      DListBox1->SetDirectory(initial);
    } catch (const std::exception&) {
      // Present but not enterable: the lists stay where they are.
    }
  }
  PictextBackground = ReadSetting(MainSettings::PictextBackground, 0xFFFFFF);
  PictextColor = ReadSetting(PictextFontColor, 0);
  const int size = ReadSetting(PictextFontSize, 18);
  const QString name = ReadSetting(PictextFontName, "MS Sans Serif");
  PictextFont = QFont(name, size);
  Pictext->setFont(PictextFont);
  SetColors(Pictext, ToQColor(PictextBackground), ToQColor(PictextColor));
}

void TKestrelMain::FinishStart() {
  {
    // Its defaults are written before the undo file tells another copy that this one has started,
    // and before the command-line path may show a message.
    TSettingsBatch batch;
    CreateDesktopServices();
    CreateJpgOptions();
  }
  CreateUndo();
  // An empty argument (a launcher with no file to pass) names nothing.
  if (RemoveMode || Arguments.size() < 2 || Arguments[1].isEmpty()) return;
  try {
    AcceptFile(Arguments[1]);
  } catch (...) {
    // Whatever the path did, the viewer starts.
  }
}

void TKestrelMain::CreateUndo() {
  auto file = OpenUndoFile(UndoFolder);
  auto store = file ? std::make_unique<TUndoStore>(std::move(file)) : nullptr;
  Undo = std::make_unique<TUndo>(std::move(store), CommandSet->Action("Undo1"), this);
}

void TKestrelMain::Launch() {
  // Shown before the command-line path is taken, so that what it has to say has a window; the
  // first focus then follows the file the path selected, once the start folder is listed.
  if (ShowAtStart) ShowAsStored();
  FinishStart();
  FListBox1->FinishReading();
  FocusStartList();
}

void TKestrelMain::ShowAsStored() {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  Qt::WindowStates state;
  if (InitialState == 2) state |= Qt::WindowMaximized;
  // "Start Minimized" comes last, over any stored state; the window comes back as it was stored.
  if (InitialState == 1 || StartMinimized) state |= Qt::WindowMinimized;
  setWindowState(state);
  show();
}

TKestrelMain::TStart TKestrelMain::Halt(int exitCode) {
  ExitCode = exitCode;
  FormDestroy();
  return TStart::Halt;
}

void TKestrelMain::Timer1Timer() {
  if (StartCounter > 0) {
    --StartCounter;
    FirstTick();
    if (Closing) return;
  }
  SlideTick();
  RefreshCommandStates();
  EditingTick();
  ++TickCount;
}

void TKestrelMain::RefreshCommandStates() {
  TCommandSet& commands = *CommandSet;
  const QWidget* active = ActiveControl();
  const bool filesFocused = FListBox1->Count() > 0 && active == FListBox1;
  const bool foldersFocused = DListBox1->Count() > 1 && active == DListBox1;
  for (const char* name : {"Copy1", "Move1"})
    commands.SetEnabled(name, filesFocused);
  for (const char* name : {"Delete1", "Rename1"})
    commands.SetEnabled(name, filesFocused || foldersFocused);
  commands.SetEnabled("FindFile1", FListBox1->Count() > 0);
  const bool anySelected = FListBox1->selectionModel()->hasSelection();
  commands.SetEnabled("FindSelection1", anySelected);
  commands.SetEnabled("FindSelector", anySelected);
  for (const char* name : {"SaveAs1", "SaveAs2", "InvertImage1", "MirrorVertical1",
                           "FlipHorizontal1", "RotateClockwise1", "RotateAnticlockwise1"})
    commands.SetEnabled(name, ImageKind != 0);
  // A picture edited with the tools keeps its scale; the slide show waits while they are out.
  for (const char* name : {"DontScale1", "FitToWindow1", "FitToImage1", "Toolbutton2"})
    commands.SetEnabled(name, !(EditingTools && ImageModified));
  commands.SetEnabled("ToolButton4", !EditingTools || !EditingTools->isVisible());
  ShowStatusColor();
}

void TKestrelMain::ShowStatusColor() {
  const bool updating = FileviewUpdate && !ImageModified;
  const bool stopPicture = CommandSet->Action("StopPic")->isChecked();
  QColor colour;
  if (!stopPicture && updating)
    colour = FileView->palette().color(QPalette::Window);
  else
    colour = ToQColor(stopPicture && updating ? 0x00FFFF : !stopPicture ? 0xFFFF00 : 0xFF00FF);
  QPalette palette = Label1->palette();
  palette.setColor(QPalette::Window, colour);
  Label1->setPalette(palette);
}

void TKestrelMain::PaintImageFrame(TColor color) {
  for (QWidget* area : {static_cast<QWidget*>(Panel2), ScrollBox1->viewport(), PaintBox2}) {
    QPalette palette = area->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    area->setPalette(palette);
    area->setAutoFillBackground(true);
  }
}

void TKestrelMain::PaintFileView(TColor color) {
  const QColor text = ToQColor(ContrastColor(color));
  for (QWidget* control : std::initializer_list<QWidget*>{DCombobox1, DListBox1, FListBox1, Edit1})
    SetColors(control, ToQColor(color), text);
}

void TKestrelMain::SetImageFrameColor(TColor color) {
  ImageFrameColor = color;
  PaintImageFrame(color);
  WriteSetting(ImageFrame, color);
  if (Install) Install->SetPanelColors(ToQColor(color), ToQColor(ContrastColor(color)));
  if (Thumbform) Thumbform->SetBackground(color);
  ImageFrameChanged();
}

void TKestrelMain::SetFileViewColor(TColor color) {
  FileViewColor = color;
  PaintFileView(color);
  WriteSetting(MainSettings::FileViewColor, color);
}

void TKestrelMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!Shown) {
    Shown = true;
    FormShow();
  }
}

void TKestrelMain::FormShow() {
  const int u = std::max(1, logicalDpiY() / 30);
  Splitter1->setHandleWidth(u);
  Splitter2->setHandleWidth(u);
  FocusStartList();
  // The drive box 2u narrower than its panel, the panel 2u taller than the box.
  Panel4->layout()->setContentsMargins(u, u, u, u);
  Label1->setFixedHeight(2 * u + Edit1->fontMetrics().height() + 2);
  PanelsStored = true;
  FitFileViewControls();
}

void TKestrelMain::FocusStartList() {
  // The arrow keys step through the files when one is selected, else through the folders.
  if (FListBox1->SelectedName().isEmpty())
    DListBox1->setFocus();
  else
    FListBox1->setFocus();
}

void TKestrelMain::FitFileViewControls() {
  // The toolbar buttons share the file view's width through their layout.
  Edit1->setGeometry(0, 2, Panel4->width(), std::max(Label1->height() - 2, 1));
}

void TKestrelMain::Splitter2Moved() {
  FileViewWidth = FileView->width();
  FitFileViewControls();
  RunOptions1();
}

void TKestrelMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize(LastHeight);
}

void TKestrelMain::FormResize(int oldHeight) {
  const int handle = Splitter2->handleWidth();
  const int client = centralWidget()->width();
  if (FileView->isVisible() && FileView->width() + handle + 20 >= client)
    Splitter2->setSizes({client - handle - 20, 20});
  if (height() != oldHeight) {
    LastHeight = height();
    const int space = Splitter1->height() - Splitter1->handleWidth();
    const int half = space / 2;
    const int item = DListBox1->ItemHeight();
    const int current = DListBox1->height();
    // A split that would leave the folder list less than two items is not made.
    if (half >= 2 * item &&
        (PanelsStored || current > half + 2 * item || current < half - 4 * item)) {
      Splitter1->setSizes({half, space - half});
      PanelsStored = false;
    }
  }
  const QModelIndex selected = FListBox1->currentIndex();
  if (selected.isValid()) FListBox1->scrollTo(selected, QAbstractItemView::PositionAtCenter);
  FitFileViewControls();
}

void TKestrelMain::changeEvent(QEvent* event) {
  // A maximise or a restore lets the next resize split the file view afresh.
  if (event->type() == QEvent::WindowStateChange) {
    PanelsStored = true;
    RefuseMaximise();
    const auto old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    if ((old & Qt::WindowMinimized) && !isMinimized()) ApplicationRestored();
  }
  QMainWindow::changeEvent(event);
}

void TKestrelMain::closeEvent(QCloseEvent* event) {
  if (ImageModified &&
      !AskYesNo("Do You wish to Discard this Image ?", "Image Modified", TMsgIcon::Warning, this)) {
    event->ignore();
    return;
  }
  // A capture waiting for Ctrl ends with the program.
  if (Capturer) Capturer->Cancel();
  {
    TSettingsBatch batch;
    FormClose();
    FormDestroy();
  }
  event->accept();
}

void TKestrelMain::FormClose() {
  Closing = true;
  WaitForResampler();
  if (!WriteNothing && !ReadFlag(CustomDir, false))
    WriteSetting(InitialDir, DListBox1->Directory());
}

void TKestrelMain::FormDestroy() {
  if (ShutdownDone) return;
  ShutdownDone = true;
  Timer1->stop();
  if (Undo) Undo->Close();
  if (WriteNothing) return;
  if (StartupError == 1) {
    ShowMessage("Installation Error:\r" + StartupDetail, "Kestrel! StartUp", TMsgIcon::Error, this);
    return;
  }
  if (StartupError == 3) {
    ShowMessage("Startup Error:\r" + StartupDetail, "Error in Form Create", TMsgIcon::Error, this);
    return;
  }
  // The restored placement, so a maximised window stores the size it comes back to.
  const QRect placement = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
  WriteSetting(WindowState, isMaximized() ? 2 : isMinimized() ? 1 : 0);
  WriteSetting(Width, placement.width());
  WriteSetting(Height, placement.height());
  WriteSetting(MainSettings::PictextBackground, PictextBackground);
  WriteSetting(PictextFontColor, PictextColor);
  WriteSetting(PictextFontSize, PictextFont.pointSize());
  WriteSetting(PictextFontName, PictextFont.family());
}

void TKestrelMain::FillRecentMenu() {
  QMenu* menu = CommandSet->SubMenu("RecentFolders1");
  menu->clear();
  for (const QString& folder : Recent.Items()) {
    QAction* item = menu->addAction(QString(folder).replace("&", "&&"));
    connect(item, &QAction::triggered, this, [this, folder] { RecentFolderClick(folder); });
  }
}

} // namespace kestrel
