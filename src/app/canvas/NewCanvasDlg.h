#pragma once
// TNewCanvasDlg: the stay-on-top "New Canvas" window. It either sets the canvas of the shown
// picture to a new size (the picture stays at the top-left, new area takes the fill colour) or
// replaces the picture by an empty canvas of a chosen size, depth and palette. While it shows,
// every colour picked in the paint box becomes its fill colour.
//
// The sizes are checked again at "OK" (Enter skips the clamp made on leaving a field), the new
// canvas is made in full before the picture is touched, and a canvas that cannot be made is
// refused with a message, leaving the picture as it was.

#include "app/main/ColorCycle.h"
#include "imaging/core/Palette.h"

#include <QDialog>
#include <QSize>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestrel {

class TBitmap;
class TGraphic;

// What the window needs of the viewer.
class TNewCanvasHost {
public:
  virtual ~TNewCanvasHost() = default;
  // A picture is shown.
  virtual bool HasPicture() const = 0;
  // The loaded picture's palette; null when it has none.
  virtual TPalette PicturePalette() const = 0;
  // The bitmap the view shows (its depth is the bits choice of a resize); null with no picture.
  virtual const TBitmap* ShownBitmap() const = 0;
  // full becomes the shown picture at its own size, as a resize starts from it.
  virtual void ShownAtFullSize(TBitmap& full) const = 0;
  // The picture view's inside, where a canvas of "SizeToClient" fits.
  virtual QSize ViewClientSize() const = 0;
  // The colour last picked in the paint box, and the paint box shown.
  virtual TColor PaintBoxColor() = 0;
  virtual void ShowPaintBox() = 0;
  // canvas replaces the shown picture: the undo copy is taken first, then the view shows it.
  virtual void ReplaceCanvas(std::unique_ptr<TBitmap> canvas) = 0;
  // The screen's bits per pixel.
  virtual int ScreenBits() const = 0;
};

class TNewCanvasDlg : public QDialog {
public:
  static constexpr const char* kCaption = "New Canvas";

  explicit TNewCanvasDlg(TNewCanvasHost& host, QWidget* parent = nullptr);
  ~TNewCanvasDlg() override;

  void ShowForm();
  // The fill colour (the panel shows it with a text colour that reads on it).
  void SetFillColor(TColor color);
  TColor FillColorValue() const { return fill_; }
  // The fields take the graphic's size (when it has one), and the lists are made again.
  void SetSizeFromGraphic(const TGraphic* graphic);
  int RequestedWidth() const { return static_cast<int>(width_); }
  int RequestedHeight() const { return static_cast<int>(height_); }

  // Handlers of the controls.
  void Width1Change();
  void Width1Exit(QLineEdit* field);
  void SizeToClientClick();
  void BitsperPixel1Change();
  void ResizeExistingClick();
  void FillColorClick();
  void Button1Click();

  QRadioButton* ResizeExisting = nullptr;
  QRadioButton* NewCanvas = nullptr;
  QComboBox* BitsperPixel1 = nullptr;
  QComboBox* ComboBox1 = nullptr; // the palettes
  QLabel* FillColor = nullptr;
  QLineEdit* Width1 = nullptr;
  QLineEdit* Height1 = nullptr;
  QCheckBox* SizeToClient = nullptr;
  QLabel* Memory = nullptr;
  QPushButton* Button1 = nullptr;

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void FormCreate();
  void FormShow();
  void UpdateMemory();
  void SetFields(int64_t width, int64_t height);
  void BitsFromShown();
  int ChosenBits() const;
  void FillPaletteList(int bits, bool imagePalette);
  std::unique_ptr<TBitmap> MakeCanvas(int width, int height) const;

  TNewCanvasHost& Host;
  int64_t width_ = 1;
  int64_t height_ = 1;
  int64_t rememberedWidth_ = 1;
  int64_t rememberedHeight_ = 1;
  TColor fill_ = clWhite;
  // What the palette list was last made for.
  int listBits_ = -1;
  bool listImagePalette_ = false;
};

} // namespace kestrel
