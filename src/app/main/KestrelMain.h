#pragma once
// The main window: the file view on the left (drive box, folder list, file list, status line), the
// viewing area on the right, the menus, pop-ups and toolbar of the command table, keyboard and
// mouse handling, file drops, the 100 ms housekeeping timer, and the start-up and closing steps.

#include "app/main/ColorCycle.h"
#include "app/main/CommandTable.h"
#include "app/main/RecentFolders.h"
#include "app/slideshow/SlideShow.h"
#include "app/view/ViewCopy.h"
#include "app/view/ViewGeometry.h"
#include "app/watcher/FileListRefresh.h"
#include "app/watcher/StatusLine.h"
#include "app/watcher/UpThread.h"
#include "browse/filelists/RefreshPause.h"
#include "platform/process/InstanceLock.h"

#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <memory>

class QEvent;
class QFrame;
class QPointF;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollArea;
class QSplitter;
class QTimer;
class QUrl;

namespace kestrel {

class TBigScreen;
class TBitmap;
class TCompressDlg;
class TDCombobox;
class TEditHost;
class TEditingTools;
class TPictureEditor;
enum class TEditTool;
class TDListBox;
class TDpicture;
class TExtViewerDialog;
class TFileCommands;
class TFListBox;
class TFindDialog;
class TFindDialogX;
enum class TFindTransferKind : int;
class TGIFImage;
class TGraphic;
class TInstall;
class TJpgOptions;
class TPictureLoader;
class TPrintSetup;
class TRenameDialog;
class TResampleDialog;
class TResampleHost;
class TRotateDialog;
class TRotateHost;
class TSaveImageAs;
class TUndo;
class TCapture;
class TColorDlg;
class TColorDlgHost;
class TNewCanvasDlg;
class TNewCanvasHost;
class TWallpaper;
class TWinCapture;
enum class TCaptureKind;
enum class TWallpaperStyle;
class TSpeedSlide;
class TThumbs;
class TThumbform;
class TIndexHost;
class TViewerSaveQuestions;
enum class TBitmapTransform;
enum class TInstallMode;
struct TLoadResult;
struct TSavePicture;

// The display state of the picture shown.
struct TViewState {
  TViewCopyState Copy;
  bool ViewStale = false;    // the picture changed: the fitted copy is drawn again
  bool ForceRebuild = false; // the next rebuild starts from the picture, not a reduced copy
  bool Synthesized = false;  // the shown bitmap got a palette made by this program
  bool Animated = false;     // a GIF of more than one frame
  bool GifPalettes = false;  // the GIF class's choice of its own palettes
};

class TKestrelMain : public QMainWindow {
  Q_OBJECT
public:
  // The window's caption while no picture is shown.
  static constexpr const char* kCaption = "Kestrel!";

  // arguments: the program's command line, the program itself first.
  explicit TKestrelMain(const QStringList& arguments, QWidget* parent = nullptr);
  ~TKestrelMain() override;

  // The process-wide reference other windows reach the main window through (null before one
  // exists).
  static TKestrelMain* Instance();

  enum class TStart { Run, Halt };
  // The window's creation steps, settings included. Halt: this copy ends now (a second copy
  // stopped by the single-instance rule writes nothing; a failed start says so first).
  TStart FormCreate();
  // The exit code of a copy that halted at creation.
  int HaltCode() const { return ExitCode; }
  // What the last long-lived window does at its creation: opens the undo file and hands the
  // command-line path to AcceptFile (unless in removal mode).
  void FinishStart();
  // The program's start after FormCreate: the window shows as stored when it is shown
  // automatically, then FinishStart, and the focus goes to the list the arrow keys should step.
  void Launch();
  // Shown automatically: installed and not removing.
  bool AutoShow() const { return ShowAtStart; }
  // Shows the window centred, in the stored state (normal, minimised or maximised).
  void ShowAsStored();

