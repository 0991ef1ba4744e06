// The "New Canvas" window in the viewer, driven through its fields, lists and "OK": what typing
// does to the sizes, the memory texts, the palettes offered, a canvas grown or made new, and the
// canvases refused with the picture left as it was. Also where a paint-box pick goes.

#include "app/canvas/NewCanvasDlg.h"

#include "app/paintbox/ColorDlg.h"
#include "app/view/ImageKind.h"
#include "app/view/PictureWindowFixture.h"
#include "imaging/core/ImageLimits.h"
#include "support/MainWindowFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace kestrel {
namespace {

class NewCanvas : public test::PictureWindowFixture {
protected:
  TKestrelMain* Show(const TBitmap& bitmap) { return ShowPicture(bitmap); }
  TNewCanvasDlg* Open(TKestrelMain* main) {
    main->NewCanvasClick();
    return main->NewCanvasDlg;
  }
  static void Type(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
  }
  static void Leave(QLineEdit* field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(field, &out);
  }
  static QStringList Palettes(TNewCanvasDlg* dialog) {
    QStringList texts;
    for (int i = 0; i < dialog->ComboBox1->count(); ++i)
      texts << dialog->ComboBox1->itemText(i);
    return texts;
  }
};

TEST_F(NewCanvas, TypedSizesCountAreClampedOnLeavingAndGiveTheMemorySize) {
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  TNewCanvasDlg* dialog = Open(main);
  EXPECT_TRUE(dialog->NewCanvas->isChecked()); // nothing to resize
  EXPECT_FALSE(dialog->ResizeExisting->isEnabled());

  Type(dialog->Width1, "abc");
  EXPECT_EQ(dialog->RequestedWidth(), 1);
  Type(dialog->Width1, "9999");
  EXPECT_EQ(dialog->RequestedWidth(), 9999);
  Leave(dialog->Width1);
  EXPECT_EQ(dialog->Width1->text(), "5000");
  Type(dialog->Height1, "0");
  Leave(dialog->Height1);
  EXPECT_EQ(dialog->Height1->text(), "1");
  // A pasted negative number and twenty digits.
  dialog->Width1->setText("-1");
  EXPECT_EQ(dialog->Memory->text(), ""); // no size, no memory
  Leave(dialog->Width1);
  EXPECT_EQ(dialog->Width1->text(), "1");
  dialog->Width1->setText("99999999999999999999");
  Leave(dialog->Width1);
  EXPECT_EQ(dialog->Width1->text(), "5000");

  // The memory the canvas takes.
  dialog->BitsperPixel1->setCurrentText("24");
  Type(dialog->Width1, "1000");
  Type(dialog->Height1, "1000");
  EXPECT_EQ(dialog->Memory->text(), "2.86 MB");
  dialog->BitsperPixel1->setCurrentText("4");
  Type(dialog->Width1, "16");
  Type(dialog->Height1, "16");
  EXPECT_EQ(dialog->Memory->text(), "128 Bytes");
  EXPECT_EQ(Palettes(dialog), QStringList{"16 color palette"});
}

TEST_F(NewCanvas, GrowingKeepsThePictureTopLeftWithBandsOfTheFillColour) {
  const auto picture = test::PatternBitmap(640, 480);
  TKestrelMain* main = Show(*picture);
  ASSERT_NE(main, nullptr);
  TNewCanvasDlg* dialog = Open(main);
  EXPECT_TRUE(dialog->ResizeExisting->isChecked());
  EXPECT_FALSE(dialog->BitsperPixel1->isEnabled());
  EXPECT_EQ(dialog->Width1->text(), "640"); // the shown picture's size to start from
  EXPECT_EQ(dialog->Height1->text(), "480");

  // The paint box's pick becomes the fill while the window shows.
  main->PaintBox().show();
  main->PaintBox().ComboBox1->setCurrentIndex(17);
  main->PaintBox().GridMouseDown({6, 6}, {}); // the first cell: blue
  EXPECT_EQ(dialog->FillColorValue(), clBlue);
  EXPECT_NE(main->DrawingColor, clBlue);

  Type(dialog->Width1, "800");
  Type(dialog->Height1, "600");
  QTest::mouseClick(dialog->Button1, Qt::LeftButton);
  EXPECT_FALSE(dialog->isVisible());
  const TBitmap* shown = main->DisplayedBitmap();
  ASSERT_EQ(shown->Width(), 800);
  ASSERT_EQ(shown->Height(), 600);
  EXPECT_EQ(main->ImageKind, ikEdited);
  for (auto [x, y] : {std::pair{0, 0}, {639, 0}, {0, 479}, {639, 479}, {320, 240}})
    EXPECT_EQ(shown->PixelColor(x, y), test::PatternColor(x, y)) << x << "," << y;
  for (auto [x, y] : {std::pair{640, 0}, {799, 300}, {0, 480}, {799, 599}})
    EXPECT_EQ(ColorOfPixel(shown->PixelColor(x, y)), clBlue) << x << "," << y;
  EXPECT_TRUE(Messages.empty());

  // With the window gone, a pick is the drawing colour again.
  main->PaintBox().GridMouseDown({6, 6}, {});
  EXPECT_EQ(main->DrawingColor, clBlue);
}

TEST_F(NewCanvas, OversizeTypedThenEnterIsRefusedAndThePictureStays) {
  TKestrelMain* main = Show(*test::PatternBitmap(64, 48));
  ASSERT_NE(main, nullptr);
  const auto before = test::SizeAndPixels(*main->DisplayedBitmap());
  TNewCanvasDlg* dialog = Open(main);
  Type(dialog->Width1, "50000");
  Type(dialog->Height1, "50000");
  QTest::keyClick(dialog->Height1, Qt::Key_Return);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Caption, "Kestrel!: New Canvas");
  EXPECT_EQ(dialog->Width1->text(), "5000");
  EXPECT_EQ(dialog->Height1->text(), "5000");
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(test::SizeAndPixels(*main->DisplayedBitmap()), before);

