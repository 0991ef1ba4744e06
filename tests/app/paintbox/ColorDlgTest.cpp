// The "Paint Box" driven through its own controls: the grid each palette type draws, picks by
// mouse (and none in the gaps), the shades with "Alt", the picture's palette shown, synthesized
// and edited with Ctrl, the swatches across a restart, and stored settings out of range.

#include "app/paintbox/ColorDlg.h"

#include "app/canvas/NewCanvasDlg.h"

#include "app/view/ViewTestSupport.h"
#include "imaging/core/DefaultPalettes.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <set>

namespace kestrel {
namespace {

class TTestHost : public TColorDlgHost {
public:
  TBitmap* ShownBitmap() const override { return Shown.get(); }
  TColor ViewBackground() const override { return clWhite; }
  void SetShownPaletteEntry(int, TColor) override { ADD_FAILURE() << "no palette to edit"; }
  void ColorPicked(TColor color) override { Picks.push_back(color); }

  std::unique_ptr<TBitmap> Shown;
  std::vector<TColor> Picks;
};

class PaintBox : public test::MainWindowFixture {
protected:
  void Open() {
    Window = std::make_unique<TColorDlg>(Host);
    Window->show();
  }
  void Restart() {
    Window.reset(); // writes the settings
    Open();
  }
  void ChooseType(int type) { Window->ComboBox1->setCurrentIndex(type); }
  QPoint Centre(int cell) const {
    const TRect r = Window->Grid().CellRect(cell);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  // The colour the grid shows in the middle of a cell.
  TColor Drawn(int cell) const { return FromQColor(Window->GridImage().pixelColor(Centre(cell))); }
  void Click(int cell, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(Window->GridBox, Qt::LeftButton, modifiers, Centre(cell));
  }

  TTestHost Host;
  std::unique_ptr<TColorDlg> Window;
};

TEST_F(PaintBox, EightColorsDrawSevenColoursThenBlackAndWebRowsOfTwelveCellsOf14) {
  Open();
  ChooseType(17);
  ASSERT_EQ(Window->Grid().LastCell(), 7);
  std::set<TColor> colours;
  for (int n = 0; n < 7; ++n)
    colours.insert(Drawn(n));
  EXPECT_EQ(colours.size(), 7u);
  EXPECT_FALSE(colours.contains(clBlack));
  EXPECT_EQ(Drawn(7), clBlack);
  // The place of a ninth cell stays empty, and clicks there, in the gaps and in the margin pick
  // nothing.
  EXPECT_EQ(Window->GridImage().pixelColor(Centre(8)), ToQColor(clWindow));
  const TRect first = Window->Grid().CellRect(0);
  for (QPoint p : {QPoint(first.Right, first.Top + 2), QPoint(first.Left + 2, first.Bottom),
                   QPoint(1, 1), Centre(8)})
    QTest::mouseClick(Window->GridBox, Qt::LeftButton, {}, p);
  EXPECT_TRUE(Host.Picks.empty());

  ChooseType(2);
  ASSERT_EQ(Window->Grid().LastCell(), 215);
  EXPECT_EQ(Centre(11).y(), Centre(0).y());
  EXPECT_EQ(Centre(12).x(), Centre(0).x());
  EXPECT_GT(Centre(12).y(), Centre(11).y());
  std::set<TColor> web;
  for (int n = 0; n <= 215; ++n)
    web.insert(Drawn(n));
  EXPECT_EQ(web.size(), 216u);
  EXPECT_FALSE(Window->CheckBox1->isVisible()); // no shades, no "Alt"
  ASSERT_EQ(Window->logicalDpiY(), 96);
  ASSERT_EQ(Window->UpDown1->value(), 1);
  EXPECT_EQ(Window->Grid().CellSize(), 14);
  Window->UpDown1->setValue(6);
  EXPECT_EQ(Window->Grid().CellSize(), 24); // 28 x 1.1 x 96 / 120 = 24.64
}

TEST_F(PaintBox, RedShadesPickedByMouseWithAndWithoutAlt) {
  Open();
  ChooseType(4);
  EXPECT_TRUE(Window->CheckBox1->isVisible());
  Click(0);
  Click(255);
  QTest::mouseClick(Window->CheckBox1, Qt::LeftButton);
  Click(0);
  Click(255);
  EXPECT_EQ(Host.Picks,
            (std::vector<TColor>{RgbColor(255, 0, 0), clWhite, clBlack, RgbColor(255, 0, 0)}));
  EXPECT_EQ(Window->PickedCell(), 255);
  EXPECT_EQ(Window->CurrentColor->text(), "255");
  EXPECT_EQ(Window->ChannelLabels[0]->text(), "R= 255");
  EXPECT_EQ(Window->ChannelLabels[1]->text(), "G= 0");
  // The picked cell is outlined white, the others black.
  const TRect picked = Window->Grid().CellRect(255);
  EXPECT_EQ(Window->GridImage().pixelColor(picked.Left, picked.Top), QColor(Qt::white));
  const TRect other = Window->Grid().CellRect(254);
  EXPECT_EQ(Window->GridImage().pixelColor(other.Left, other.Top), QColor(Qt::black));
}

TEST_F(PaintBox, APictureWithoutPaletteCanHaveOneSynthesized) {
  Host.Shown = test::PatternBitmap(30, 20);
  Open();
  ChooseType(0);
  EXPECT_EQ(Window->windowTitle(), "Paint Box: 0 colors");
  ASSERT_TRUE(Window->Button1->isVisible());
  QTest::mouseClick(Window->Button1, Qt::LeftButton);
  EXPECT_FALSE(Window->Button1->isVisible());
  EXPECT_EQ(Window->windowTitle(), "Paint Box: 256 colors");
  ASSERT_EQ(Window->PaletteCopy().Count(), 256);
  EXPECT_EQ(Window->PaletteCopy().Color(0), SystemPalette20().Color(0));

  Host.Shown.reset();
  Window->PictureChanged();
  EXPECT_FALSE(Window->Button1->isVisible()); // no picture, nothing to synthesize from
}

TEST_F(PaintBox, SwatchesKeepTheirColoursAcrossARestart) {
  Open();
  ChooseType(2);
  Click(100);
  const TColor chosen = Window->PickedColor();
  QTest::mouseClick(Window->Swatches[3], Qt::RightButton);
  EXPECT_EQ(Window->Swatches[3]->Color(), chosen);
  EXPECT_EQ(Window->Swatches[3]->Outline(), clWhite);
  Window->UpDown1->setValue(3);

  Restart();
  EXPECT_EQ(Window->Swatches[3]->Color(), chosen);
  EXPECT_EQ(Window->Swatches[2]->Color(), clBlack);
  EXPECT_EQ(Window->PickedColor(), chosen);
  EXPECT_EQ(Window->ComboBox1->currentIndex(), 2);
  EXPECT_EQ(Window->UpDown1->value(), 3);
  EXPECT_EQ(StoredNumber("Color Picker", "Custom Color 4"), chosen);

  // A left press picks the swatch, its number standing for the cell.
  Host.Picks.clear();
  QTest::mouseClick(Window->Swatches[3], Qt::LeftButton);
  EXPECT_EQ(Host.Picks, std::vector<TColor>{chosen});
  EXPECT_EQ(Window->CurrentColor->text(), "4");
}

TEST_F(PaintBox, StoredSettingsOutOfRangeAreClampedAndNothingIsWrittenWhenTold) {
  WriteSetting("Color Picker", "Size", 99);
  WriteSetting("Color Picker", "Palette Index", -5);
  WriteSetting("Color Picker", "Tiny", 1);
  Open();
  EXPECT_EQ(Window->UpDown1->value(), 6);
  EXPECT_EQ(Window->ComboBox1->currentIndex(), 0);
  // "Tiny" leaves only the swatches.
  EXPECT_FALSE(Window->GridBox->isVisible());
  EXPECT_TRUE(Window->SwatchPanel->isVisible());
  QTest::mouseClick(Window->SmallPicker, Qt::LeftButton);
  EXPECT_TRUE(Window->GridBox->isVisible());
  EXPECT_FALSE(Window->SwatchPanel->isVisible());

  Window->SetWriteSettings(false);
  Window.reset();
  EXPECT_EQ(StoredNumber("Color Picker", "Size"), 99);
}

} // namespace
} // namespace kestrel

namespace kestrel {
namespace {

class PaintBoxInViewer : public test::MainWindowFixture {};

// The picture's palette edited from the paint box is an edit: the view is not rebuilt over it,
// and a canvas resize afterwards starts from the edited picture.
TEST_F(PaintBoxInViewer, CtrlPaletteEditMarksThePictureEditedAndSurvivesLaterCommands) {
  WriteSetting("Dialogs", "DontShowAgain", 0xFFFF);
  const QString path = Env.Folder("pics") + "/a.bmp";
  test::WritePicture(*test::IndexedBitmap(12, 10, 16), path);
  TKestrelMain* main = Start({path});
  ASSERT_NE(main, nullptr);
  main->WaitForPicture();
  QAction* item = main->Commands().Action("Color1");
  ASSERT_TRUE(item->isEnabled());
  item->trigger();
  TColorDlg& box = main->PaintBox();
  ASSERT_TRUE(box.isVisible());
  box.ComboBox1->setCurrentIndex(17);
  box.GridMouseDown({6, 6}, {}); // blue
  EXPECT_EQ(main->DrawingColor, clBlue);
  box.ComboBox1->setCurrentIndex(0);
  EXPECT_EQ(box.windowTitle(), "Paint Box: 16 colors");
  EXPECT_FALSE(box.Button1->isVisible());
  const TPalette before = main->DisplayedBitmap()->Palette();
  auto ctrlClick = [&box](int n) {
    const TRect cell = box.Grid().CellRect(n);
    QTest::mouseClick(box.GridBox, Qt::LeftButton, Qt::ControlModifier,
                      QPoint(cell.Left + 2, cell.Top + 2));
  };
  // A cell past the palette's 16 entries is black and edits nothing.
  EXPECT_EQ(box.Grid().CellColor(16), clBlack);
  ctrlClick(40);
  EXPECT_FALSE(main->ImageModified);
  EXPECT_EQ(main->DisplayedBitmap()->Palette(), before);
  ctrlClick(5);
  EXPECT_EQ(box.Grid().CellColor(5), clBlue); // the grid shows the edited palette
  EXPECT_EQ(box.PickedColor(), clBlue);
  EXPECT_TRUE(main->ImageModified);
  EXPECT_EQ(main->DisplayedBitmap()->Palette().Color(5), clBlue);
  EXPECT_EQ(main->OverlayBitmap->Palette().Color(5), clBlue);
  main->RunOptions();
  main->RebuildView();
  EXPECT_EQ(main->DisplayedBitmap()->Palette().Color(5), clBlue);
  // Pixel (5, 0) has index 5.
  EXPECT_EQ(ColorOfPixel(main->DisplayedBitmap()->PixelColor(5, 0)), clBlue);

  main->NewCanvasClick();
  main->NewCanvasDlg->Width1->setText("20");
  main->NewCanvasDlg->Height1->setText("10");
  main->NewCanvasDlg->Button1->click();
  ASSERT_EQ(main->DisplayedBitmap()->Width(), 20);
  EXPECT_EQ(ColorOfPixel(main->DisplayedBitmap()->PixelColor(5, 0)), clBlue);
  EXPECT_EQ(main->Commands().Action("Undo1")->text(), "Undo: New Canvas");
}

} // namespace
} // namespace kestrel
