// The viewer's display in the main window: loading, the three modes, zoom, painting, and what
// the window says.

#include "app/options/JpgOptions.h"
#include "app/view/Dpicture.h"
#include "app/view/DrawingPalette.h"
#include "app/view/Sound.h"
#include "imaging/gif/GIFClock.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/jpeg/JpegImage.h"
#include "platform/sound/SoundPlayer.h"
#include "processing/colour/FixedPalettes.h"

#include "ViewTestSupport.h"
#include "imaging/gif/AnimationFiles.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QMenu>
#include <QPaintEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>

namespace kestrel {
namespace {

QString TestData(const char* relative) {
  return QString(KESTREL_TEST_DATA) + "/" + relative;
}

class MainView : public test::MainWindowFixture {
protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    Pictures = Env.Folder("Pictures");
    Played.clear();
    SavedSound = SetSoundHandler([this](const QString& path) { Played << path; });
  }
  void TearDown() override {
    SetSoundHandler(SavedSound);
    MainWindowFixture::TearDown();
  }
  QString Write(const TBitmap& bitmap, const QString& name) {
    const QString path = Pictures + "/" + name;
    test::WritePicture(bitmap, path);
    return path;
  }
  // A shown window with the folder's file loaded.
  TKestrelMain* Show(const QString& path) {
    TKestrelMain* main = Start({path});
    if (!main) return nullptr;
    main->Timer1Timer(); // the first tick: from now on resizes re-apply the mode
    main->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(main));
    main->WaitForPicture();
    QApplication::processEvents();
    return main;
  }
  static QImage Shown(TKestrelMain* main) { return main->PaintBox1->grab().toImage(); }
  static TPixelColor Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
  }
  // Where a key typed now arrives first.
  static QWidget* KeyTarget(TKestrelMain* main) {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : main;
  }
  static void Click(TKestrelMain* main, Qt::MouseButton button) {
    QTest::mouseClick(main->PaintBox1, button, Qt::NoModifier, QPoint(0, 0));
  }

  QString Pictures;
  QStringList Played;
  TSoundHandler SavedSound;
};

TEST_F(MainView, EveryFormatShowsAtItsSizeFittedToTheWindowAndWithTheWindowFitted) {
  const auto pattern = test::PatternBitmap(120, 80);
  const struct {
    const char* Name;
    TImageKind Kind;
    bool Exact;
  } files[] = {{"a.bmp", ikBmp, true},  {"b.png", ikPng, false}, {"c.jpg", ikJpeg, false},
               {"d.tif", ikTiff, true}, {"e.pcx", ikPcx, true},  {"f.tga", ikTga, true}};
  for (const auto& f : files)
    Write(*pattern, f.Name);
  TKestrelMain* main = Show(Pictures + "/a.bmp");
  ASSERT_NE(main, nullptr);
  for (const auto& f : files) {
    SCOPED_TRACE(f.Name);
    const QString path = Pictures + "/" + f.Name;
    main->AcceptFile(path);
    main->FListBox1->FinishReading();
    QApplication::processEvents();
    main->WaitForPicture();
    EXPECT_EQ(main->ImageKind, f.Kind);
    EXPECT_EQ(main->windowTitle(), "(Magn 1:1, Scale 1:1) - " + path);
    EXPECT_EQ(main->PaintBox1->size(), QSize(120, 80));
    const QImage shown = Shown(main);
    if (f.Exact) {
      EXPECT_EQ(Rgb(shown, 0, 0), test::PatternColor(0, 0));
      EXPECT_EQ(Rgb(shown, 119, 79), test::PatternColor(119, 79));
      EXPECT_EQ(Rgb(shown, 33, 44), test::PatternColor(33, 44));
    }

    main->Commands().Action("FitToWindow1")->trigger();
    EXPECT_TRUE(main->Commands().Action("Toolbutton2")->isChecked());
    const QSize box = main->ScrollBox1->size() - QSize(kFrameMargin, kFrameMargin);
    const QSize fitted = main->PaintBox1->size();
    // Enlarged to fill one side of the box, the 3:2 ratio kept.
    EXPECT_TRUE(fitted.width() == box.width() || fitted.height() == box.height());
    EXPECT_LE(std::abs(fitted.width() * 2 - fitted.height() * 3), 3);
    EXPECT_GT(fitted.width(), 120);

    main->Commands().Action("FitToImage1")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(main->Commands().Action("Toolbutton2")->isChecked());
    EXPECT_TRUE(main->Commands().Action("ToolButton3")->isChecked());
    EXPECT_EQ(main->PaintBox1->size(), QSize(120, 80)); // the picture at its own size again
    EXPECT_EQ(main->centralWidget()->height(), kFrameMargin + 200); // beside the file view

    main->Commands().Action("DontScale1")->trigger();
    EXPECT_EQ(main->PaintBox1->size(), QSize(120, 80));
  }
}