  // Shows a path in the viewer: its folder in the lists and, for a file, the file selected. A
  // shortcut shows what it leads to.
  void AcceptFile(const QString& path);
  // Asks whether the program file is to be an external viewer; true when the user agreed (the
  // external-viewer window then shows it added).
  bool OfferExternalViewer(const QString& file);
  // A file that is offered as an external viewer rather than shown: a ".exe" file, or an
  // executable regular file that is not a picture.
  bool IsProgramFile(const QString& file) const;
  // The control the window's keys go to: the focused one, or while the menu bar has the keys, the
  // one that had them before. The commands act on it.
  QWidget* ActiveControl() const;
  // Moves the lists to folder, or to the nearest folder above it that can be shown.
  void ShowNearestFolder(const QString& folder);
  // The picture of a file is to be shown (not while "Stop Picture Update" is checked).
  void LoadPicture(const QString& path);
  void SetImageFrameColor(TColor color);
  void SetFileViewColor(TColor color);
  // The program a new viewer is started with: the running program unless set.
  void SetProgramFile(const QString& file) { ProgramFile = file; }
  TCommandSet& Commands() { return *CommandSet; }
  const TRecentFolders& RecentFolders() const { return Recent; }

  // The 100 ms housekeeping: the installation decision on the first tick, then the command
  // states and the status-line colour.
  void Timer1Timer();

  // Picture loading and display (MainView.cpp). LoadPicture reads the file on a worker; the
  // picture appears when the read ends (WaitForPicture waits, processing events).
  void WaitForPicture();
  bool PictureLoading() const;
  // Refreshes the caption, then re-applies the scaling mode.
  void RunOptions();
  // Re-applies the scaling mode and places the picture.
  void RunOptions1();
  // Builds ViewBitmap from the picture for the Normal and Fit to Image modes.
  void RebuildView();
  // Builds ViewBitmap fitted to the viewing area (Fit to Window mode).
  void FitToWindow();
  // Sizes the window round the picture (Fit to Image mode).
  void FitToImage();
  // One step of the click zoom.
  void Zoom(TZoomDirection direction);
  // The picture's graphic changed.
  void PictureChanged();
  // What the Space key shows.
  QString ImageDescription() const;
  // The picture exists, has a size and a kind.
  bool PictureValid() const;
  // CropBitmap for a crop, else ViewBitmap; null when there is no picture.
  TBitmap* DisplayedBitmap() const;
  // The scale list's index, M and R.
  int ScaleIndex() const;
  int Magnification() const;
  int Reduction() const;
  bool FitWindowMode() const;
  bool FitImageMode() const;
  bool NormalMode() const;

  // Command handlers (the command table names them).
  void NewViewer1Click();
  void FindSelection1Click();
  void Exit1Click();
  void FileSelector1Click();
  void OpenWeb1Click();
  void Help2Click();
  void about1Click();
  void mailto1Click();
  void SystemInformation1Click();
  void OpenContainer1Click();
  void ExploreFolder1Click();
  void OpenInNewViewer1Click();
  void ToolButton5Click();
  void RecentFolderClick(const QString& folder);
  void DontScale1Click();
  void FitToWindow1Click();
  void FitToImage1Click();
  void Toolbutton2Click();
  void ToolButton3Click();
  void Transparent1Click();
  void StopPicClick();
  void JpegProperties1Click();
  void SaveAs1Click();
  void InvertImage1Click();
  void MirrorVertical1Click();
  void FlipHorizontal1Click();
  void RotateClockwise1Click();
  void RotateAnticlockwise1Click();
  void Print1Click();
  void Resample1Click();
  // File management (MainFileOps.cpp).
  void Copy1Click();
  void Move1Click();
  void Delete1Click();
  void NewFolder2Click();
  void RemoveFolder1Click();
  void Rename1Click();
  void RenameFolder1Click();
  void SwitchFolders1Click();
  void ClipBoard1Click();
  void ClipAsDos2Click();
  void ClipAsUnix2Click();
  void ClipAsDos1Click();
  void ClipAsUnix1Click();
  void SaveToPathClick();
  void SaveAsDialog1Click();
  void GotoPathClick();
  void toSaveDialog1Click();
  void SaveAsDialog2Click();
  // Installation and external viewers (MainDesktop.cpp).
  void Install1Click();
  void SetExternalViewer1Click();
  // Opens the selected file with the external viewer of the sub-menus' item index.
  void OpenWithViewer(int index);
  void FindinFiles1Click();
  void FindFile1Click();
  void NameDuplicateClick();
  void SizeDuplicateClick();
  void FindInFiles2Click();
  void FindinSubtreeClick();

signals:
  // The program is to end now: the first run was cancelled, or the program was uninstalled.
  void Ended();

public:
  // Controls, named as the layout names them.
  QFrame* FileView = nullptr;
  QSplitter* Splitter2 = nullptr;
  QFrame* ToolBar1 = nullptr; // five buttons sharing its width
  QFrame* Panel4 = nullptr;
  TDCombobox* DCombobox1 = nullptr;
  TDListBox* DListBox1 = nullptr;
  QSplitter* Splitter1 = nullptr;
  TFListBox* FListBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QFrame* Panel2 = nullptr;
  QScrollArea* ScrollBox1 = nullptr;
  QWidget* PaintBox2 = nullptr;
  QWidget* PaintBox1 = nullptr;
  QPlainTextEdit* Pictext = nullptr;
  QTimer* Timer1 = nullptr;
  TRenameDialog* RenameDialog1 = nullptr;

