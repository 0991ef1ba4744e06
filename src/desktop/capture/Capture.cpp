#include "desktop/capture/Capture.h"

#include "desktop/hints/WinCapture.h"
#include "imaging/core/Bitmap.h"
#include "platform/display/PortalScreenshot.h"
#include "platform/display/ScreenDepth.h"
#include "platform/display/ScreenGrab.h"
#include "platform/ui/MessageBox.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

namespace kestrel {
namespace {

constexpr int kPollMs = 50;
const char kCaption[] = "Kestrel!: Capture";

// Esc anywhere in the program cancels the wait.
class TEscapeWatch : public QObject {
public:
  explicit TEscapeWatch(TCtrlWait& wait) : wait_(wait) { qApp->installEventFilter(this); }
  ~TEscapeWatch() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      wait_.Cancel();
      return true;
    }
    return false;
  }

private:
  TCtrlWait& wait_;
};

// The program's window is hidden for the life of the object and comes back as it was.
class THiddenWindow {
public:
  THiddenWindow(QWidget& window, bool hide) : window_(window), state_(window.windowState()) {
    if (hide) window_.showMinimized();
    hidden_ = hide;
  }
  ~THiddenWindow() {
    if (!hidden_) return;
    window_.setWindowState(state_ & ~Qt::WindowMinimized);
    window_.show();
    window_.activateWindow();
  }
  THiddenWindow(const THiddenWindow&) = delete;
  THiddenWindow& operator=(const THiddenWindow&) = delete;

private:
  QWidget& window_;
  Qt::WindowStates state_;
  bool hidden_ = false;
};

} // namespace

std::unique_ptr<TBitmap> CaptureBitmap(const QImage& grab, int screenDepth) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromImage(grab);
  bitmap->SetPixelFormat(PixelFormatOfDepth(screenDepth));
  if (screenDepth > 8) bitmap->SetPalette(TPalette());
  return bitmap;
}

bool TCtrlWait::Wait() {
  QEventLoop loop;
  loop_ = &loop;
  pressed_ = false;
  QTimer poll;
  poll.setInterval(kPollMs);
  QObject::connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
    if (!(CtrlDown ? CtrlDown() : CtrlKeyDown())) return;
    pressed_ = true;
    loop.quit();
  });
  // The program ending ends every loop; it is no key press.
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, &loop, [this] { Cancel(); });
  const TEscapeWatch escape(*this);
  poll.start();
  loop.exec();
  loop_ = nullptr;
  return pressed_;
}

void TCtrlWait::Cancel() {
  if (!loop_) return;
  pressed_ = false;
  loop_->quit();
}

TCapture::TCapture(TWinCapture& hints, QWidget& window)
    : DirectGrab(ScreenGrabAvailable()), Portal(std::make_unique<TPortalScreenshot>()),
      hints_(hints), window_(window) {}

TCapture::~TCapture() = default;

bool TCapture::Waiting() const {
  return CtrlWait.Waiting() || Portal->Waiting();
}

void TCapture::Cancel() {
  CtrlWait.Cancel();
  Portal->Cancel();
}

std::unique_ptr<TBitmap> TCapture::Run(TCaptureKind kind, QAction& item,
                                       const std::function<void(const QString&)>& snapshot) {
  if (!DirectGrab && !Portal->Available()) {
    ShowMessage("Screen and window capture are not available on this desktop.", kCaption,
                TMsgIcon::Information, &window_);
    return nullptr;
  }
  if (hints_.ShowModal(static_cast<int>(kind)) == THintResult::Abort) return nullptr;
  std::unique_ptr<TBitmap> bitmap;
  QString failure;
  {
    const THiddenWindow hidden(window_, kind == TCaptureKind::Screen);
    item.setCheckable(true);
    item.setChecked(true);
    if (!DirectGrab)
      bitmap = TakeThroughPortal(failure);
    else if (CtrlWait.Wait())
      bitmap = Take(kind, failure);
    item.setChecked(false);
  }
  if (!bitmap) {
    // Nothing to say when the user cancelled.
    if (!failure.isEmpty()) ShowMessage(failure, kCaption, TMsgIcon::Warning, &window_);
    return nullptr;
  }
  snapshot(item.text());
  return bitmap;
}

std::unique_ptr<TBitmap> TCapture::TakeThroughPortal(QString& failure) {
  const TPortalShot shot = Portal->Take(true);
  failure = shot.Failure;
  if (shot.Image.isNull()) return nullptr;
  return Depthed(shot.Image, failure);
}

std::unique_ptr<TBitmap> TCapture::Take(TCaptureKind kind, QString& failure) {
  QRect area;
  if (kind == TCaptureKind::Window) {
    const auto frame = ActiveWindowFrame();
    if (!frame) {
      failure = "There is no window in front to capture.";
      return nullptr;
    }
    area = *frame;
  }
  const QImage grab = GrabScreen(area);
  if (grab.isNull() || grab.width() <= 0 || grab.height() <= 0) {
    failure = "The screen could not be read.";
    return nullptr;
  }
  return Depthed(grab, failure);
}

std::unique_ptr<TBitmap> TCapture::Depthed(const QImage& grab, QString& failure) {
  try {
    return CaptureBitmap(grab, ScreenDepth());
  } catch (const std::exception& error) {
    failure = QString::fromStdString(error.what());
    return nullptr;
  }
}

} // namespace kestrel
