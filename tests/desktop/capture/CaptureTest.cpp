// The captures: the depth of what they take, the wait for Ctrl and its cancelling, and the
// screen and the window in front as an X server shows them.

#include "desktop/capture/Capture.h"
#include "desktop/hints/WinCapture.h"
#include "imaging/core/Bitmap.h"
#include "platform/display/PortalScreenshot.h"
#include "platform/display/ScreenGrab.h"
#include "platform/settings/Settings.h"
#include "platform/ui/MessageBox.h"

#include "support/ScreenDepth.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"
#include "support/XServer.h"

#include <QAction>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

QImage Gradient() {
  QImage image(64, 16, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixel(x, y, qRgb(x * 4, y * 16, 255 - x * 4));
  return image;
}

TEST(CaptureBitmap, TakesTheScreensDepthWithAPaletteOnlyAtEightBitsOrFewer) {
  const QImage grab = Gradient();
  const auto sixteen = CaptureBitmap(grab, 16);
  EXPECT_EQ(sixteen->PixelFormat(), pf16bit);
  EXPECT_TRUE(sixteen->OwnPalette().IsNull());
  const auto eight = CaptureBitmap(grab, 8);
  EXPECT_EQ(eight->PixelFormat(), pf8bit);
  EXPECT_EQ(eight->OwnPalette().Count(), 256);
  EXPECT_EQ(CaptureBitmap(grab, 4)->PixelFormat(), pf4bit);
  EXPECT_EQ(CaptureBitmap(grab, 24)->PixelFormat(), pf24bit);
  EXPECT_EQ(CaptureBitmap(grab, 12)->PixelFormat(), pfDevice);
  // Every depth a screen may report.
  const std::vector<std::pair<int, TPixelFormat>> depths = {
      {1, pf1bit},   {2, pf4bit},   {4, pf4bit},   {5, pf8bit},   {8, pf8bit},    {15, pf15bit},
      {16, pf16bit}, {24, pf24bit}, {32, pf32bit}, {0, pfDevice}, {30, pfDevice}, {64, pfDevice}};
  for (const auto& [bits, format] : depths)
    EXPECT_EQ(PixelFormatOfDepth(bits), format) << bits;
  EXPECT_EQ(sixteen->Width(), 64);
}

class Capturing : public ::testing::Test {
protected:
  void SetUp() override {
    SetMessageHandler([this](const TMessageRequest& request) {
      Messages.push_back(request);
      return TMsgResult::Ok;
    });
    Window.resize(200, 120);
  }
  void TearDown() override { SetMessageHandler({}); }
  std::unique_ptr<TBitmap> Run(TCaptureKind kind) {
    return Capture.Run(kind, Item, [this](const QString& name) { Snapshots << name; });
  }

  static bool DismissCaptureHints() {
    WriteSetting("Dialogs", "DontShowAgain", 3); // both capture hints, for good
    return true;
  }

  test::TApplicationFirst App;
  test::TTempEnvironment Env;
  bool Dismissed = DismissCaptureHints();
  QWidget Window;
  TWinCapture Hints;
  TCapture Capture{Hints, Window};
  QAction Item{"Screen C&apture"};
  QStringList Snapshots;
  std::vector<TMessageRequest> Messages;
};

TEST_F(Capturing, ACancelledWaitTakesNothingAndLeavesTheItemUnchecked) {
  Capture.CtrlWait.CtrlDown = [] { return false; };
  QTimer::singleShot(0, [this] {
    EXPECT_TRUE(Item.isChecked());
    EXPECT_TRUE(Capture.Waiting());
    Capture.Cancel();
  });
  EXPECT_EQ(Run(TCaptureKind::Screen), nullptr);
  EXPECT_FALSE(Item.isChecked());
  EXPECT_FALSE(Capture.Waiting());
  EXPECT_TRUE(Snapshots.isEmpty());
  EXPECT_TRUE(Messages.empty());
}

TEST_F(Capturing, WithNoWindowInFrontNothingChangesAndTheUserIsTold) {
  if (test::UnderXServer() || ActiveWindowFrame()) GTEST_SKIP() << "a window system is present";
  Capture.CtrlWait.CtrlDown = [] { return true; };
  EXPECT_EQ(Run(TCaptureKind::Window), nullptr);
  EXPECT_FALSE(Item.isChecked());
  EXPECT_TRUE(Snapshots.isEmpty());
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Text, "There is no window in front to capture.");
}

// On a real X server: the screen at the forced depths, and the window in front with its pixels.
TEST_F(Capturing, TheScreenAndTheWindowInFrontOfAnXServer) {
  KESTREL_UNDER_X_SERVER();
  Capture.CtrlWait.CtrlDown = [] { return true; };
  {
    const test::TScreenDepth depth(16);
    const auto screen = Run(TCaptureKind::Screen);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->PixelFormat(), pf16bit);
    EXPECT_TRUE(screen->OwnPalette().IsNull());
    EXPECT_EQ(screen->Width(), 640);
    EXPECT_EQ(screen->Height(), 480);
  }
  {
    const test::TScreenDepth depth(8);
    const auto screen = Run(TCaptureKind::Screen);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->PixelFormat(), pf8bit);
    EXPECT_EQ(screen->OwnPalette().Count(), 256);
  }
  EXPECT_EQ(Snapshots, QStringList({"Screen C&apture", "Screen C&apture"}));

  // A window of one colour, in front: the capture is that window.
  QWidget front;
  front.setAutoFillBackground(true);
  front.setPalette(QPalette(QColor(0, 128, 255)));
  front.setGeometry(50, 60, 120, 80);
  front.show();
  front.activateWindow();
  ASSERT_TRUE(test::WaitUntil([&front] {
    const auto frame = ActiveWindowFrame();
    return front.isActiveWindow() && frame && frame->size() == front.size();
  }));
  const auto window = Run(TCaptureKind::Window);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Width(), 120);
  EXPECT_EQ(window->Height(), 80);
  EXPECT_EQ(window->PixelColor(60, 40) & 0xFFFFFF, 0x0080FFu);
}

