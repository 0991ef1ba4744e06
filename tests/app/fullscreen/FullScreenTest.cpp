// Full screen: the viewing area moves into a window over the whole screen and comes back; Enter
// brings the file view in and out; Esc closes on release, leaving the picture and giving the main
// window back exactly as it was; the title strip and the pop-up menu.

#include "app/fullscreen/BigScreen.h"

#include "app/view/ViewTestSupport.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QMenu>
#include <QScrollArea>
#include <QSplitter>
#include <QTest>

namespace kestrel {
namespace {

class FullScreen : public test::MainWindowFixture {
protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    Pictures = Env.Folder("Pictures");
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
      test::WritePicture(*test::PatternBitmap(40, 30), Pictures + "/" + name);
  }
  TKestrelMain* Open(const QString& file) {
    TKestrelMain* main = Start({Pictures + "/" + file});
    if (!main) return nullptr;
    main->Timer1Timer();
    main->WaitForPicture();
    main->show();
    main->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(main));
    return main;
  }
  static TBigScreen* Enter(TKestrelMain* main) {
    main->Commands().Action("FullScreen1")->trigger();
    TBigScreen* screen = main->BigScreen;
    if (screen) {
      screen->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(screen));
    }
    return screen;
  }
  // Where a key typed now arrives first.
  static QWidget* KeyTarget(QWidget* window) {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : window;
  }

  QString Pictures;
};

TEST_F(FullScreen, TheViewingAreaMovesInAndEnterBringsTheFileViewInOutAndIn) {
  TKestrelMain* main = Open("b.bmp");
  ASSERT_NE(main, nullptr);
  TBigScreen* screen = Enter(main);
  ASSERT_NE(screen, nullptr);
  EXPECT_FALSE(main->isVisible());
  EXPECT_TRUE(screen->isFullScreen());
  EXPECT_EQ(main->ScrollBox1->window(), screen);
  EXPECT_EQ(main->ScrollBox1->frameStyle(), QFrame::NoFrame);
  EXPECT_TRUE(main->FileView->isHidden());
  EXPECT_EQ(screen->Title()->Text(), main->windowTitle());

  QTest::keyClick(KeyTarget(screen), Qt::Key_Return);
  EXPECT_TRUE(screen->HoldsFileView());
  EXPECT_TRUE(main->FileView->isVisible());
  EXPECT_EQ(main->FileView->window(), screen);
  EXPECT_EQ(screen->Splitter()->handleWidth(), 4);
  EXPECT_EQ(main->FListBox1->SelectedName(), "b.bmp");
  QTest::keyClick(KeyTarget(screen), Qt::Key_Return);
  EXPECT_TRUE(main->FileView->isHidden());
  QTest::keyClick(KeyTarget(screen), Qt::Key_Return);
  EXPECT_TRUE(main->FileView->isVisible());

  // With the file view hidden, Down steps to the next picture.
  QTest::keyClick(KeyTarget(screen), Qt::Key_Return);
  QTest::keyClick(KeyTarget(screen), Qt::Key_Down);
  main->WaitForPicture();
  EXPECT_EQ(main->CurrentPicture, Pictures + "/c.bmp");
  EXPECT_EQ(screen->Caption(), main->windowTitle());
}