  // Window state.
  QString BaseCaption;
  int HScrollHeight = 0;
  int VScrollWidth = 0;
  bool FileviewUpdate = true;
  // Switches FileviewUpdate off while work changes files, and back as the user wants it.
  TAutoRefresh AutoRefresh;
  int StartupError = 0; // 1: the start-up settings step failed; 3: creation failed
  bool PanelsStored = false;
  int LastKey = 0;         // the last key pressed in the file list
  int FileViewWidth = 124; // the file view's own width, as the user last set it

  // State shared with the rest of the program.
  int ImageKind = 0;
  bool ImageModified = false;
  QString UndoFolder;
  std::unique_ptr<TUndo> Undo; // made by FinishStart
  bool FirstInstance = false;
  bool RemoveMode = false;
  bool Installed = false;
  bool PreservePixels = false;
  QString CopyMoveTarget; // the copy/move target folder
  QString CurrentPicture; // the path of the shown picture
  QFont PictextFont;
  TColor PictextBackground = 0xFFFFFF;
  TColor PictextColor = 0;
  TColor ImageFrameColor = 0;
  TColor FileViewColor = 0;

  // The picture holder, the view copy, the crop tool's cut-out and the editing overlay.
  std::unique_ptr<TDpicture> Picture;
  std::unique_ptr<TBitmap> ViewBitmap;
  std::unique_ptr<TBitmap> CropBitmap;
  std::unique_ptr<TBitmap> OverlayBitmap;
  // The picture made by the menu transforms (ImageKind 7) at its own size: with no file behind
  // it, every rebuild of the view copy starts from here.
  std::unique_ptr<TBitmap> EditedBitmap;
  TJpgOptions* JpgOptions = nullptr; // made by FinishStart, the last long-lived window
  TCompressDlg* CompressDlg = nullptr;
  TPrintSetup* PrintSetup = nullptr; // made when first opened
  TExtViewerDialog* ExtViewerDialog = nullptr;
  QPointer<TInstall> Install; // open while the installation window is
  TFindDialogX* FindDialogX = nullptr;
  TFindDialog* FindDialog = nullptr;
  // "Save Image As": its dialog, the remembered writer options, folder and last saved path.
  std::unique_ptr<TSaveImageAs> ImageSave;
  TViewState View;
  std::unique_ptr<TFileCommands> FileCommands;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void BuildLayout();
  void WatchControls();
  TStart StartupSettings();
  void RestoreWindow();
  void ReadDisplaySettings();
  void FillRecentMenu();
  void PaintImageFrame(TColor color);
  void PaintFileView(TColor color);
  void FitFileViewControls();
  void FirstTick();
  TInstall* OpenInstall(TInstallMode mode);
  // Ends the program at once, writing nothing more (a cancelled first run, an uninstall).
  void EndProgram();
  void CreateViewers();
  void RebuildViewerMenus();
  void RefreshCommandStates();
  void ShowStatusColor();
  void FormShow();
  void FocusStartList();
  void FormResize(int oldHeight);
  void Splitter2Moved();
  void FormClose();
  void FormDestroy();
  TStart Halt(int exitCode);

