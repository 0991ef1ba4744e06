// The editing tools driven as a user drives them: the menu items and the tools window's buttons,
// and the mouse on the picture. Shapes are previews until "Do It!" (or the next shape) writes
// them; a crop dragged either way cuts the same area, Undo brings back the uncut picture, and a
// second crop alternates the two picture bitmaps; a paste floats in a bitmap of its own; text
// lands at the selection's corner; picked colours reach the right slot; and the zoom bar keeps
// the view's centre, zooming out included.

#include "app/editing/EditingTools.h"
#include "app/canvas/NewCanvasDlg.h"
#include "app/clipboard/PictureClipboard.h"
#include "app/editing/PictureEditor.h"
#include "app/paintbox/ColorDlg.h"
#include "app/view/Dpicture.h"
#include "app/view/ImageKind.h"

#include "app/view/PictureWindowFixture.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

namespace kestrel {
namespace {

constexpr TColor kWhite = RgbColor(255, 255, 255);
constexpr TColor kRed = RgbColor(255, 0, 0);

class EditingTools : public test::PictureWindowFixture {
protected:
  // A white picture with a black square at (10, 10)..(19, 19).
  TKestrelMain* Show(int width = 40, int height = 30) {
    TBitmap picture(width, height, pf24bit);
    picture.Canvas().Brush.Color = kWhite;
    picture.Canvas().FillRect({0, 0, width, height});
    picture.Canvas().Brush.Color = clBlack;
    picture.Canvas().FillRect({10, 10, 20, 20});
    main = ShowPicture(picture);
    main->show();
    return main;
  }
  void Menu(const char* item) { main->Commands().Action(item)->trigger(); }
  QToolButton* Button(const char* name) {
    return main->EditingTools->findChild<QToolButton*>(name);
  }
  void Mouse(QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    const QPointF at(x * Zoom() + 0.5, y * Zoom() + 0.5);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, at, main->PaintBox1->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(main->PaintBox1, &event);
  }
  void Drag(int x0, int y0, int x1, int y1) {
    Mouse(QEvent::MouseButtonPress, x0, y0);
    Mouse(QEvent::MouseMove, (x0 + x1) / 2, (y0 + y1) / 2);
    Mouse(QEvent::MouseMove, x1, y1);
    Mouse(QEvent::MouseButtonRelease, x1, y1);
  }
  void DoIt() { main->EditingTools->DoItButton->click(); }
  void Undo() { main->EditingTools->UndoButton->click(); }
  int Zoom() const { return main->Magnification(); }
  TColor At(const TBitmap& b, int x, int y) { return ColorOfPixel(b.PixelColor(x, y)); }