TEST_F(MainView, IconsMetafilesAndGifsShowWithTheirOwnPalettes) {
  for (const char* file : {"icon/multi.ico", "metafile/rich.wmf", "metafile/rich.emf",
                           "gif/imagemagick-animation.gif"})
    QFile::copy(TestData(file), Pictures + "/" + QFileInfo(file).fileName());
  Write(*test::IndexedBitmap(30, 20, 16), "still.gif");
  TKestrelMain* main = Show(Pictures + "/multi.ico");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->ImageKind, ikIcon);
  const QSize icon(main->Picture->Width(), main->Picture->Height());
  EXPECT_EQ(main->PaintBox1->size(), icon);
  EXPECT_TRUE(main->ImageDescription().endsWith(" - 16 Color Palette"));
  main->Commands().Action("FitToWindow1")->trigger();
  EXPECT_EQ(main->PaintBox1->size(), icon); // icons are not scaled

  for (const auto& [name, kind] : {std::pair{"rich.wmf", ikWmf}, std::pair{"rich.emf", ikEmf}}) {
    main->LoadPicture(Pictures + "/" + name);
    main->WaitForPicture();
    EXPECT_EQ(main->ImageKind, kind) << name;
    EXPECT_EQ(main->ViewBitmap->Palette(), MakePalette236()) << name;
    const QSize box = main->ScrollBox1->size() - QSize(kFrameMargin, kFrameMargin);
    const QSize fitted = main->PaintBox1->size();
    EXPECT_TRUE(fitted.width() == box.width() || fitted.height() == box.height()) << name;
  }
  main->Commands().Action("DontScale1")->trigger();

  main->LoadPicture(Pictures + "/imagemagick-animation.gif");
  main->WaitForPicture();
  EXPECT_EQ(main->ImageKind, ikGif);
  EXPECT_TRUE(main->View.Animated);
  EXPECT_FALSE(main->View.GifPalettes);
  EXPECT_TRUE(main->ViewBitmap->Palette().IsNull()); // an animation without palettes of its own
  EXPECT_EQ(main->PaintBox1->width(), main->Picture->Width());

  main->LoadPicture(Pictures + "/still.gif");
  main->WaitForPicture();
  EXPECT_FALSE(main->View.Animated);
  EXPECT_EQ(main->ViewBitmap->PixelFormat(), pf8bit); // the first frame, copied
  const auto indexed = test::IndexedBitmap(30, 20, 16);
  EXPECT_EQ(Rgb(Shown(main), 7, 5), indexed->PixelColor(7, 5));
  EXPECT_EQ(main->ImageDescription(), "Editor Image: still  ( 8 bits/pixel ) - 16 Color Palette")
      << main->ImageDescription().toStdString();
}

TEST_F(MainView, AnimationsOnPaletteScreensAreDithered) {
  const test::TScreenDepth screen(8);
  QFile::copy(TestData("gif/imagemagick-animation.gif"), Pictures + "/moving.gif");
  TKestrelMain* main = Show(Pictures + "/moving.gif");
  ASSERT_NE(main, nullptr);
  auto* gif = dynamic_cast<TGIFImage*>(main->Picture->Graphic());
  ASSERT_NE(gif, nullptr);
  EXPECT_TRUE(main->View.Animated);
  EXPECT_TRUE(gif->Dithering());
  EXPECT_FALSE(main->View.GifPalettes); // no transparent frames
}