  bool FormKeyDown(QKeyEvent* event);
  void FormKeyUp(QKeyEvent* event);
  bool Flistbox1KeyDown(QKeyEvent* event);
  void FListBox1KeyUp(QKeyEvent* event);
  bool Flistbox1MouseDown(QMouseEvent* event);
  bool DListBox1MouseDown(QMouseEvent* event);
  bool DListBox1MouseUp(QMouseEvent* event);
  bool DListBox1KeyDown(QKeyEvent* event);
  bool DCombobox1KeyDown(QKeyEvent* event);
  void BackgroundMouseDown(QMouseEvent* event);
  void Flistbox1Click();
  void Flistbox1DblClick();
  void DListBox1Change();
  void FolderOpenFailed(const QString& message);
  void FileListReadFailed(const QString& message);

  void SetFileViewShown(bool shown);
  void StepFile(int step);
  void ClearPicture();
  void StartViewer(const QString& path);
  // Hands url to the desktop; when nothing opens it, says that what could not be opened.
  void OpenLink(const QUrl& url, const QString& what);
  void TriggerCommand(const QString& name);
  void SelectEntry(const QString& entry);
  bool OverWidget(QWidget* widget) const;
  void ShowTransientCaption(const QString& text);
  bool FileViewAway() const;
  bool FirstReceiver(QObject* watched) const;

  // Picture display (MainView.cpp).
  void CreateView();
  void CreateJpgOptions();
  void ResetView();
  void ShowLoadedPicture(const QString& path, TLoadResult&& result);
  void ShowNewPicture();
  void EndLoad();
  void ShowGif(TGIFImage& gif);
  // An animation's painter changed area of the picture: that part of the view is drawn again.
  void AnimationFramePainted(const TRect& area);
  void UpdateJpegControls();
  void PlacePicture();
  bool ViewEvent(QObject* watched, QEvent* event);
  void PaintBox1Paint(const QRect& dirty);
  void PaintBox2Paint();
  void SetScrollBarsShown(bool shown);
  void ModeChanged();
  void JpegOptionsChanged();
  void ImageFrameChanged();
  void RefuseMaximise();
  // Resizes the window to size, or as near as available allows, and keeps it inside available.
  void FitOnScreen(QSize size, const QRect& available);
  void ShowFileSize();
  void ShowFolderSize();
  // What the view copy is built from: the edited picture, or the picture as loaded.
  TGraphic& ViewSource() const;
  TViewCopySettings CopySettings(TGraphic& graphic) const;
  // The shown picture at its own size, as an edit starts from it.
  void FullSizeShown(TBitmap& full);

  void CreateFileCommands();

  // Saving and the menu transforms (MainSave.cpp, MainTransforms.cpp).
  void CreateSaving();
  // The find windows (MainFind.cpp).
  void CreateFind();
  QString ProposedSaveName() const;
  TSavePicture ShownForSave() const;
  void TransformShown(TBitmapTransform transform);

  QStringList Arguments;
  QString ProgramFile;
  std::unique_ptr<TCommandSet> CommandSet;
  TRecentFolders Recent;
  TColorCycle Cycle;
  TInstanceLock Mutex;
  bool ShowAtStart = false;
  int InitialState = 0; // 0 normal, 1 minimised, 2 maximised
  bool StartMinimized = false;
  int StartCounter = 1;
  int TickCount = 0;
  bool Shown = false;
  bool Closing = false;
  bool ShutdownDone = false;
  bool WriteNothing = false;
  bool EnterHeld = false;
  bool CursorChanged = false;
  int LastHeight = 0;
  int ExitCode = 0;
  QString StartupDetail; // what went wrong at start, for the message at the end
  std::unique_ptr<TPictureLoader> Loader;
  std::unique_ptr<TViewerSaveQuestions> SaveQuestions;
  QObject* ViewEvents = nullptr; // watches the paint boxes and the scroll box
  bool TimerHeldByLoad = false;  // the load paused Timer1 and resumes it
  bool TimerWasActive = false;
  bool LoadCursorShown = false;
  bool ApplyingMode = false;
  QPointer<QWidget> LastControl; // the last control of this window that had the focus
  bool BuildingView = false;     // the view copy is being built from the picture