  TKestrelMain* main = nullptr;
};

TEST_F(EditingTools, ShapesArePreviewsUntilDoItOrTheNextShapeAndTheEraserKeepsMarksOpen) {
  ASSERT_NE(Show(), nullptr);
  Menu("LineDraw1");
  EXPECT_TRUE(main->EditingTools->isVisible());
  EXPECT_EQ(main->EditingTools->windowTitle(), "Line Draw");
  Drag(2, 2, 30, 2);
  EXPECT_TRUE(main->ImageModified);
  EXPECT_EQ(main->windowTitle(), "Modified: a.bmp");
  // Only the overlay holds the line so far.
  EXPECT_EQ(At(*main->ViewBitmap, 30, 2), kWhite);
  EXPECT_EQ(At(*main->OverlayBitmap, 2, 2), clBlack);
  EXPECT_EQ(At(*main->OverlayBitmap, 30, 2), clBlack);

  // A rectangle started now writes the line first.
  Button("RectButton")->click();
  Drag(25, 20, 35, 27);
  EXPECT_EQ(At(*main->ViewBitmap, 30, 2), clBlack);
  EXPECT_EQ(At(*main->ViewBitmap, 25, 20), kWhite);
  DoIt();
  EXPECT_EQ(At(*main->ViewBitmap, 25, 20), clBlack);
  EXPECT_EQ(At(*main->ViewBitmap, 35, 27), clBlack);
  EXPECT_EQ(At(*main->ViewBitmap, 30, 24), kWhite); // an outline, not filled

  // A pen stroke, then the eraser over part of it: the stroke stays open, and the erased part
  // shows the picture again.
  Menu("Pen1");
  Drag(2, 25, 12, 25);
  Button("EraseButton")->click();
  EXPECT_FALSE(main->Commands().Action("Pen1")->isChecked()); // the eraser has no menu item
  Mouse(QEvent::MouseButtonPress, 4, 25);
  Mouse(QEvent::MouseButtonRelease, 4, 25);
  EXPECT_EQ(At(*main->ViewBitmap, 10, 25), kWhite);
  EXPECT_EQ(At(*main->OverlayBitmap, 4, 25), kWhite);
  EXPECT_EQ(At(*main->OverlayBitmap, 10, 25), clBlack);
  // The tools window's Undo drops what is open.
  Undo();
  Menu("Pen1");
  DoIt();
  EXPECT_EQ(At(*main->ViewBitmap, 10, 25), kWhite);
}

TEST_F(EditingTools, AdjustMovesTheShapeBeforeItIsWritten) {
  ASSERT_NE(Show(), nullptr);
  Menu("Rectangle1");
  Drag(2, 2, 8, 8);
  ASSERT_TRUE(Button("AdjustButton")->isEnabled());
  Button("AdjustButton")->click();
  EXPECT_EQ(main->EditingTools->windowTitle(), "Rectangle : Adjust");
  Drag(5, 5, 25, 7); // inside: the whole shape moves by (20, 2)
  EXPECT_EQ(At(*main->OverlayBitmap, 22, 4), clBlack);
  EXPECT_EQ(At(*main->OverlayBitmap, 2, 2), kWhite);
  Drag(28, 10, 33, 12); // the bottom-right corner grows it
  DoIt();
  EXPECT_EQ(At(*main->ViewBitmap, 22, 4), clBlack);
  EXPECT_EQ(At(*main->ViewBitmap, 33, 12), clBlack);
  EXPECT_EQ(At(*main->ViewBitmap, 28, 10), kWhite);
  EXPECT_EQ(At(*main->ViewBitmap, 2, 2), kWhite);
}

TEST_F(EditingTools, PenWidthStepsSaturateThroughTheWidthPanel) {
  ASSERT_NE(Show(), nullptr);
  Menu("Pen1");
  auto press = [&](Qt::MouseButton button) {
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(main->EditingTools->Bx, &event);
  };
  for (int i = 0; i < 8; ++i)
    press(Qt::LeftButton);
  EXPECT_EQ(PenWidthOfStep(main->Editor->Settings.PenStep), 16);
  Drag(0, 15, 39, 15);
  DoIt();
  int thick = 0;
  for (int y = 0; y < 30; ++y)
    thick += At(*main->ViewBitmap, 30, y) == clBlack;
  EXPECT_NEAR(thick, 16, 1);
  for (int i = 0; i < 8; ++i)
    press(Qt::RightButton);
  EXPECT_EQ(PenWidthOfStep(main->Editor->Settings.PenStep), 1);
}

TEST_F(EditingTools, CropBackwardsUndoAndAlternation) {
  ASSERT_NE(Show(), nullptr);
  const auto original = test::SizeAndPixels(*main->ViewBitmap);
  Menu("Crop1");
  Drag(25, 22, 5, 8); // bottom-right to top-left
  EXPECT_TRUE(Button("AdjustButton")->isChecked());
  DoIt();
  EXPECT_EQ(main->ImageKind, ikCrop);
  ASSERT_EQ(main->DisplayedBitmap(), main->CropBitmap.get());
  EXPECT_EQ(main->CropBitmap->Width(), 21);
  EXPECT_EQ(main->CropBitmap->Height(), 15);
  EXPECT_EQ(At(*main->CropBitmap, 5, 2), clBlack);   // picture (10, 10)
  EXPECT_EQ(At(*main->CropBitmap, 4, 2), kWhite);    // picture (9, 10)
  EXPECT_EQ(At(*main->CropBitmap, 14, 11), clBlack); // picture (19, 19)
  EXPECT_EQ(At(*main->CropBitmap, 15, 11), kWhite);

  Undo();
  EXPECT_EQ(main->ImageKind, ikBmp);
  EXPECT_EQ(test::SizeAndPixels(*main->DisplayedBitmap()), original);
  EXPECT_EQ(NormalizedCorners(main->Editor->Corners()), (TCorners{5, 8, 25, 22}));
  EXPECT_TRUE(Button("AdjustButton")->isChecked());

  // Dragged the other way the same area comes out; a second crop goes to the other bitmap.
  Mouse(QEvent::MouseButtonPress, 0, 0, Qt::RightButton); // lets "Adjust" go
  Drag(5, 8, 25, 22);
  DoIt();
  EXPECT_EQ(main->CropBitmap->Width(), 21);
  const auto firstCut = test::SizeAndPixels(*main->CropBitmap);
  Mouse(QEvent::MouseButtonPress, 0, 0, Qt::RightButton);
  Drag(5, 2, 9, 10);
  DoIt();
  EXPECT_EQ(main->ImageKind, ikEdited);
  EXPECT_EQ(main->DisplayedBitmap(), main->ViewBitmap.get());
  EXPECT_EQ(main->ViewBitmap->Width(), 5);
  EXPECT_EQ(At(*main->ViewBitmap, 0, 0), clBlack); // picture (10, 10)
  Undo();
  EXPECT_EQ(main->ImageKind, ikCrop);
  EXPECT_EQ(test::SizeAndPixels(*main->CropBitmap), firstCut);
}

TEST_F(EditingTools, CropsOutsideThePictureAreClippedOrDoNothing) {
  ASSERT_NE(Show(), nullptr);
  Menu("Crop1");
  Drag(35, 25, 90, 70);
  DoIt();
  EXPECT_EQ(main->CropBitmap->Width(), 5);
  EXPECT_EQ(main->CropBitmap->Height(), 5);
  Undo();
  Mouse(QEvent::MouseButtonPress, 0, 0, Qt::RightButton);
  Drag(-20, -20, -5, -3); // wholly outside
  DoIt();
  EXPECT_EQ(main->ImageKind, ikBmp);
  EXPECT_EQ(main->ViewBitmap->Width(), 40);
  // "Copy" takes the selection's part of the picture, clipped to it.
  Mouse(QEvent::MouseButtonPress, 0, 0, Qt::RightButton);
  Drag(35, 15, 50, 19);
  Button("CopyButton")->click();
  const TPasted copied = PastePicture(kWhite);
  ASSERT_EQ(copied.Outcome, TPasted::TOutcome::Picture);
  EXPECT_EQ(copied.Bitmap->Width(), 5);
  EXPECT_EQ(copied.Bitmap->Height(), 5);
}

TEST_F(EditingTools, APasteFloatsInItsOwnBitmapAndLeavesCropUndoIntact) {
  ASSERT_NE(Show(), nullptr);
  const auto original = test::SizeAndPixels(*main->ViewBitmap);
  Menu("Crop1");
  Drag(0, 0, 29, 24);
  DoIt();
  ASSERT_EQ(main->ImageKind, ikCrop);
  TBitmap red(6, 4, pf24bit);
  red.Canvas().Brush.Color = kRed;
  red.Canvas().FillRect({0, 0, 6, 4});
  CopyPicture(red);
  Mouse(QEvent::MouseButtonPress, 0, 0, Qt::RightButton);
  Drag(2, 3, 2, 3);
  Button("PasteButton")->click();
  EXPECT_TRUE(main->Editor->PasteFloating());
  EXPECT_EQ(NormalizedCorners(main->Editor->Corners()), (TCorners{2, 3, 7, 6}));
  // The uncut picture is still there for Undo.
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), original);
  DoIt();
  EXPECT_EQ(At(*main->CropBitmap, 2, 3), kRed);
  EXPECT_EQ(At(*main->CropBitmap, 7, 6), kRed);
  EXPECT_EQ(At(*main->CropBitmap, 8, 6), kWhite);
  Undo();
  EXPECT_EQ(main->ImageKind, ikBmp);
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), original);
}