TEST_F(MainView, TransparentGifsAreDrawnOnTheBackground) {
  QFile::copy(TestData("gif/netpbm-transparent-sorted.gif"), Pictures + "/clear.gif");
  TKestrelMain* main = Show(Pictures + "/clear.gif");
  ASSERT_NE(main, nullptr);
  const auto* gif = dynamic_cast<const TGIFImage*>(main->Picture->Graphic());
  ASSERT_NE(gif, nullptr);
  EXPECT_FALSE(main->View.Animated);
  EXPECT_TRUE(main->View.GifPalettes);
  // The file's transparent colour is #FAF014. Drawn opaque the frame shows it; drawn with
  // "Transparent Bitmap" the frame colour shows there instead.
  TBitmap frame; // the GIF's rendering is dropped when its transparency changes
  frame.Assign(&gif->Images()[0].Bitmap());
  const TPixelColor background = PixelColorOf(ColorToRgb(main->ImageFrameColor));
  for (const bool transparent : {false, true}) {
    if (transparent) main->Commands().Action("Transparent1")->trigger();
    const QImage shown = Shown(main);
    int clear = 0;
    for (int y = 0; y < frame.Height(); ++y)
      for (int x = 0; x < frame.Width(); ++x) {
        const TPixelColor own = frame.PixelColor(x, y);
        const bool through = transparent && own == 0xFAF014;
        clear += through;
        ASSERT_EQ(Rgb(shown, x, y), through ? background : own) << x << "," << y;
      }
    EXPECT_EQ(clear > 0, transparent);
  }
}

TEST_F(MainView, FitToImageSizesTheClientAndRefusesToMaximise) {
  const QString path = Write(*test::PatternBitmap(300, 50), "low.bmp");
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  main->Commands().Action("ToolButton3")->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(main->Commands().Action("FitToImage1")->isChecked());
  EXPECT_EQ(main->centralWidget()->height(), 200 + kFrameMargin);
  EXPECT_EQ(main->centralWidget()->width(),
            main->FileView->width() + main->Splitter2->handleWidth() + 300 + kFrameMargin + 2);
  main->Commands().Action("FileSelector1")->trigger(); // hide the file view
  QApplication::processEvents();
  EXPECT_EQ(main->centralWidget()->height(), kFrameMargin + 50 + 2);
  EXPECT_EQ(main->centralWidget()->width(), 300 + kFrameMargin + 2);
  main->showMaximized();
  EXPECT_TRUE(test::WaitUntil([main] { return !main->isMaximized(); }, 3000));
  EXPECT_EQ(main->centralWidget()->width(), 300 + kFrameMargin + 2);
}

TEST_F(MainView, ClicksZoomThroughTheScaleListAndTheCaptionFollows) {
  const QString path = Write(*test::PatternBitmap(64, 48), "z.bmp");
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  Click(main, Qt::RightButton);
  EXPECT_EQ(main->windowTitle(), "(Magn 1:1, Scale 1:2) - " + path);
  EXPECT_EQ(main->ViewBitmap->Width(), 32);
  EXPECT_EQ(main->PaintBox1->size(), QSize(32, 24));
  for (int i = 0; i < 5; ++i) // out to 1:8 and past it
    Click(main, Qt::RightButton);
  EXPECT_EQ(main->JpgOptions->ScaleIndex(), 7);
  EXPECT_EQ(main->windowTitle(), "(Magn 1:1, Scale 1:8) - " + path);
  EXPECT_EQ(main->ViewBitmap->Width(), 8);

  for (int i = 0; i < 4; ++i) // in to 2:1
    Click(main, Qt::LeftButton);
  EXPECT_EQ(main->windowTitle(), "(Magn 2:1, Scale 1:1) - " + path);
  EXPECT_EQ(main->ViewBitmap->Width(), 64); // full size again, shown magnified
  EXPECT_EQ(main->PaintBox1->size(), QSize(128, 96));
  const QImage shown = Shown(main);
  for (const QPoint p : {QPoint(0, 0), QPoint(17, 9), QPoint(63, 47)})
    for (int d = 0; d < 4; ++d) // each picture pixel is a 2 x 2 square
      EXPECT_EQ(Rgb(shown, 2 * p.x() + d % 2, 2 * p.y() + d / 2), test::PatternColor(p.x(), p.y()));
  for (int i = 0; i < 5; ++i) // in to 16:1 and past it
    Click(main, Qt::LeftButton);
  EXPECT_EQ(main->windowTitle(), "(Magn 16:1, Scale 1:1) - " + path);
  EXPECT_EQ(main->PaintBox1->size(), QSize(64 * 16, 48 * 16));
  // Zoom works only in Normal mode.
  main->Commands().Action("FitToWindow1")->trigger();
  Click(main, Qt::RightButton);
  EXPECT_EQ(main->JpgOptions->ScaleIndex(), 0);
}