  // Resampling (MainResample.cpp).
public:
  // A resampling run is under way.
  bool Resampling() const;
  // Ends a resampling run or a rotation at once and waits for its worker: before a load, a close
  // or a rebuild of the view.
  void WaitForResampler();
  TResampleDialog* ResampleWindow = nullptr; // made on first use

private:
  friend class TMainResampleHost;
  void PictureSizeChanged();
  void CloseResampler();
  std::unique_ptr<TResampleHost> ResampleHost;

  // Undo, the picture clipboard (MainUndoClipboard.cpp), wallpaper, stay on top, the captures and
  // the one-time hints (MainCapture.cpp).
public:
  // The undo snapshot: a command about to change or replace the shown picture calls it first with
  // its own text ("Resample"); "&Undo" then reads "Undo: " + name and brings the picture back.
  // Only an edited picture (ImageModified) is kept, so browsing writes nothing.
  void Snapshot(const QString& name);
  // The shown picture becomes bitmap, as a loaded bitmap with no file behind it (a paste, a
  // capture).
  void ShowAsLoaded(std::unique_ptr<TBitmap> bitmap);
  void Undo1Click();
  void CopyImage1Click();
  void PasteImage1Click();
  void Centered1Click();
  void Tiled1Click();
  void Stretched1Click();
  void NoWallpaperClick();
  void StayOnTop1Click();
  void ActiveWindow1Click();
  void ScreenShot1Click();
  TWinCapture* WinCapture = nullptr;     // the one-time hint box
  std::unique_ptr<TWallpaper> Wallpaper; // its setter is the tests' seam
  std::unique_ptr<TCapture> Capturer;

private:
  void CreateDesktopServices();
  void CreateUndo();
  void MatchOverlay(const TBitmap& shown);
  void SetWallpaper(TWallpaperStyle style);
  void RunCapture(TCaptureKind kind, const char* item);
  void EnableWallpaperItems();
  // The Picture Index Maker (MainIndex.cpp).
public:
  void Thumbs1Click();
  void ThumbsBgndDialog1Click();
  void ThumbsDialog1Click();
  void ThumbsDialog2Click();
  // The find window's Move, Copy and Delete of its hits; the files handled.
  QStringList TransferFound(TFindTransferKind kind, const QStringList& files,
                            const QString& folder);
  // The window, made on first use.
  TThumbs& IndexMaker();

private:
  friend class TMainIndexHost;
  void CloseIndexMaker();
  TThumbs* Thumbs = nullptr;
  std::unique_ptr<TIndexHost> IndexHost;

  // The thumbnail gallery (MainGallery.cpp).
public:
  void Thumbnails1Click();
  void Thumbnails2Click();
  void Thumbnails3Click();
  // The window, made on first use.
  TThumbform& Gallery();

private:
  void CloseGallery();
  TThumbform* Thumbform = nullptr;

  // The editing tools (app/editing/MainEditing.cpp).
public:
  void None1Click();
  void Crop1Click();
  void Pen1Click();
  void Rectangle1Click();
  void LineDraw1Click();
  void Ellipse1Click();
  void Surface1Click();
  void Border1Click();
  // Chooses a tool (fillStyle 0 surface, 1 border), from the menu or the tools window.
  void SelectEditTool(TEditTool tool, int fillStyle = 0);
  // A colour picked in the paint box: the drawing colour; the text box's background while the
  // box is shown, else the colour slot of the tool at work; the tools window shows it.
  void TakeDrawingColor(TColor color);
  // The tools window's buttons.
  void EditDoItClick();
  void EditUndoClick();
  void EditCopyClick();
  void EditPasteClick();
  void EditInputClick();
  void EditSaveClick();
  void EditText(bool down);
  void EditAdjust(bool down);
  void EditZoom(int step, bool down);
  // The picture was replaced or changed outside the tools: what a tool was doing is dropped.
  void ResetToolAction();
  TColor DrawingColor = 0;
  bool PictextTransparent = false;
  TEditingTools* EditingTools = nullptr; // made when a tool is first chosen
  std::unique_ptr<TPictureEditor> Editor;

private:
  friend class TMainEditHost;
  void CreateEditing();
  bool EditingViewEvent(QObject* watched, QEvent* event);
  bool PictextEvent(QEvent* event);
  void PlacePictext();
  void EditingTick();
  TPoint PicturePoint(const QPointF& position) const;
  std::unique_ptr<TEditHost> EditHost;