TEST_F(FullScreen, EscClosesOnReleaseAndGivesTheWindowBackAsItWas) {
  TKestrelMain* main = Open("a.bmp");
  ASSERT_NE(main, nullptr);
  main->setGeometry(120, 90, 640, 400);
  main->Commands().Action("ToolButton5")->trigger(); // the file view hidden
  const QRect before = main->geometry();
  TBigScreen* screen = Enter(main);
  ASSERT_NE(screen, nullptr);
  QTest::keyClick(KeyTarget(screen), Qt::Key_Return); // the file view in and shown
  ASSERT_TRUE(main->FileView->isVisible());

  QTest::keyPress(KeyTarget(screen), Qt::Key_Escape);
  EXPECT_EQ(main->BigScreen, screen); // not on the press
  EXPECT_EQ(main->ImageKind, 2);      // and the picture stays
  QTest::keyRelease(KeyTarget(screen), Qt::Key_Escape);
  EXPECT_EQ(main->BigScreen, nullptr);
  EXPECT_TRUE(main->isVisible());
  EXPECT_EQ(main->geometry(), before);
  EXPECT_TRUE(main->FileView->isHidden());
  EXPECT_FALSE(main->Commands().Action("FileSelector1")->isChecked());
  EXPECT_EQ(main->ScrollBox1->window(), main);
  EXPECT_EQ(main->FileView->window(), main);
  EXPECT_EQ(main->ScrollBox1->frameStyle(), QFrame::Box | QFrame::Plain);
  EXPECT_EQ(main->ImageKind, 2);

  // Esc in the main window itself clears the picture, as before.
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  QTest::keyClick(KeyTarget(main), Qt::Key_Escape);
  EXPECT_EQ(main->ImageKind, 0);
}

TEST_F(FullScreen, ClosingOnTheLastFileSelectsIt) {
  TKestrelMain* main = Open("c.bmp");
  ASSERT_NE(main, nullptr);
  TBigScreen* screen = Enter(main);
  ASSERT_NE(screen, nullptr);
  QTest::mouseClick(screen->Title()->Button(), Qt::LeftButton);
  EXPECT_EQ(main->BigScreen, nullptr);
  EXPECT_EQ(main->FListBox1->ItemIndex(), 2);
  EXPECT_EQ(main->FListBox1->SelectedName(), "c.bmp");
}

TEST_F(FullScreen, TheTitleStripAndThePopUpMenu) {
  TKestrelMain* main = Open("a.bmp");
  ASSERT_NE(main, nullptr);
  TBigScreen* screen = Enter(main);
  ASSERT_NE(screen, nullptr);
  TFlatPanel* title = screen->Title();
  EXPECT_EQ(title->height(), title->Button()->height());
  EXPECT_EQ(title->Button()->width(), title->Button()->height());
  EXPECT_EQ(title->Button()->text(), "X");

  // A double-click moves the strip to the bottom, without its text, and back.
  QTest::mouseDClick(title, Qt::LeftButton, {}, QPoint(title->width() / 2, 2));
  EXPECT_FALSE(screen->TitleAtTop());
  EXPECT_EQ(title->Text(), "");
  QApplication::processEvents();
  EXPECT_GT(title->y(), screen->height() / 2);

  // "Hide Title" twice gives the strip back where it was.
  main->Commands().Action("HideTitle1")->trigger();
  EXPECT_FALSE(screen->ShowTitle());
  main->Commands().Action("HideTitle1")->trigger();
  EXPECT_TRUE(screen->ShowTitle());
  EXPECT_FALSE(screen->TitleAtTop());

  // Ctrl-click on the background opens the pop-up, which checks File Selector once the file view
  // is in; Ctrl-click on the close button brings it in.
  QMenu* popup = main->Commands().Menu("PopupMenu3");
  QTest::mouseClick(main->PaintBox2, Qt::LeftButton, Qt::ControlModifier, QPoint(1, 1));
  EXPECT_TRUE(popup->isVisible());
  EXPECT_FALSE(main->Commands().Action("FileSelector2")->isChecked());
  popup->hide();
  QTest::mouseClick(title->Button(), Qt::LeftButton, Qt::ControlModifier);
  EXPECT_TRUE(main->FileView->isVisible());
  EXPECT_EQ(main->BigScreen, screen);
  QTest::mouseClick(main->PaintBox2, Qt::LeftButton, Qt::ControlModifier, QPoint(1, 1));
  EXPECT_TRUE(main->Commands().Action("FileSelector2")->isChecked());
  popup->hide();

  main->Commands().Action("Exit2")->trigger();
  EXPECT_EQ(main->BigScreen, nullptr);
  EXPECT_TRUE(main->isVisible());
}

} // namespace
} // namespace kestrel