// A message bus of the test's own, so no desktop's portal is ever asked.
class TPrivateBus {
public:
  TPrivateBus() {
    daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!daemon_.waitForStarted() || !daemon_.waitForReadyRead(10000)) return;
    address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
  }
  ~TPrivateBus() {
    for (const QString& name : names_)
      QDBusConnection::disconnectFromBus(name);
    daemon_.kill();
    daemon_.waitForFinished();
  }
  bool Running() const { return !address_.isEmpty(); }
  QDBusConnection Connect(const QString& name) {
    names_ << name;
    return QDBusConnection::connectToBus(address_, name);
  }

private:
  QProcess daemon_;
  QString address_;
  QStringList names_;
};

// Stands in for the desktop portal: answers Screenshot with a request, then (unless told to keep
// the user thinking) the Response signal with Code and the picture file.
class TFakePortal : public QDBusVirtualObject {
public:
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
    if (message.member() == "Get") {
      bus.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
      return true;
    }
    if (message.member() != "Screenshot") return false;
    const auto options = qdbus_cast<QVariantMap>(message.arguments().at(1));
    Interactive = options.value("interactive").toBool();
    const QString path = "/org/freedesktop/portal/desktop/request/" +
                         message.service().mid(1).replace('.', '_') + "/" +
                         options.value("handle_token").toString();
    bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(path))));
    if (!Answer) return true;
    QDBusMessage response =
        QDBusMessage::createSignal(path, "org.freedesktop.portal.Request", "Response");
    response << Code << QVariantMap{{"uri", Uri}};
    QTimer::singleShot(0, [bus, response] { QDBusConnection(bus).send(response); });
    return true;
  }

  bool Answer = true;
  uint Code = 0;
  QString Uri;
  bool Interactive = false;
};

class CapturingThroughThePortal : public Capturing {
protected:
  void SetUp() override {
    Capturing::SetUp();
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
      GTEST_SKIP() << "dbus-daemon is not installed";
    ASSERT_TRUE(Bus.Running());
    Capture.DirectGrab = false;
    Capture.Portal = std::make_unique<TPortalScreenshot>(Bus.Connect("client"));
  }
  void Serve() {
    QDBusConnection server = Bus.Connect("portal");
    ASSERT_TRUE(server.registerService("org.freedesktop.portal.Desktop"));
    ASSERT_TRUE(server.registerVirtualObject("/org/freedesktop/portal/desktop", &Portal));
  }

  TPrivateBus Bus;
  TFakePortal Portal;
};

TEST_F(CapturingThroughThePortal, ThePortalsPictureIsTakenAtTheScreensDepth) {
  Serve();
  QImage shot = Gradient();
  const QString file = Env.Path() + "/shot.png";
  ASSERT_TRUE(shot.save(file));
  Portal.Uri = QUrl::fromLocalFile(file).toString();
  const test::TScreenDepth depth(16);
  const auto bitmap = Run(TCaptureKind::Window);
  ASSERT_NE(bitmap, nullptr) << (Messages.empty() ? "" : Messages[0].Text.toStdString());
  EXPECT_TRUE(Portal.Interactive); // the portal's window lets the user choose
  EXPECT_EQ(bitmap->PixelFormat(), pf16bit);
  EXPECT_EQ(bitmap->Width(), 64);
  EXPECT_EQ(Snapshots, QStringList{"Screen C&apture"});
  EXPECT_FALSE(Item.isChecked());
}

TEST_F(CapturingThroughThePortal, CancelledRefusedOrUnreadableShotsChangeNothing) {
  Serve();
  Portal.Code = 1; // the user cancelled in the portal's window: nothing to say
  EXPECT_EQ(Run(TCaptureKind::Screen), nullptr);
  EXPECT_TRUE(Messages.empty());

  Portal.Code = 0;
  Portal.Uri = QUrl::fromLocalFile(Env.Path() + "/missing.png").toString();
  EXPECT_EQ(Run(TCaptureKind::Screen), nullptr);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_TRUE(Messages[0].Text.startsWith("The screenshot cannot be read"))
      << Messages[0].Text.toStdString();

  // A portal that keeps waiting for its user: choosing the item again cancels.
  Portal.Answer = false;
  QTimer::singleShot(50, [this] {
    EXPECT_TRUE(Capture.Waiting());
    Capture.Cancel();
  });
  EXPECT_EQ(Run(TCaptureKind::Screen), nullptr);
  EXPECT_FALSE(Capture.Waiting());
  EXPECT_FALSE(Item.isChecked());
  EXPECT_EQ(Messages.size(), 1u);
  EXPECT_TRUE(Snapshots.isEmpty());
}

TEST_F(CapturingThroughThePortal, WithoutAPortalTheUserIsToldCaptureIsNotAvailable) {
  EXPECT_EQ(Run(TCaptureKind::Screen), nullptr);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Text, "Screen and window capture are not available on this desktop.");
  EXPECT_FALSE(Item.isChecked());
}

} // namespace
} // namespace kestrel