TEST_F(MainView, FitToImageKeepsTheWindowOnTheScreenAndAPictureTooLargeScrolls) {
  const QString path = Write(*test::PatternBitmap(1500, 1200), "large.bmp");
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  main->Commands().Action("ToolButton3")->trigger();
  QApplication::processEvents();
  const QRect screen = main->screen()->availableGeometry();
  EXPECT_LE(main->frameGeometry().width(), screen.width());
  EXPECT_LE(main->frameGeometry().height(), screen.height());
  EXPECT_EQ(main->FileView->width(), 124);
  EXPECT_EQ(main->PaintBox1->size(), QSize(1500, 1200));
  QScrollBar* across = main->ScrollBox1->horizontalScrollBar();
  ASSERT_TRUE(across->isVisible() && main->ScrollBox1->verticalScrollBar()->isVisible());
  across->setValue(600);
  QApplication::processEvents();
  const QImage visible = main->ScrollBox1->viewport()->grab().toImage();
  EXPECT_EQ(Rgb(visible, 3, 4), test::PatternColor(603, 4));
}

TEST_F(MainView, FitToImageGivesTheFileViewBackAtItsOwnWidth) {
  const QString path = Write(*test::PatternBitmap(40, 30), "small.bmp");
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  main->Commands().Action("ToolButton3")->trigger();
  QApplication::processEvents();
  const int own = main->FileView->width();
  main->Commands().Action("FileSelector1")->trigger(); // hidden: the window fits the picture alone
  QApplication::processEvents();
  ASSERT_EQ(main->centralWidget()->width(), 40 + kFrameMargin + 2);
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  QTest::keyClick(KeyTarget(main), Qt::Key_Return); // and back
  QApplication::processEvents();
  EXPECT_EQ(main->FileView->width(), own);
  EXPECT_EQ(main->centralWidget()->width(),
            own + main->Splitter2->handleWidth() + 40 + kFrameMargin + 2);
}

TEST_F(MainView, APaintShowsTheScrolledPartOfTheCopy) {
  const QString path = Write(*test::PatternBitmap(1500, 1400), "big.bmp");
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  QScrollBar* across = main->ScrollBox1->horizontalScrollBar();
  QScrollBar* down = main->ScrollBox1->verticalScrollBar();
  ASSERT_TRUE(across->isVisible() && down->isVisible());
  across->setValue(700);
  down->setValue(900);
  QApplication::processEvents();
  ASSERT_EQ(across->value(), 700);
  ASSERT_EQ(down->value(), 900);
  const QImage visible = main->ScrollBox1->viewport()->grab().toImage();
  for (const QPoint p : {QPoint(0, 0), QPoint(5, 7), QPoint(100, 60)})
    EXPECT_EQ(Rgb(visible, p.x(), p.y()), test::PatternColor(700 + p.x(), 900 + p.y()));
  // At 4:1 the same point of the view shows the pixel of a quarter of the position.
  main->JpgOptions->cbScale->setCurrentIndex(2);
  across->setValue(2000);
  down->setValue(1000);
  QApplication::processEvents();
  ASSERT_EQ(main->PaintBox1->size(), QSize(6000, 5600));
  ASSERT_EQ(across->value(), 2000);
  const QImage magnified = main->ScrollBox1->viewport()->grab().toImage();
  EXPECT_EQ(Rgb(magnified, 3, 2), test::PatternColor(500, 250));
  EXPECT_EQ(Rgb(magnified, 9, 6), test::PatternColor(502, 251));
}