TEST_F(EditingTools, AMenuTransformAfterACropIsShownAndEndsCropUndo) {
  ASSERT_NE(Show(), nullptr);
  Menu("Crop1");
  Drag(10, 10, 29, 19); // black left half, white right half
  DoIt();
  ASSERT_EQ(main->ImageKind, ikCrop);
  Menu("FlipHorizontal1");
  EXPECT_EQ(main->ImageKind, ikEdited);
  const TBitmap* shown = main->DisplayedBitmap();
  ASSERT_EQ(shown->Width(), 20);
  EXPECT_EQ(At(*shown, 0, 0), kWhite);
  EXPECT_EQ(At(*shown, 19, 0), clBlack);
  // The uncut picture does not come back over the mirrored one.
  Undo();
  EXPECT_EQ(main->ImageKind, ikEdited);
  EXPECT_EQ(main->DisplayedBitmap()->Width(), 20);
}

TEST_F(EditingTools, TextLandsAtTheSelectionAndPickedColoursGoWhereTheySay) {
  ASSERT_NE(Show(120, 80), nullptr);
  Menu("Surface1");
  main->TakeDrawingColor(kRed); // the fill tool's slot
  EXPECT_EQ(main->Editor->Settings.FillColor, kRed);
  Mouse(QEvent::MouseButtonPress, 15, 15);
  Mouse(QEvent::MouseButtonRelease, 15, 15);
  DoIt();
  EXPECT_EQ(At(*main->ViewBitmap, 10, 10), kRed);
  EXPECT_EQ(At(*main->ViewBitmap, 19, 19), kRed);
  EXPECT_EQ(At(*main->ViewBitmap, 20, 19), kWhite);

  Menu("Crop1");
  Drag(30, 40, 100, 70);
  Button("TextButton")->click();
  ASSERT_TRUE(main->Pictext->isVisible());
  EXPECT_EQ(main->Pictext->geometry().topLeft() - main->PaintBox1->pos(), QPoint(31, 41));
  const TColor box = RgbColor(0, 255, 0);
  main->TakeDrawingColor(box); // the shown text box takes it
  EXPECT_EQ(main->PictextBackground, box);
  main->Pictext->setPlainText("Ab\u0416");
  DoIt();
  EXPECT_FALSE(main->Pictext->isVisible());
  EXPECT_EQ(main->ImageKind, ikCrop);
  EXPECT_EQ(At(*main->CropBitmap, 30, 40), box);
  EXPECT_EQ(At(*main->CropBitmap, 29, 40), kWhite);
  EXPECT_EQ(At(*main->CropBitmap, 30, 39), kWhite);
  Undo();
  EXPECT_EQ(main->ImageKind, ikBmp);
  EXPECT_EQ(At(*main->ViewBitmap, 30, 40), kWhite);

  // Ctrl and a press on the box make the text transparent: only the letters are written.
  Button("TextButton")->click();
  ASSERT_TRUE(main->Pictext->isVisible());
  QMouseEvent ctrl(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                   Qt::LeftButton, Qt::ControlModifier);
  QApplication::sendEvent(main->Pictext->viewport(), &ctrl);
  EXPECT_EQ(Button("TextButton")->text(), "Text*");
  DoIt();
  ASSERT_EQ(main->ImageKind, ikCrop);
  int letters = 0;
  for (int y = 40; y < 60; ++y)
    for (int x = 30; x < 60; ++x) {
      ASSERT_NE(At(*main->CropBitmap, x, y), box);
      letters += At(*main->CropBitmap, x, y) == main->PictextColor;
    }
  EXPECT_GT(letters, 0);
}

