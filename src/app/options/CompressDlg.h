#pragma once
// TCompressDlg: the small modal window in which a save asks for the TIFF compression, the PNG
// compression level and depth, or the palette and depth of a BMP. What it shows and returns is
// TCompressChoices; this is the window around it. Closing it other than by "OK" asks
// "Abort Image Save ?" first; No keeps it open.

#include "imaging/tiff/CompressionChoices.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace kestrel {

class TBitmap;

class TCompressDlg : public QDialog {
  Q_OBJECT
public:
  explicit TCompressDlg(QWidget* parent = nullptr);
  ~TCompressDlg() override;

  // Whether the save can follow item (an index of the list) at the chosen depth code.
  using TItemCheck = std::function<bool(int depthCode, int item)>;

  // Shows the window modally for one use over bitmap (of depth code depthCode; synthesized: its
  // palette was made by the program) and waits until it is closed. Returns the result code, -1
  // when cancelled; for the BMP and PNG uses depthCodeOut gets the chosen depth (2, 3 or 6). The
  // list opens on the first item that followable accepts (the first item when none is given).
  int CompressionWindow(TCompressUse use, const TBitmap& bitmap, int depthCode, bool synthesized,
                        int* depthCodeOut, TItemCheck followable = {});
  // Sets the window up for a use without showing it (CompressionWindow does this first).
  void Prepare(TCompressUse use, int depthCode, int paletteColors, bool synthesized,
               TItemCheck followable = {});
  // What the window returns for the way it was closed.
  int ResultCode() const;
  int DepthCode() const;
  // The help context of the current use.
  int HelpContext() const;

  QLabel* Label1 = nullptr;
  QComboBox* cbMain = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* CbPixels = nullptr;
  QLabel* Label3 = nullptr;
  QPushButton* Button1 = nullptr;

  // The OK button's dialog result.
  static constexpr int kOkResult = 1;

public slots:
  void reject() override;

private:
  void CbPixelsChange();
  void FillItems();

  std::unique_ptr<TCompressChoices> Choices;
  TItemCheck Followable;
};

} // namespace kestrel