TEST_F(MainView, AFailedLoadLeavesAnEmptyViewSilentlyAndTheNextFileStillLoads) {
  test::WriteFile(Pictures + "/a.bmp", "BM damaged");
  Write(*test::PatternBitmap(20, 10), "b.bmp");
  TKestrelMain* main = Show(Pictures + "/a.bmp");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->ImageKind, ikNone);
  EXPECT_EQ(main->Picture->Graphic(), nullptr);
  EXPECT_EQ(main->PaintBox1->size(), QSize(1, 1));
  EXPECT_TRUE(Messages.empty());
  EXPECT_EQ(main->CurrentPicture, Pictures + "/a.bmp");
  main->Commands().Action("ToolButton5")->trigger(); // file view hidden: Down steps
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  QTest::keyClick(KeyTarget(main), Qt::Key_Down);
  main->WaitForPicture();
  EXPECT_EQ(main->ImageKind, ikBmp);
  EXPECT_EQ(main->PaintBox1->size(), QSize(20, 10));

  // Broken icons, metafiles and GIFs, in every mode: the same empty view, and no box.
  for (const char* file : {"icon/multi.ico", "metafile/rich.wmf", "metafile/rich.emf",
                           "gif/netpbm-plain.gif", "gif/imagemagick-animation.gif"}) {
    QFile whole(TestData(file));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly)) << file;
    // These readers show what a cut-short file holds; a broken header is refused.
    const QString cut = Pictures + "/broken-" + QFileInfo(file).fileName();
    test::WriteFile(cut, QByteArray(4, '\xFF') + whole.read(40).mid(4));
    for (const char* mode : {"DontScale1", "FitToWindow1", "FitToImage1"}) {
      main->Commands().Action(mode)->trigger();
      main->LoadPicture(Pictures + "/b.bmp");
      main->WaitForPicture();
      ASSERT_EQ(main->ImageKind, ikBmp);
      main->LoadPicture(cut);
      main->WaitForPicture();
      EXPECT_EQ(main->ImageKind, ikNone) << file << " " << mode;
      EXPECT_EQ(main->Picture->Graphic(), nullptr) << file << " " << mode;
      EXPECT_EQ(main->PaintBox1->size(), QSize(1, 1)) << file << " " << mode;
    }
  }
  EXPECT_TRUE(Messages.empty()) << Messages.front().Text.toStdString();
}

TEST_F(MainView, WithNoPictureShownTheCaptionNamesNoFile) {
  const QString path = Write(*test::PatternBitmap(20, 10), "named.bmp");
  test::WriteFile(Pictures + "/broken.bmp", "BM damaged");
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(main->windowTitle(), "(Magn 1:1, Scale 1:1) - " + path);
  main->LoadPicture(Pictures + "/broken.bmp");
  main->WaitForPicture();
  EXPECT_EQ(main->windowTitle(), "Kestrel!");
  main->LoadPicture(path);
  main->WaitForPicture();
  ASSERT_EQ(main->windowTitle(), "(Magn 1:1, Scale 1:1) - " + path);
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  ASSERT_TRUE(main->Label1->text().startsWith("20 x 10 "));
  QTest::keyClick(KeyTarget(main), Qt::Key_Escape);
  EXPECT_EQ(main->windowTitle(), "Kestrel!");
  EXPECT_FALSE(main->Label1->text().contains("20 x 10")) << main->Label1->text().toStdString();
}

