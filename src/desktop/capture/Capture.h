#pragma once
// "Screen C&apture" and "Wi&ndow Capture": after the one-time hint the command's item stays
// checked while the user arranges the desktop (the screen capture hides the program meanwhile);
// the Ctrl key then takes the picture, of the whole screen or of the window in front with its
// frame, at the screen's depth. Choosing the item again, Esc, or closing the program cancels the
// wait. A capture that cannot be taken changes nothing and says why.
//
// Where the window system keeps the screen from programs (Wayland), the desktop portal takes the
// picture instead: its own window lets the user pick the window or the area and stands in for
// the Ctrl key. Without a portal the user is told capture is not available.

#include <QString>

#include <functional>
#include <memory>

class QAction;
class QEventLoop;
class QImage;
class QWidget;

namespace kestrel {

class TBitmap;
class TPortalScreenshot;
class TWinCapture;

enum class TCaptureKind { Screen = 1, Window = 2 }; // also their hint kinds

// grab as a bitmap at the screen's depth: 1, 4 (2 to 4 bits), 8 (5 to 8 bits), 15, 16, 24 or 32
// bits per pixel, other depths the device's. Deeper than 8 bits it has no palette; otherwise it
// has the standard palette of its depth, which stands in for the system palette.
std::unique_ptr<TBitmap> CaptureBitmap(const QImage& grab, int screenDepth);

// Waits, handling events, until Ctrl is down or the wait is cancelled.
class TCtrlWait {
public:
  // True when Ctrl went down; false when cancelled or the program is ending.
  bool Wait();
  void Cancel();
  bool Waiting() const { return loop_ != nullptr; }
  // Polled every 50 ms: whether Ctrl is down.
  std::function<bool()> CtrlDown;

private:
  QEventLoop* loop_ = nullptr;
  bool pressed_ = false;
};

class TCapture {
public:
  // hints: the one-time hint box; window: the main window, hidden during a screen capture.
  TCapture(TWinCapture& hints, QWidget& window);
  ~TCapture();
  TCapture(const TCapture&) = delete;
  TCapture& operator=(const TCapture&) = delete;

  // Runs the capture of kind started by item. snapshot(the item's caption) is called once the
  // picture is taken and before it is handed back. Returns null when the user aborted or
  // cancelled, or the capture could not be taken (then told).
  std::unique_ptr<TBitmap> Run(TCaptureKind kind, QAction& item,
                               const std::function<void(const QString&)>& snapshot);
  bool Waiting() const;
  void Cancel();

  TCtrlWait CtrlWait;
  // Whether the screen can be read directly; else the portal is asked.
  bool DirectGrab;
  // The desktop portal on the session bus; tests put one on a bus of their own.
  std::unique_ptr<TPortalScreenshot> Portal;

private:
  std::unique_ptr<TBitmap> Take(TCaptureKind kind, QString& failure);
  std::unique_ptr<TBitmap> TakeThroughPortal(QString& failure);
  static std::unique_ptr<TBitmap> Depthed(const QImage& grab, QString& failure);

  TWinCapture& hints_;
  QWidget& window_;
};

} // namespace kestrel
