#pragma once
// TColorDlg: the modeless, stay-on-top "Paint Box" colour picker. A grid of colour cells from one
// of 25 palette types, the picked colour's red, green and blue parts and cell number, and a bank
// of custom swatches programmed with the right mouse button. Every pick goes to the host (the
// main window), which makes it the drawing colour or the new canvas's fill.
//
// With the picture's own palette shown, Ctrl-click on a cell rewrites that palette entry of the
// shown picture with the picked colour.

#include "app/main/ColorCycle.h"
#include "processing/paintbox/PaintBoxGrid.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSpinBox;

namespace kestrel {

class TBitmap;

// What the window needs of the viewer.
class TColorDlgHost {
public:
  virtual ~TColorDlgHost() = default;
  // The bitmap the view shows; null when no picture is shown.
  virtual TBitmap* ShownBitmap() const = 0;
  virtual TColor ViewBackground() const = 0;
  // Entry index (below the shown bitmap's palette count) becomes color: the picture is edited.
  virtual void SetShownPaletteEntry(int index, TColor color) = 0;
  // A colour was picked.
  virtual void ColorPicked(TColor color) = 0;
};

// A round rectangle of one colour with a one-pixel outline: the colour samples and the swatches.
class TRoundShape : public QWidget {
public:
  explicit TRoundShape(QWidget* parent);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  void SetOutline(TColor outline);
  TColor Outline() const { return outline_; }
  std::function<void(Qt::MouseButton)> OnMouseDown;

protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;

private:
  TColor color_ = clBlack;
  TColor outline_ = clBlack;
};

class TColorDlg : public QDialog {
public:
  static constexpr int kSwatchCount = 20;
  static constexpr int kSwatchesPerRow = 10;
  static constexpr const char* kCaption = "Paint Box";

  explicit TColorDlg(TColorDlgHost& host, QWidget* parent = nullptr);
  ~TColorDlg() override; // FormDestroy

  // Whether the settings are written when the window goes (not when the program is told to
  // write nothing).
  void SetWriteSettings(bool write) { writeSettings_ = write; }
  void ShowForm();
  // The shown picture changed: the palette of type 0 or 1 is loaded again while the window shows.
  void PictureChanged();

  TColor PickedColor() const { return picked_; }
  int PickedCell() const { return pickedCell_; }
  const TPaintBoxGrid& Grid() const { return *grid_; }
  // The grid as drawn (what the grid area paints).
  const QImage& GridImage() const { return gridImage_; }
  const TPalette& PaletteCopy() const { return paletteCopy_; }

  // Handlers of the controls.
  void ComboBox1Change();
  void Button1Click();
  void CheckBox1Click();
  void UpDown1Click();
  void SmallPickerClick();
  void TinyPickerClick();
  void GridMouseDown(QPoint position, Qt::KeyboardModifiers modifiers);
  void SwatchMouseDown(int index, Qt::MouseButton button);

  QComboBox* ComboBox1 = nullptr;
  QCheckBox* CheckBox1 = nullptr; // "Alt"
  QSpinBox* UpDown1 = nullptr;    // the size position
  QCheckBox* SmallPicker = nullptr;
  QCheckBox* TinyPicker = nullptr;
  QPushButton* Button1 = nullptr; // "Synthesize"
  std::array<TRoundShape*, 3> Samples{};
  std::array<QLabel*, 3> ChannelLabels{}; // "R= ", "G= ", "B= "
  QLabel* CurrentColor = nullptr;
  QWidget* TopPanel = nullptr;
  QWidget* GridBox = nullptr;
  QFrame* SwatchPanel = nullptr;
  std::array<TRoundShape*, kSwatchCount> Swatches{};

protected:
  void showEvent(QShowEvent* event) override;

private:
  class TGridArea;

  void FormCreate();
  void BuildTopPanel();
  void BuildSwatches();
  void ReadSettings();
  void FormDestroy();
  // Sets up the palette type; raises when its palette cannot be had.
  void SetUpType(int type);
  void LoadPaletteCopy(int type);
  void Redraw();
  void Arrange();
  void Pick(int cell, Qt::KeyboardModifiers modifiers);
  void ShowColor(TColor color, int cell);
  void HandOver(TColor color, int cell);

  TColorDlgHost& Host;
  std::unique_ptr<TPaintBoxGrid> grid_;
  QImage gridImage_;
  TPalette paletteCopy_;
  TColor picked_ = clBlack;
  int pickedCell_ = -1;
  int lastSwatch_ = -1;
  bool writeSettings_ = true;
};

} // namespace kestrel