TEST_F(MainView, TheFolderSizeCountsEveryFileNamesWithoutADotToo) {
  test::WriteFile(Pictures + "/README", QByteArray(1000, 'x'));
  test::WriteFile(Pictures + "/a.bmp", QByteArray(24, 'x'));
  test::WriteFile(Env.Folder("Pictures/sub") + "/inside.bmp", QByteArray(500, 'x'));
  TKestrelMain* main = Start({Pictures});
  ASSERT_NE(main, nullptr);
  QMenu* popup = main->Commands().Menu("PopupMenu2");
  popup->popup(QPoint(0, 0));
  popup->close();
  EXPECT_EQ(main->Commands().Action("Size2")->text(), "Size: 1 KB");
}

TEST_F(MainView, SoundsPlayAndUnknownFilesShowNothingButTheHolderKeepsItsPicture) {
  const QString path = Write(*test::PatternBitmap(20, 10), "a.bmp");
  test::WriteFile(Pictures + "/ding.wav", "RIFF");
  test::WriteFile(Pictures + "/notes.txt", "text");
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  const QString caption = main->windowTitle();
  const TGraphic* graphic = main->Picture->Graphic();
  main->LoadPicture(Pictures + "/ding.wav");
  main->WaitForPicture();
  EXPECT_EQ(Played, QStringList{Pictures + "/ding.wav"});
  EXPECT_EQ(main->ImageKind, ikBmp);
  EXPECT_EQ(main->windowTitle(), caption);
  EXPECT_EQ(main->CurrentPicture, path);
  EXPECT_EQ(Rgb(Shown(main), 3, 4), test::PatternColor(3, 4));

  main->LoadPicture(Pictures + "/notes.txt");
  main->WaitForPicture();
  EXPECT_EQ(main->ImageKind, ikNone);
  EXPECT_EQ(main->Picture->Graphic(), graphic);
  EXPECT_EQ(main->PaintBox1->size(), QSize(1, 1));
  EXPECT_TRUE(Messages.empty());
}

TEST_F(MainView, SpaceDescribesThePictureAndEscClearsIt) {
  const QString path = Write(*test::PatternBitmap(20, 10), "holiday.bmp");
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  QTest::keyPress(KeyTarget(main), Qt::Key_Space);
  EXPECT_EQ(main->windowTitle(), "Editor Image: holiday  ( 24 bits/pixel ) - No Palette");
  QTest::keyRelease(KeyTarget(main), Qt::Key_Space);
  EXPECT_EQ(main->windowTitle(), "(Magn 1:1, Scale 1:1) - " + path);
  QTest::keyClick(KeyTarget(main), Qt::Key_Escape);
  EXPECT_EQ(main->ImageKind, ikNone);
  EXPECT_EQ(main->Picture->Graphic(), nullptr);
  EXPECT_EQ(main->PaintBox1->size(), QSize(1, 1));
  QTest::keyPress(KeyTarget(main), Qt::Key_Space);
  EXPECT_EQ(main->windowTitle(), "No Image is Loaded");
  QTest::keyRelease(KeyTarget(main), Qt::Key_Space);
}

TEST_F(MainView, PaletteScreensSynthesizeAPaletteOrReduceThePicture) {
  const test::TScreenDepth screen(8);
  const QString path = Write(*test::PatternBitmap(40, 30), "deep.bmp");
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(main->View.Synthesized);
  EXPECT_EQ(main->ImageDescription(),
            "Editor Image: deep  ( 24 bits/pixel ) - 256 Color Synthesized Palette");
  EXPECT_EQ(Rgb(Shown(main), 5, 6), test::PatternColor(5, 6)); // the pixels are kept
  main->PreservePixels = true;
  main->LoadPicture(path);
  main->WaitForPicture();
  EXPECT_TRUE(main->ImageDescription().endsWith("( 8 bits/pixel ) - 256 Color Synthesized Palette"))
      << main->ImageDescription().toStdString();
  EXPECT_TRUE(Messages.empty());
}