TEST_F(EditingTools, ItsColorAndNewButtonsOpenThePaintBoxAndTheNewCanvasWhichTakesThePicks) {
  ASSERT_NE(Show(120, 80), nullptr);
  Menu("Surface1");
  Button("ColorPickBtn")->click();
  ASSERT_TRUE(main->ColorDlg);
  EXPECT_TRUE(main->ColorDlg->isVisible());
  const TColor blue = RgbColor(0, 0, 255);
  main->PaintBoxPicked(blue);
  EXPECT_EQ(main->Editor->Settings.FillColor, blue);

  Button("NewButton")->click();
  ASSERT_TRUE(main->NewCanvasDlg);
  EXPECT_TRUE(main->NewCanvasDlg->isVisible());
  main->PaintBoxPicked(kRed); // the canvas's fill, not the tool's
  EXPECT_EQ(main->NewCanvasDlg->FillColorValue(), kRed);
  EXPECT_EQ(main->Editor->Settings.FillColor, blue);
}

TEST_F(EditingTools, InputMakesTheEditedPictureTheSourceAndEndsTheEditing) {
  ASSERT_NE(Show(), nullptr);
  Menu("LineDraw1");
  Drag(0, 0, 39, 29);
  DoIt();
  const auto edited = test::SizeAndPixels(*main->ViewBitmap);
  Answer = TMsgResult::No;
  Button("InputButton")->click();
  EXPECT_EQ(Messages.back().Caption, "Kestrel!: Graphic Source Replacement");
  EXPECT_TRUE(main->ImageModified);
  Answer = TMsgResult::Yes;
  Button("InputButton")->click();
  EXPECT_FALSE(main->ImageModified);
  EXPECT_EQ(main->Editor->ActiveTool(), TEditTool::None);
  EXPECT_EQ(main->Commands().Action("Undo1")->text(), "Undo: Input");
  // Rebuilds of the view start from the input now, so the line stays.
  main->Commands().Action("DontScale1")->trigger();
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), edited);
  TBitmap source;
  source.Assign(main->Picture->Graphic());
  EXPECT_EQ(test::SizeAndPixels(source), edited);
}

TEST_F(EditingTools, TheZoomBarKeepsTheCentreGoingInAndOut) {
  ASSERT_NE(Show(800, 600), nullptr);
  main->resize(700, 500);
  Menu("Pen1");
  QScrollBar* bar = main->ScrollBox1->horizontalScrollBar();
  auto centre = [&] {
    return (bar->value() + main->ScrollBox1->viewport()->width() / 2.0) / Zoom();
  };
  bar->setValue(200);
  const double before = centre();
  main->EditingTools->ZoomButtons[3]->click(); // X16
  EXPECT_EQ(Zoom(), 16);
  EXPECT_NEAR(centre(), before, 2.0);
  main->EditingTools->ZoomButtons[3]->click(); // up again: back to 1
  EXPECT_EQ(Zoom(), 1);
  EXPECT_NEAR(centre(), before, 2.0);
  main->EditingTools->ZoomButtons[1]->click(); // X4
  EXPECT_EQ(Zoom(), 4);
  EXPECT_NEAR(centre(), before, 2.0);
}

} // namespace
} // namespace kestrel
