#include "platform/ui/FullHeightToggle.h"

#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QScreen>
#include <QSpontaneKeyEvent>
#include <QWidget>
#include <QWindowStateChangeEvent>

namespace kestrel {
namespace {

using test::WaitUntil;

// The user's maximise as the window system reports it: the window system has changed the state,
// and a spontaneous event tells the window.
void MaximiseAsTheUserDoes(QWidget& window) {
  window.overrideWindowState(window.windowState() | Qt::WindowMaximized);
  QWindowStateChangeEvent report(Qt::WindowNoState);
  QSpontaneKeyEvent::setSpontaneous(&report);
  QCoreApplication::instance()->notify(&window, &report); // as delivered, spontaneous
}

TEST(FullHeightToggle, MaximiseSwitchesBetweenFullHeightAndTheFormerTopAndHeight) {
  test::TestApplication();
  QWidget window(nullptr, Qt::Window);
  bool wholeScreen = false;
  auto* toggle = new TFullHeightToggle(&window, [&] { return wholeScreen; });
  window.setGeometry(40, 60, 300, 200);
  window.show();
  ASSERT_TRUE(WaitUntil([&] { return window.isVisible(); }));
  const QRect area = window.screen()->availableGeometry();
  const QRect before = window.frameGeometry();

  MaximiseAsTheUserDoes(window);
  ASSERT_TRUE(WaitUntil([&] { return toggle->AtFullHeight(); }));
  test::WaitUntil([] { return false; }, 100); // whatever the window system still has to say
  EXPECT_TRUE(toggle->AtFullHeight());
  EXPECT_FALSE(window.isMaximized());
  EXPECT_EQ(window.frameGeometry(), QRect(before.left(), area.top(), before.width(), area.height()))
      << "full height; the width and place across stay";

  MaximiseAsTheUserDoes(window);
  ASSERT_TRUE(WaitUntil([&] { return window.frameGeometry() == before; }));
  test::WaitUntil([] { return false; }, 100);
  EXPECT_EQ(window.frameGeometry(), before) << "back to the former top and height";
  EXPECT_FALSE(window.isMaximized());

  // With the full-screen view on, full height is the whole screen's.
  wholeScreen = true;
  toggle->Toggle();
  EXPECT_EQ(window.frameGeometry().top(), window.screen()->geometry().top());
  EXPECT_EQ(window.frameGeometry().height(), window.screen()->geometry().height());
}

} // namespace
} // namespace kestrel