TEST_F(MainView, JpegsAreDecodedAtTheScaleShownAndReRenderedWhenTheOptionsChange) {
  const QString path = Write(*test::PatternBitmap(160, 120), "photo.jpg");
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  auto* jpeg = dynamic_cast<TJPEGImage*>(main->Picture->Graphic());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_TRUE(main->JpgOptions->cbPixelFormat->isEnabled());
  Click(main, Qt::RightButton);
  Click(main, Qt::RightButton);
  EXPECT_EQ(jpeg->Scale(), jsQuarter);
  EXPECT_EQ(jpeg->Width(), 40); // decoded at 1:4, not halved
  EXPECT_EQ(main->ViewBitmap->Width(), 40);
  EXPECT_EQ(main->windowTitle(), "(Magn 1:1, Scale 1:4) - " + path);
  // A new load at this scale decodes at it from the start.
  main->LoadPicture(path);
  main->WaitForPicture();
  jpeg = dynamic_cast<TJPEGImage*>(main->Picture->Graphic());
  EXPECT_EQ(jpeg->Scale(), jsQuarter);
  main->JpgOptions->cbPixelFormat->setCurrentIndex(1);
  EXPECT_EQ(main->ViewBitmap->PixelFormat(), pf8bit);
  main->Commands().Action("FitToWindow1")->trigger();
  EXPECT_EQ(jpeg->Scale(), jsFullSize);
  EXPECT_EQ(jpeg->Width(), 160);
  main->JpgOptions->cbColorSpace->setCurrentIndex(1); // grey, fitted at full size
  QApplication::processEvents();
  EXPECT_EQ(jpeg->Scale(), jsFullSize);
  EXPECT_TRUE(jpeg->Grayscale());
  const QImage grey = Shown(main);
  const QRgb c = grey.pixel(grey.width() / 2, grey.height() / 2);
  EXPECT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
}

// A PNG whose ancillary text chunk has a wrong checksum: libpng warns and reads on.
QByteArray WithDamagedTextChunk(const QByteArray& png) {
  const qsizetype idat = png.indexOf("IDAT") - 4;
  QByteArray chunk;
  chunk.append(QByteArray::fromHex("00000005"));
  chunk.append("tEXta\0bcd", 9);
  chunk.append(QByteArray::fromHex("00000000")); // not the CRC
  return png.left(idat) + chunk + png.mid(idat);
}

TEST_F(MainView, PngWarningsShowTheirBoxAndThePictureStillLoads) {
  const QString path = Write(*test::PatternBitmap(12, 8), "warned.png");
  test::WriteFile(path, WithDamagedTextChunk(test::FileBytes(path)));
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->ImageKind, ikPng);
  ASSERT_TRUE(test::WaitUntil([this] { return !Messages.empty(); }, 3000));
  EXPECT_EQ(Messages[0].Caption, "PNG Error");
  EXPECT_EQ(Messages[0].Icon, TMsgIcon::Warning);
  EXPECT_FALSE(Messages[0].Text.isEmpty());
}

// A format of its own, registered by the test.
class TTestGraphic : public TSound {};

TEST_F(MainView, TheFileMaskComesFromThePictureRegistry) {
  RegisterViewerFormats(); // the viewer's own entries come before any class registered later
  TPicture::RegisterFileFormat<TTestGraphic>("zzq", "Test pictures");
  TKestrelMain* main = Start();
  // Every refresh of the list takes the mask afresh: it is read while the format is known.
  const QString mask = main ? main->FListBox1->Mask() : QString();
  TPicture::UnregisterGraphicClass(typeid(TTestGraphic));
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(mask.startsWith("*.bmp;"));
  for (const char* entry : {"*.jpg;", "*.jpeg;", "*.jpe;", "*.png;", "*.tif;", "*.tiff;", "*.pcx;",
                            "*.pcc;", "*.dcx;", "*.tga;", "*.vst;", "*.afi;", "*.wav;"})
    EXPECT_TRUE(mask.contains(entry)) << entry;
  EXPECT_TRUE(mask.contains("*.zzq;")) << mask.toStdString(); // any registered format
}

TEST_F(MainView, EverySpellingOfAnExtensionIsListedOnce) {
  for (const char* name : {"a.tif", "b.tiff", "c.jpeg", "d.jpe", "e.jpg", "f.txt"})
    test::WriteFile(Pictures + "/" + name, "x");
  TKestrelMain* main = Start({Pictures});
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(test::Texts(*main->FListBox1),
            QStringList({"a.tif", "b.tiff", "c.jpeg", "d.jpe", "e.jpg"}));
}

} // namespace
} // namespace kestrel