  // Within the fields' range but past the memory limit: refused before anything is touched.
  ImageLimits::SetMaxBytes(1 << 20);
  QTest::mouseClick(dialog->Button1, Qt::LeftButton);
  ImageLimits::SetMaxBytes(0);
  ASSERT_EQ(Messages.size(), 2u);
  EXPECT_TRUE(Messages[1].Text.contains("5000 x 5000")) << Messages[1].Text.toStdString();
  EXPECT_EQ(test::SizeAndPixels(*main->DisplayedBitmap()), before);
  EXPECT_EQ(main->ImageKind, ikBmp);
}

TEST_F(NewCanvas, ImagePaletteOnlyForAPictureWithOneAndANewWebCanvas) {
  // Written before the viewer starts, so that the folder watcher has nothing to report later.
  test::WritePicture(*test::IndexedBitmap(8, 8, 16), Env.Folder("pics") + "/b.bmp");
  TKestrelMain* main = Show(*test::PatternBitmap(20, 10));
  ASSERT_NE(main, nullptr);
  TNewCanvasDlg* dialog = Open(main);
  dialog->NewCanvas->click();
  EXPECT_TRUE(dialog->BitsperPixel1->isEnabled());
  dialog->BitsperPixel1->setCurrentText("8");
  EXPECT_EQ(Palettes(dialog),
            (QStringList{"16 color palette", "20 color palette", "Winweb palette"}));
  dialog->ComboBox1->setCurrentText("Winweb palette");
  Type(dialog->Width1, "30");
  Type(dialog->Height1, "20");
  dialog->SetFillColor(RgbColor(51, 102, 153));
  TColorDlg& box = main->PaintBox();
  box.show();
  box.ComboBox1->setCurrentIndex(0);
  EXPECT_EQ(box.windowTitle(), "Paint Box: 0 colors");
  QTest::mouseClick(dialog->Button1, Qt::LeftButton);
  EXPECT_EQ(box.windowTitle(), "Paint Box: 236 colors"); // the paint box follows the picture
  const TBitmap* shown = main->DisplayedBitmap();
  ASSERT_EQ(shown->Width(), 30);
  EXPECT_EQ(shown->PixelFormat(), pf8bit);
  ASSERT_EQ(shown->Palette().Count(), 236);
  EXPECT_EQ(shown->Palette().Color(10 + 36 * 1 + 6 * 2 + 3), RgbColor(51, 102, 153));
  EXPECT_EQ(ColorOfPixel(shown->PixelColor(29, 19)), RgbColor(51, 102, 153));
  EXPECT_EQ(main->OverlayBitmap->PixelFormat(), pf8bit);

  // A picture with a palette offers it.
  main->LoadPicture(Env.Folder("pics") + "/b.bmp");
  main->WaitForPicture();
  Open(main);
  dialog->NewCanvas->click();
  dialog->BitsperPixel1->setCurrentText("24");
  EXPECT_TRUE(Palettes(dialog).contains("Image  palette"));
}

} // namespace
} // namespace kestrel