  // Folder watcher, file-list refresh, file mask and status line (app/watcher/MainRefresh.cpp).
public:
  // Re-reads the file list and keeps the selection and the shown picture in step with it.
  void FileListRefresh();
  // The same, selecting the file named name afterwards.
  void FileListRefreshSelecting(const QString& name);
  // The status line: the shown picture's size, pixel format and file size, and the file count.
  void UpdateStatusLine();
  void RefreshFileview1Click();
  void AllFiles1Click();
  void StopUpdate2Click();
  std::unique_ptr<TUpThread> Watcher;

private:
  void CreateWatcher();
  void StartWatcher();
  void RefreshFileList(TUpThread::THandOver handOver, const QString& select = {});
  void FinishRefresh(bool edited, const TListMemory& memory);
  void RepairFolder();
  void FollowSelection();
  bool PictureEdited() const;
  QString FileListMask() const;
  TPictureFacts PictureFacts() const;
  void FolderShown();
  void ApplicationRestored();
  void SetWatcherSuspended(bool suspended);
  void Edit1Change();
  void Edit1DblClick();
  void Label1DblClick();
  void Panel4MouseMove();
  TFileStamp ShownFile; // the shown picture's file when it was last looked at

  // Arbitrary rotation (app/rotate/MainRotate.cpp).
public:
  void AllAngles1Click();
  // Ends a rotation at once and waits for its worker; the view shows what it showed before.
  void WaitForRotation();
  TRotateDialog* RotateWindow = nullptr; // made on first use

private:
  friend class TMainRotateHost;
  std::unique_ptr<TRotateHost> RotateHost;

  // The slide show and full screen (app/slideshow/MainSlideShow.cpp,
  // app/fullscreen/MainFullScreen.cpp).
public:
  void enable1Click();
  void ToolButton4Click();
  void AdjustTimer1Click();
  void FullScreen1Click();
  void HideTitleClick();
  void FileSelector2Click();
  void Exit2Click();
  TSlideShow SlideShow;
  QPointer<TSpeedSlide> SpeedWindow; // while it is open
  TBigScreen* BigScreen = nullptr;   // while it is open

private:
  void SetSlideShowRunning(bool running);
  // On every tick of Timer1: the next file when it is due.
  void SlideTick();
  void FullScreenClosed();
  // What the main window was before full screen.
  struct TFullScreenReturn {
    QRect Geometry;
    Qt::WindowStates State;
    QList<int> Sizes; // of Splitter2
    bool FileView = true;
  } FullScreenReturn;

  // The paint box colour picker and the canvas size (app/paintbox/MainPaintBox.cpp,
  // app/canvas/MainCanvas.cpp).
public:
  void Color1Click();
  // A colour picked in the paint box: the fill of the "New Canvas" window while it shows, else
  // the drawing colour.
  void PaintBoxPicked(TColor color);
  // Shows the "New Canvas" window.
  void NewCanvasClick();
  // The paint box, made on first use.
  TColorDlg& PaintBox();
  TColorDlg* ColorDlg = nullptr;
  TNewCanvasDlg* NewCanvasDlg = nullptr; // made on first use

private:
  friend class TMainPaintBoxHost;
  friend class TMainCanvasHost;
  // The shown picture changed: the windows that show its palette or size follow it.
  void PaintWindowsPictureChanged();
  void ClosePaintWindows();
  // The picture becomes edited, the view showing it at its own size.
  void ShowEdited(std::unique_ptr<TBitmap> edited);
  std::unique_ptr<TColorDlgHost> PaintBoxHost;
  std::unique_ptr<TNewCanvasHost> CanvasHost;
};

} // namespace kestrel
