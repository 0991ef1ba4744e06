#pragma once
// TJpgOptions: the small stay-on-top "Jpeg Options" window. Its load part holds the decoder
// options the viewer applies each time it renders a JPEG, and the scale list the viewer zooms
// with; its save part holds the encoder options of a JPEG save. It is made once at start and
// lives until exit; its controls are the options in force. "Quality" and "Performance" are read
// from the settings store when it is made and written back when it goes. Below true colour the
// window shows "Quality" whatever was stored, and stores back only what the user chose.

#include "imaging/jpeg/JpegImage.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace kestrel {

class TBitmap;
class TGraphic;

// The decoder options of a JPEG picture, as the load part of the window sets them.
struct TJpegLoadOptions {
  TJPEGScale Scale = jsFullSize;
  TJPEGPixelFormat PixelFormat = jf24Bit;
  bool Grayscale = false;
  TJPEGPerformance Performance = jpBestSpeed;
  // Sets them on picture when it is a JPEG; anything else is left alone.
  void ApplyTo(TGraphic* picture) const;
};

enum class TJpgForm { Load, Save, Both };

class TJpgOptions : public QDialog {
  Q_OBJECT
public:
  static constexpr int kResultCancel = 2;
  static constexpr int kResultOk = 3;

  // storeSettings: write "Quality" and "Performance" when the window goes (not when the program
  // ends by removing itself).
  TJpgOptions(QWidget* parent, bool storeSettings);
  ~TJpgOptions() override;
  // The program ends writing nothing (it removed itself): the window stores nothing either.
  void StoreNothing() { storeSettings_ = false; }

  // Shows the window without waiting, in the load form or with both parts.
  void ShowForm(TJpgForm form);
  TJpgForm Form() const { return form_; }
  // Shows the save form and waits; the dialog result (kResultOk, or kResultCancel when the user
  // gave the save up).
  int ExecSaveForm();

  // The decoder options of the load part: scale 0 in Fit to Window mode, else GetJpegScale.
  TJpegLoadOptions LoadOptions(bool fitToWindow) const;
  void ApplyLoadOptions(TGraphic* picture, bool fitToWindow) const;
  // The decoder scale of the scale list: 0 for "16:1" to "1:1", then 1, 2, 3 for "1:2" to "1:8".
  int GetJpegScale() const;
  // The scale list's index (0 "16:1" .. 7 "1:8"); setting it asks nobody to re-render.
  int ScaleIndex() const;
  void SetScaleIndex(int index);
  // Enables the controls for the shown picture: the scale list unless the text tool is in use,
  // the decoder options and the progressive mark only for a picture loaded as a JPEG.
  void UpdateControls(const TGraphic* picture, bool loadedAsJpeg, bool textToolDown);

  // The result the window last closed with (0 before it ever closed).
  int LastResult() const { return lastResult_; }
  // A load option or the scale list was changed by the user: the viewer re-renders.
  std::function<void()> OnLoadOptionsChanged;
  // The window closed with this result.
  std::function<void(int result)> OnClosed;

  QGroupBox* GroupBox1 = nullptr;
  QSpinBox* JpgCompression = nullptr;
  QCheckBox* ProgressiveEncoding = nullptr;
  QPushButton* Button1 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QComboBox* cbScale = nullptr;
  QComboBox* cbPixelFormat = nullptr;
  QComboBox* cbColorSpace = nullptr;
  QComboBox* cbPerformance = nullptr;
  QLabel* ProgressiveImage = nullptr;
  QLabel* Label2 = nullptr;

  void done(int result) override;
  void reject() override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void BuildLayout();
  void ReadSettings();
  void SetForm(TJpgForm form);

  TJpgForm form_ = TJpgForm::Load;
  bool storeSettings_;
  int lastResult_ = 0;
  int performanceChoice_ = 0; // what "Performance" stores: the stored value or the user's choice
};

// The quality box's key rule: a typed character is taken when it is a digit and the text, less
// its selection, stays within 3 characters; editing keys (no printable text) always are.
bool QualityKeyAccepted(const QString& typed, int textLength, int selectedLength);

// The divisor of reduced display: 2, 4, 8 for "1:2", "1:4", "1:8", else 1, and 1 when there is no
// window.
int ZoomDivisor(const TJpgOptions* window);

} // namespace kestrel