namespace kestrel {
namespace {

// The region of each paint of a widget.
class TPaintLog : public QObject {
public:
  explicit TPaintLog(QWidget* widget) : QObject(widget) { widget->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) Painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
  QRegion Painted;
};

// The painters' clock for the life of the object.
struct TVirtualTime {
  TVirtualTime() { TGIFClock::SetDefault(Clock); }
  ~TVirtualTime() { TGIFClock::SetDefault(nullptr); }
  std::shared_ptr<TGIFVirtualClock> Clock = std::make_shared<TGIFVirtualClock>();
};

} // namespace

TEST_F(MainView, AnimationsPlayInEveryModeRepaintingOnlyWhatAFrameChanged) {
  using giftest::Solid;
  const TVirtualTime time;
  const QString path = Pictures + "/moving.gif";
  const std::vector<uint8_t> bytes = giftest::AnimationBytes(
      60, 40, {Solid(0, 0, 60, 40, 0), Solid(10, 8, 12, 6, 1, 0, 2), Solid(31, 21, 9, 7, 2, 0, 3)},
      0);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
  file.close();
  Write(*test::PatternBitmap(20, 10), "still.bmp");
  TKestrelMain* main = Show(path);
  ASSERT_NE(main, nullptr);
  auto* gif = dynamic_cast<TGIFImage*>(main->Picture->Graphic());
  ASSERT_NE(gif, nullptr);
  EXPECT_TRUE(gif->Animating());
  TPaintLog* log = new TPaintLog(main->PaintBox1);
  int frame = 0; // of three, 120 ms each

  const auto stepFrames = [&](const char* mode) {
    SCOPED_TRACE(mode);
    for (int step = 0; step < 4; ++step) {
      QApplication::processEvents();
      TBitmap before;
      before.Assign(main->ViewBitmap.get());
      log->Painted = {};
      time.Clock->Advance(120 * 1000);
      frame = (frame + 1) % 3;
      QApplication::processEvents();
      TBitmap after;
      after.Assign(main->ViewBitmap.get());
      // What changed was repainted, and nothing like the whole picture.
      const int m = main->NormalMode() ? main->Magnification() : 1;
      int changed = 0;
      for (int y = 0; y < after.Height(); ++y)
        for (int x = 0; x < after.Width(); ++x)
          if (after.PixelColor(x, y) != before.PixelColor(x, y)) {
            ++changed;
            EXPECT_TRUE(log->Painted.contains(QPoint(x * m, y * m))) << x << "," << y;
          }
      EXPECT_GT(changed, 0) << step;
      if (frame != 0) {
        EXPECT_LT(log->Painted.boundingRect().width(), main->PaintBox1->width()) << step;
      }
      // The pixels are those of a copy made anew.
      main->View.ForceRebuild = main->View.ViewStale = true;
      if (main->FitWindowMode())
        main->FitToWindow();
      else
        main->RebuildView();
      EXPECT_EQ(test::SizeAndPixels(after), test::SizeAndPixels(*main->ViewBitmap)) << step;
    }
  };
  stepFrames("at its own size");
  Click(main, Qt::RightButton);
  ASSERT_EQ(main->View.Copy.CopyReduction, 2);
  stepFrames("reduced to 1:2");
  Click(main, Qt::LeftButton);
  main->Commands().Action("FitToWindow1")->trigger();
  stepFrames("fitted to the window");
  main->Commands().Action("FitToImage1")->trigger();
  stepFrames("with the window fitted");

  // Another file stops the animation at once, before it is even read.
  main->LoadPicture(Pictures + "/still.bmp");
  EXPECT_FALSE(gif->Animating());
  EXPECT_EQ(time.Clock->Pending(), 0);
  main->WaitForPicture();
  EXPECT_EQ(main->ImageKind, ikBmp);
}

} // namespace kestrel
