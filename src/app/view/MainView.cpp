// Picture loading and display: the members of the main window that take a file to pixels in the
// viewing area.

#include "app/main/KestrelMain.h"

#include "app/editing/PictureEditor.h"
#include "app/fullscreen/BigScreen.h"
#include "app/options/JpgOptions.h"
#include "app/view/AnimationView.h"
#include "app/view/Dpicture.h"
#include "app/view/PictureLoader.h"
#include "app/view/Sound.h"
#include "app/view/ViewPainter.h"
#include "app/view/ViewTexts.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "browse/find/FindDialogX.h"
#include "desktop/print/PrintSetup.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/png/PngGraphic.h"
#include "platform/display/ScreenDepth.h"
#include "platform/ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>

#include <functional>
#include <utility>

namespace kestrel {
namespace {

// Hands the events of the watched widgets to a function.
class TEventHook : public QObject {
public:
  TEventHook(QObject* parent, std::function<bool(QObject*, QEvent*)> hook)
      : QObject(parent), hook_(std::move(hook)) {}
  bool eventFilter(QObject* watched, QEvent* event) override { return hook_(watched, event); }

private:
  std::function<bool(QObject*, QEvent*)> hook_;
};

// Long work pauses the housekeeping timer so that its periodic work never paints a half-built
// view.
class TTimerPause {
public:
  explicit TTimerPause(QTimer* timer) : timer_(timer), active_(timer->isActive()) {
    timer_->stop();
  }
  ~TTimerPause() {
    if (active_) timer_->start();
  }
  TTimerPause(const TTimerPause&) = delete;
  TTimerPause& operator=(const TTimerPause&) = delete;

private:
  QTimer* timer_;
  bool active_;
};

// The view copy reports no changes while it is rebuilt, so building does not trigger repaints.
class TQuietBitmap {
public:
  explicit TQuietBitmap(TBitmap& bitmap) : bitmap_(bitmap), saved_(std::move(bitmap.OnChange)) {
    bitmap_.OnChange = nullptr;
  }
  ~TQuietBitmap() { bitmap_.OnChange = std::move(saved_); }
  TQuietBitmap(const TQuietBitmap&) = delete;
  TQuietBitmap& operator=(const TQuietBitmap&) = delete;

private:
  TBitmap& bitmap_;
  TGraphic::TNotifyEvent saved_;
};

// Marks the view copy as being built for the life of the object.
class TBuildingView {
public:
  explicit TBuildingView(bool& flag) : flag_(flag), saved_(flag) { flag_ = true; }
  ~TBuildingView() { flag_ = saved_; }
  TBuildingView(const TBuildingView&) = delete;
  TBuildingView& operator=(const TBuildingView&) = delete;

private:
  bool& flag_;
  bool saved_;
};

// Cursor 1: over the picture, where clicks zoom.
const Qt::CursorShape kPictureCursor = Qt::CrossCursor;

const char kBadSource[] = "bad source graphic";

void CheckAction(TCommandSet& commands, const char* name, bool checked) {
  if (QAction* action = commands.Action(name)) action->setChecked(checked);
}

// Every file directly in the folder, names without a dot included.
int64_t FolderSize(const QString& folder) {
  int64_t total = 0;
  for (const QFileInfo& entry :
       QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
    total += entry.size();
  return total;
}

} // namespace

void TKestrelMain::CreateView() {
  RegisterViewerFormats();
  ApplyProgramGIFDefaults();
  Picture = std::make_unique<TDpicture>();
  Picture->OnChange = [this](TPicture&) { PictureChanged(); };
  ViewBitmap = std::make_unique<TBitmap>(1, 1);
  CropBitmap = std::make_unique<TBitmap>(1, 1);
  OverlayBitmap = std::make_unique<TBitmap>(1, 1);
  EditedBitmap = std::make_unique<TBitmap>();
  ViewBitmap->Canvas().Brush.Color = ImageFrameColor;
  ViewBitmap->Canvas().FillRect({0, 0, 1, 1});
  ViewBitmap->OnChange = [this](TGraphic&) { PaintBox1->update(); };
  Loader = std::make_unique<TPictureLoader>();

  // A window fitted round a low picture is 200 pixels high beside the file view: the lists give
  // way down to a line each.
  for (QWidget* list : {static_cast<QWidget*>(DListBox1), static_cast<QWidget*>(FListBox1)})
    list->setMinimumHeight(DListBox1->ItemHeight());
  ScrollBox1->setMinimumSize(20, 20);

  // The paint box is placed and sized here; the scroll box scrolls the background behind it.
  ScrollBox1->setWidgetResizable(false);
  PaintBox1->setAttribute(Qt::WA_OpaquePaintEvent);
  PaintBox1->setCursor(kPictureCursor);
  ViewEvents = new TEventHook(this, [this](QObject* w, QEvent* e) { return ViewEvent(w, e); });
  for (QObject* watched : {static_cast<QObject*>(PaintBox1), static_cast<QObject*>(PaintBox2),
                           static_cast<QObject*>(ScrollBox1)})
    watched->installEventFilter(ViewEvents);
  // Each pop-up measures only what it shows: the file, or the whole folder.
  connect(CommandSet->Menu("PopupMenu1"), &QMenu::aboutToShow, this, &TKestrelMain::ShowFileSize);
  connect(CommandSet->Menu("PopupMenu2"), &QMenu::aboutToShow, this, &TKestrelMain::ShowFolderSize);

  // PNG warnings may come from the reading thread: the box is shown on this one, and the load
  // goes on.
  TPngGraphic::SetWarningHandler([](const std::string& message) {
    const QString text = QString::fromStdString(message);
    QMetaObject::invokeMethod(
        qApp, [text] { ShowMessage(text, "PNG Error", TMsgIcon::Warning); }, Qt::QueuedConnection);
  });
}

void TKestrelMain::CreateJpgOptions() {
  if (JpgOptions) return;
  // Removing the program writes no settings, this window's neither.
  JpgOptions = new TJpgOptions(this, !RemoveMode);
  JpgOptions->OnLoadOptionsChanged = [this] { JpegOptionsChanged(); };
}

// Loading

bool TKestrelMain::PictureLoading() const {
  return Loader && Loader->Busy();
}

void TKestrelMain::WaitForPicture() {
  while (PictureLoading())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TKestrelMain::LoadPicture(const QString& path) {
  if (path.isEmpty() || CommandSet->Action("StopPic")->isChecked()) return;
  if (ImageKindOf(path) == ikSound) {
    // A sound only plays: the picture, its path and any edits stay as they are.
    Picture->Load(path, ScreenDepth());
    return;
  }
  WaitForResampler();
  if (!TimerHeldByLoad) {
    TimerHeldByLoad = true;
    TimerWasActive = Timer1->isActive();
    Timer1->stop();
  }
  // Before the view is reset, which ends the editing.
  Snapshot("Load From File");
  ResetView();
  ImageKind = ikNone;
  if (!LoadCursorShown && !SlideShow.Running()) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LoadCursorShown = true;
  }
  TLoadRequest request;
  request.Path = path;
  request.ScreenDepth = ScreenDepth();
  request.PreservePixels = PreservePixels;
  if (JpgOptions)
    request.Jpeg = JpgOptions->LoadOptions(FitWindowMode());
  else
    request.Jpeg.PixelFormat = TJPEGImage::DefaultPixelFormat();
  Loader->Start(std::move(request),
                [this, path](TLoadResult&& result) { ShowLoadedPicture(path, std::move(result)); });
}

void TKestrelMain::ShowLoadedPicture(const QString& path, TLoadResult&& result) {
  if (result.Read.Failed()) {
    // No message: the view stays empty.
    Picture->ImgType = result.Read.Kind;
    Picture->IsDIB = false;
    Picture->SetGraphic(nullptr);
    ImageKind = ikNone;
    SlideShow.LoadFailed(); // a running show moves on at the next tick
  } else {
    Picture->Adopt(std::move(result.Read));
    ImageKind = Picture->ImgType;
  }
  CurrentPicture = path;
  if (PictureValid()) {
    if (auto* gif = dynamic_cast<TGIFImage*>(Picture->Graphic())) ShowGif(*gif);
    View.Synthesized = result.Synthesis.Synthesized;
    if (!result.Synthesis.Error.isEmpty())
      ShowMessage(result.Synthesis.Error, "Kestrel: Could not Inset Palette", TMsgIcon::Error,
                  this);
  }
  ShowNewPicture();
  EndLoad();
}

// The view of a picture the holder has just taken.
void TKestrelMain::ShowNewPicture() {
  UpdateStatusLine();
  if (PictureValid()) {
    View.ForceRebuild = true;
    View.ViewStale = true;
    RebuildView();
    // The size search's reference follows the picture on show.
    if (FindDialogX) FindDialogX->SetReferenceFile(CurrentPicture);
  }
  PictureSizeChanged();
  PaintWindowsPictureChanged();
  UpdateJpegControls();
  RunOptions();
  PaintBox1->update();
}

void TKestrelMain::UpdateJpegControls() {
  if (JpgOptions)
    JpgOptions->UpdateControls(Picture->Graphic(), ImageKind == ikJpeg && PictureValid(), false);
}

void TKestrelMain::ShowGif(TGIFImage& gif) {
  const TBuildingView building(BuildingView); // the load builds the copy next
  View.Animated = gif.FrameCount() > 1;
  // Transparent frames are drawn on the background with the GIF's own palette, never copied.
  View.GifPalettes = gif.HasTransparentFrames();
  // An animation on a palette screen is rendered dithered onto the colour cube; the device flag
  // is dropped too, since with it set the option would never take effect.
  const bool dither = View.Animated && ScreenDepth() <= 8;
  TGIFDrawOptions options = gif.DrawOptions();
  options = dither ? (options | gdDither) & ~gdDitherPalDevice : options & ~gdDither;
  if (options != gif.DrawOptions()) gif.SetDrawOptions(options);
  gif.OnFramePainted = [this](TGIFImage&, const TRect& area) { AnimationFramePainted(area); };
}

void TKestrelMain::AnimationFramePainted(const TRect& area) {
  auto* gif = dynamic_cast<TGIFImage*>(Picture->Graphic());
  // Edits are not overwritten, and a copy being built takes the frame anyway.
  if (!gif || BuildingView || ImageModified || ImageKind != ikGif || !PictureValid()) return;
  std::optional<TRect> changed;
  {
    const TQuietBitmap quiet(*ViewBitmap);
    const bool reduced = !View.Copy.Fitted && View.Copy.CopyReduction > 1;
    changed = RedrawAnimationArea(*ViewBitmap, *gif, area, reduced);
  }
  if (!changed) return PictureChanged();
  const int m = NormalMode() ? Magnification() : 1;
  PaintBox1->update(changed->Left * m, changed->Top * m, changed->Width() * m,
                    changed->Height() * m);
}

void TKestrelMain::EndLoad() {
  if (LoadCursorShown) {
    QApplication::restoreOverrideCursor();
    LoadCursorShown = false;
  }
  if (TimerHeldByLoad) {
    TimerHeldByLoad = false;
    if (TimerWasActive) Timer1->start();
  }
}

void TKestrelMain::ResetView() {
  // The animation shown stops at once, before its view goes.
  if (auto* gif = dynamic_cast<TGIFImage*>(Picture->Graphic())) gif->StopPainters();
  // Nothing is shown until the next picture is built, so the old copy need not be kept.
  ViewBitmap->Assign(nullptr);
  ViewBitmap->SetPixelFormat(pfDevice);
  ViewBitmap->Canvas().Brush.Color = ImageFrameColor;
  ViewBitmap->SetSize(1, 1);
  for (TBitmap* bitmap : {CropBitmap.get(), OverlayBitmap.get()}) {
    bitmap->Assign(nullptr);
    bitmap->SetSize(1, 1);
  }
  EditedBitmap->Assign(nullptr);
  View.Copy.CopyReduction = 1;
  View.Copy.Fitted = false;
  View.Animated = false;
  View.GifPalettes = false;
  View.Synthesized = false;
  ImageModified = false;
  ResetToolAction();
  if (PaintBox1->width() < 1 || PaintBox1->height() < 1) PaintBox1->resize(1, 1);
}

void TKestrelMain::ClearPicture() {
  WaitForResampler();
  Loader->Cancel();
  EndLoad();
  Picture->SetGraphic(nullptr);
  ImageKind = ikNone;
  ResetView();
  UpdateJpegControls();
  UpdateStatusLine(); // no longer the cleared picture's size and format
  RunOptions();
  PaintBox2->update();
}

// The picture and its copy

bool TKestrelMain::PictureValid() const {
  const TGraphic* graphic = Picture ? Picture->Graphic() : nullptr;
  return ImageKind != ikNone && graphic && !graphic->Empty() && graphic->Width() > 0 &&
         graphic->Height() > 0;
}

TBitmap* TKestrelMain::DisplayedBitmap() const {
  if (ImageKind == ikNone) return nullptr;
  return ImageKind == ikCrop ? CropBitmap.get() : ViewBitmap.get();
}

int TKestrelMain::ScaleIndex() const {
  return JpgOptions ? JpgOptions->ScaleIndex() : kFullScaleIndex;
}

int TKestrelMain::Magnification() const {
  return MagnificationOf(ScaleIndex());
}

int TKestrelMain::Reduction() const {
  return ZoomDivisor(JpgOptions);
}

TGraphic& TKestrelMain::ViewSource() const {
  if (ImageKind == ikEdited && !EditedBitmap->Empty()) return *EditedBitmap;
  return *Picture->Graphic();
}

TViewCopySettings TKestrelMain::CopySettings(TGraphic& graphic) const {
  const bool transparent = CommandSet->Action("Transparent1")->isChecked();
  const TDrawingPaletteChoice palette{ImageKind, View.Animated, View.GifPalettes};
  TViewCopySettings settings;
  settings.Path = ChooseDrawPath(graphic, {PreservePixels, transparent, ScreenDepth(), palette});
  settings.Reduction = NeverReduced(ImageKind) ? 1 : Reduction();
  settings.Background = ImageFrameColor;
  settings.Palette = palette;
  settings.Transparent = transparent;
  return settings;
}

void TKestrelMain::RebuildView() {
  if (FitWindowMode() || !PictureValid() || !JpgOptions) return;
  if (ImageModified) return; // edits are not overwritten
  WaitForResampler();
  TTimerPause pause(Timer1);
  TGraphic& graphic = ViewSource();
  TViewCopySettings settings = CopySettings(graphic);
  settings.Forced = std::exchange(View.ForceRebuild, false);
  bool built = false;
  const TBuildingView building(BuildingView);
  for (int attempt = 0; attempt < 2 && !built; ++attempt) {
    try {
      if (settings.Path == TDrawPath::Jpeg) JpgOptions->ApplyLoadOptions(&graphic, false);
      // Built aside, so a failure leaves the previous copy.
      TBitmap copy;
      copy.Assign(ViewBitmap.get());
      TViewCopyState state = View.Copy;
      BuildViewCopy(copy, graphic, settings, state);
      const TQuietBitmap quiet(*ViewBitmap);
      ViewBitmap->Assign(&copy);
      View.Copy = state;
      built = true;
    } catch (const std::exception&) {
      settings.Forced = true;
    }
  }
  UpdateJpegControls();
  MatchOverlay(*ViewBitmap);
  if (!built) ShowMessage(kBadSource, "Kestrel!", TMsgIcon::Error, this);
  PaintBox1->update();
}

void TKestrelMain::FitToWindow() {
  // The resampler's destination is shown as it is until the run ends.
  if (!FitWindowMode() || !PictureValid() || Resampling()) return;
  TGraphic& graphic = ViewSource();
  const auto fit = FitSize(ScrollBox1->width(), ScrollBox1->height(), kFrameMargin, graphic.Width(),
                           graphic.Height());
  if (!fit) return;
  SetScrollBarsShown(false);
  // An icon is not scaled.
  const TSize size = ImageKind == ikIcon ? TSize{graphic.Width(), graphic.Height()} : *fit;
  if (!View.ViewStale && ViewBitmap->Width() == size.Width && ViewBitmap->Height() == size.Height)
    return;
  View.ViewStale = false;
  const bool jpeg = dynamic_cast<const TJPEGImage*>(&graphic) != nullptr;
  const TPalette palette = DrawingPalette(graphic, {ImageKind, View.Animated, View.GifPalettes});
  const TBuildingView building(BuildingView);
  try {
    TBitmap copy;
    TViewCopyState state = View.Copy;
    FitViewCopy(copy, graphic, size, ImageFrameColor, palette, !jpeg, state);
    const TQuietBitmap quiet(*ViewBitmap);
    ViewBitmap->Assign(&copy);
    View.Copy = state;
  } catch (const std::exception&) {
    ShowMessage(kBadSource, "Kestrel!", TMsgIcon::Error, this);
  }
  PaintBox1->update();
}

void TKestrelMain::FitToImage() {
  const TBitmap* shown = DisplayedBitmap();
  if (!shown || shown->Empty()) {
    SetScrollBarsShown(false);
    return;
  }
  TFitImageLayout fit;
  fit.FileViewShown = !FileView->isHidden();
  // The file view's own width: a window just fitted round a small picture may have squeezed it.
  fit.FileViewWidth = FileViewWidth + Splitter2->handleWidth();
  const TSize client = FitImageClientSize(shown->Width(), shown->Height(), fit);
  if (isMaximized()) showNormal();
  // The limits of the layout as it is now: the file view may just have gone.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  layout()->activate();
  // The client area is below the menu bar. The window never reaches past the screen: a larger
  // picture scrolls inside it.
  const QSize size(client.Width,
                   client.Height + (menuBar()->isVisible() ? menuBar()->height() : 0));
  if (const QScreen* place = screen())
    FitOnScreen(size, place->availableGeometry());
  else
    resize(size);
  if (fit.FileViewShown)
    Splitter2->setSizes({FileViewWidth, std::max(Splitter2->width() - fit.FileViewWidth, 0)});
}

void TKestrelMain::FitOnScreen(QSize size, const QRect& available) {
  const QSize frame = frameGeometry().size() - this->size();
  const QSize largest = available.size() - frame;
  resize(size.boundedTo(largest));
  // An edge it would cross moves it back in.
  const QRect outer(frameGeometry().topLeft(), this->size() + frame);
  const QPoint inside(
      std::clamp(outer.left(), available.left(),
                 std::max(available.right() + 1 - outer.width(), available.left())),
      std::clamp(outer.top(), available.top(),
                 std::max(available.bottom() + 1 - outer.height(), available.top())));
  if (inside != outer.topLeft()) move(inside);
}

// Modes

bool TKestrelMain::FitWindowMode() const {
  return CommandSet->Action("FitToWindow1")->isChecked();
}

bool TKestrelMain::FitImageMode() const {
  return CommandSet->Action("FitToImage1")->isChecked();
}

bool TKestrelMain::NormalMode() const {
  return !FitWindowMode() && !FitImageMode();
}

void TKestrelMain::SetScrollBarsShown(bool shown) {
  const Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  ScrollBox1->setHorizontalScrollBarPolicy(policy);
  ScrollBox1->setVerticalScrollBarPolicy(policy);
}

void TKestrelMain::FitToWindow1Click() {
  SetScrollBarsShown(false);
  CheckAction(*CommandSet, "FitToWindow1", true);
  CheckAction(*CommandSet, "Toolbutton2", true);
  // A fitted JPEG is decoded at full size.
  if (JpgOptions && PictureValid()) JpgOptions->ApplyLoadOptions(Picture->Graphic(), true);
  View.ViewStale = true;
  RunOptions();
}

void TKestrelMain::FitToImage1Click() {
  if (isMinimized()) showNormal();
  // Coming from a fitted copy, the picture is rendered at its scale again.
  const bool wasFitted = View.Copy.Fitted;
  CheckAction(*CommandSet, "FitToImage1", true);
  CheckAction(*CommandSet, "Toolbutton2", false);
  CheckAction(*CommandSet, "ToolButton3", true);
  if (wasFitted && PictureValid()) {
    View.ForceRebuild = true;
    RebuildView();
  }
  RunOptions();
}

void TKestrelMain::DontScale1Click() {
  CheckAction(*CommandSet, "Toolbutton2", false);
  CheckAction(*CommandSet, "ToolButton3", false);
  const bool wasFitted = View.Copy.Fitted;
  CheckAction(*CommandSet, "DontScale1", true);
  View.ForceRebuild = true;
  if (wasFitted && PictureValid()) RebuildView();
  RunOptions();
}

void TKestrelMain::Toolbutton2Click() {
  if (CommandSet->Action("Toolbutton2")->isChecked())
    FitToWindow1Click();
  else
    DontScale1Click();
  FListBox1->setFocus();
}

void TKestrelMain::ToolButton3Click() {
  if (CommandSet->Action("ToolButton3")->isChecked())
    FitToImage1Click();
  else
    DontScale1Click();
}

void TKestrelMain::Transparent1Click() {
  if (ImageModified) return;
  const bool transparent = CommandSet->Action("Transparent1")->isChecked();
  if (FitWindowMode() && PictureValid()) {
    // The fitted copy is drawn again with the picture's new transparency.
    Picture->Graphic()->SetTransparent(transparent);
    View.ViewStale = true;
    RunOptions1();
    return;
  }
  View.ForceRebuild = true;
  RebuildView();
  RunOptions1();
}

void TKestrelMain::StopPicClick() {
  // The check itself is the setting: LoadPicture reads it.
}

void TKestrelMain::JpegProperties1Click() {
  if (JpgOptions) JpgOptions->ShowForm(TJpgForm::Both);
}

void TKestrelMain::JpegOptionsChanged() {
  if (PictureValid()) {
    if (FitWindowMode()) {
      JpgOptions->ApplyLoadOptions(Picture->Graphic(), true);
      View.ViewStale = true;
    } else {
      RebuildView();
    }
  }
  RunOptions();
}

void TKestrelMain::ImageFrameChanged() {
  ViewBitmap->Canvas().Brush.Color = ImageFrameColor;
  const bool drawnOnFrame = PictureValid() && (Picture->Graphic()->Transparent() ||
                                               (ImageKind >= ikIcon && ImageKind <= ikGif));
  if (drawnOnFrame) {
    View.ForceRebuild = true;
    View.ViewStale = true;
    RebuildView();
    RunOptions1();
  }
  PaintBox1->update();
  PaintBox2->update();
}

void TKestrelMain::RefuseMaximise() {
  if (!FitImageMode() || !isMaximized()) return;
  // Fit to Image sizes the window round the picture: it is not maximised.
  QTimer::singleShot(0, this, [this] {
    if (isMaximized()) showNormal();
    RunOptions1();
  });
}

void TKestrelMain::Zoom(TZoomDirection direction) {
  if (!NormalMode() || !JpgOptions || ImageModified) return;
  if (!CommandSet->Action("None1")->isChecked()) return; // an editing tool is chosen
  const int index = ScaleIndex();
  const int next = ZoomedScaleIndex(index, direction, ImageKind);
  if (next == index) return;
  JpgOptions->SetScaleIndex(next);
  // At 1:1 and above the copy is shown magnified; a reduced copy is made full size again.
  if (next > kFullScaleIndex || View.Copy.CopyReduction != 1) RebuildView();
  RunOptions();
}

void TKestrelMain::PictureChanged() {
  const auto* gif = dynamic_cast<const TGIFImage*>(Picture->Graphic());
  if (gif) View.Animated = gif->FrameCount() > 1;
  if (!PictureValid() || ViewBitmap->Empty()) return;
  WaitForResampler();
  View.ViewStale = true;
  View.ForceRebuild = true;
  // A new frame of an animation is drawn at once (not while the copy is being built from it); an
  // edited picture stays as it was edited.
  if (!gif || !View.Animated || BuildingView || ImageKind == ikEdited) return;
  ViewBitmap->SetPalette({});
  if (FitWindowMode())
    FitToWindow();
  else
    RebuildView();
  PaintBox1->update();
}

// Caption, placement and painting

void TKestrelMain::RunOptions() {
  // With nothing shown the caption names no file.
  setWindowTitle(PictureValid() ? CaptionText(Magnification(), Reduction(), CurrentPicture)
                                : QString(kCaption));
  BaseCaption = windowTitle();
  if (BigScreen) BigScreen->SetCaption(BaseCaption);
  RunOptions1();
}

void TKestrelMain::RunOptions1() {
  if (ApplyingMode) return;
  ApplyingMode = true;
  {
    TTimerPause pause(Timer1);
    if (FitWindowMode())
      FitToWindow();
    else if (FitImageMode() && !BigScreen) // the full-screen window keeps its size
      FitToImage();
    PlacePicture();
    PaintBox1->update();
    if (PrintSetup) PrintSetup->PictureChanged();
  }
  ApplyingMode = false;
}

void TKestrelMain::PlacePicture() {
  const TBitmap* shown = DisplayedBitmap();
  const int m = NormalMode() ? Magnification() : 1;
  TSize image{1, 1};
  if (shown && !shown->Empty()) image = {shown->Width() * m, shown->Height() * m};
  const QSize client = ScrollBox1->maximumViewportSize();
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  // Only a picture fitted to the window never scrolls: one the window is fitted round may be
  // larger than the screen allows the window to be.
  const bool scrolls = !FitWindowMode();
  const TPlacement placement =
      PlaceImage({client.width(), client.height()}, image, VScrollWidth > 0 ? VScrollWidth : bar,
                 HScrollHeight > 0 ? HScrollHeight : bar, scrolls);
  SetScrollBarsShown(scrolls);
  PaintBox2->resize(std::max(placement.Free.Width, image.Width),
                    std::max(placement.Free.Height, image.Height));
  PaintBox1->setGeometry(placement.Offset.X, placement.Offset.Y, image.Width, image.Height);
}

bool TKestrelMain::ViewEvent(QObject* watched, QEvent* event) {
  if (watched == PaintBox1 && event->type() == QEvent::Paint) {
    PaintBox1Paint(static_cast<QPaintEvent*>(event)->rect());
    return true;
  }
  // The editing tools take the picture's mouse while one is chosen.
  if (EditingViewEvent(watched, event)) return true;
  if (watched == PaintBox2 && event->type() == QEvent::Paint) {
    PaintBox2Paint();
    return true;
  }
  if (watched == PaintBox1 && event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const Qt::KeyboardModifiers keys = mouse->modifiers();
    if (keys & Qt::ShiftModifier)
      TriggerCommand("SaveAs1");
    else if (!(keys & Qt::ControlModifier) && mouse->button() == Qt::LeftButton)
      Zoom(TZoomDirection::In);
    else if (!(keys & Qt::ControlModifier) && mouse->button() == Qt::RightButton)
      Zoom(TZoomDirection::Out);
    return true; // the picture's clicks are not the background's
  }
  if (watched == ScrollBox1 && event->type() == QEvent::Resize) {
    // Until the first tick the start-up's resizes do not re-apply the mode.
    if (StartCounter == 0)
      RunOptions1();
    else
      PlacePicture();
  }
  return false;
}

void TKestrelMain::PaintBox1Paint(const QRect& dirty) {
  QPainter painter(PaintBox1);
  const QColor background = ToQColor(ImageFrameColor);
  TBitmap* shown = DisplayedBitmap();
  if (!shown || shown->Empty()) {
    painter.fillRect(PaintBox1->rect(), background);
    return;
  }
  // While a tool previews, the paint is composed in the overlay.
  const TBitmap* source = Editor ? Editor->PaintSource() : shown;
  if (!source) source = shown;
  const QPoint position = PaintBox1->mapTo(ScrollBox1->viewport(), QPoint(0, 0));
  const QSize free = ScrollBox1->viewport()->size();
  const int m = NormalMode() ? Magnification() : 1;
  // Only what is visible and asked for is read: a stroke repaints just the rectangle it touched.
  const QRect area = QRect(-position, free).intersected(PaintBox1->rect()).intersected(dirty);
  if (area.isEmpty()) return;
  // A worker drawing into the picture holds its lock: this frame is skipped.
  if (!shown->Canvas().TryLock()) return;
  const QRect drawn =
      PaintVisible(painter, *source, m, {-area.x(), -area.y()}, {area.width(), area.height()});
  shown->Canvas().Unlock();
  // A box larger than its copy (for a moment, while it changes) shows the background there.
  const QRegion rest = QRegion(area).subtracted(drawn);
  for (const QRect& part : rest)
    painter.fillRect(part, background);
  if (Editor) Editor->PaintDecorations(painter, m);
}

void TKestrelMain::PaintBox2Paint() {
  QPainter painter(PaintBox2);
  const QRegion margins = QRegion(PaintBox2->rect()).subtracted(PaintBox1->geometry());
  for (const QRect& part : margins)
    painter.fillRect(part, ToQColor(ImageFrameColor));
}

// Information texts

QString TKestrelMain::ImageDescription() const {
  return ImageDescriptionText(CurrentPicture, PixelFormatText(ViewBitmap.get()),
                              PaletteText(ViewBitmap->Palette().Count(), View.Synthesized));
}

void TKestrelMain::ShowFileSize() {
  const QString file = FListBox1->FileName();
  const QString fileSize = file.isEmpty() ? QString() : SizeText(skFile, QFileInfo(file).size());
  CommandSet->Action("Size1")->setText(fileSize.isEmpty() ? "File is Empty" : fileSize);
}

void TKestrelMain::ShowFolderSize() {
  const QString folder = DListBox1->ItemPath(std::max(DListBox1->ItemIndex(), 0));
  const QString folderSize = SizeText(skFile, FolderSize(folder));
  CommandSet->Action("Size2")->setText(folderSize.isEmpty() ? "No Files in Folder" : folderSize);
}

} // namespace kestrel
