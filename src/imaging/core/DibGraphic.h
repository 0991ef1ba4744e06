#pragma once
// TDibGraphic: the device-independent image every codec of the image library derives from. It
// holds one uncompressed picture in one of six formats (TImageFormat), a palette record
// (TDibPalette), a resolution, and optionally the further frames of a multi-image file, which it
// can cycle on a timer.
//
// Pixel storage: rows bottom-up, each padded to 4 bytes: BytesPerLine = ((width * bits + 31) / 32)
// * 4 and ScanLine(row) = Bits() + (height - 1 - row) * BytesPerLine, so row 0 (the top line) is
// the last in memory. Packing: 1 bit most significant bit first, 4 bits high nibble first, 8 bits
// one byte, 24 bits blue, green, red. A picture imported from a bitmap of the same packing shares
// the bitmap's rows, which stand top-down: ScanLine hides the order, and code that walks Bits()
// row by row asks RowOrder().
//
// Codecs only parse and write: a reader calls NewImage and fills the rows through ScanLine (or
// Pixels / PixelIndex); a writer reads them. A codec class overrides NewInstance,
// SingleLoadFromStream and SaveToStream, and, for multi-image files, ImageCountInStream and
// AppendToStream.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Canvas.h"
#include "imaging/core/DibPalette.h"
#include "imaging/core/Graphic.h"
#include "imaging/core/ImageFormat.h"
#include "imaging/core/PixelStorage.h"
#include "imaging/core/RgbToPaletteConverter.h"

#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace kestrel {

class TDibGraphic : public TGraphic {
public:
  TDibGraphic();
  ~TDibGraphic() override;

  const char* ClassName() const override { return "TDibGraphic"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // Assign:
  // - null or any TDibGraphic: the picture becomes a copy (format, palette record, resolution,
  //   FrameInterval, pixels); a source of width or height 0 (or null) leaves it empty;
  // - the clipboard (TClipboard): its bitmap through LoadFromClipboardFormat(CF_BITMAP, ...);
  // - a TBitmap: converted to the screen's colour depth as a device bitmap would be, then
  //   ImportBitmapHandle (so 15/16/24/32-bit screens give true colour);
  // - any other graphic: a true-colour picture of its size, black, with the graphic drawn on it;
  // - anything else: the framework's assignment (source->AssignTo, EConvertError by default).
  void Assign(const TPersistent* source) override;
  // AssignTo:
  // - a TDibGraphic: target.Assign(this);
  // - a TBitmap: 24 bits per pixel, this size, with this picture drawn on it;
  // - a target a registered assign-to handler accepts (the icon codec registers one);
  // - anything else: EZeduziziError "Cannot assign a TDibGraphic to a <target class>".
  void AssignTo(TPersistent& target) const override;
  // Registers a handler AssignTo offers targets it does not know itself; it returns true when it
  // did the assignment.
  using TAssignToHandler = std::function<bool(const TDibGraphic& source, TPersistent& target)>;
  static void RegisterAssignToHandler(TAssignToHandler handler);

  // Draws the whole picture stretched into rect: without blending for true colour, averaging
  // (halftone) for palette formats when the size changes.
  void Draw(TCanvas& canvas, const TRect& rect) override;

  // Loading with frame logic: LoadAllFrames reads every image of the stream into Frames (each by
  // a new instance's SingleLoadFromStream from the same start position) and shows frame 1; a
  // stream with one image clears LoadAllFrames. Otherwise SingleLoadFromStream(ImageIndex).
  // Animate is off while loading and restored afterwards.
  void LoadFromStream(TStream& stream) override;
  // Does nothing; each codec overrides it.
  void SaveToStream(TStream& stream) override;
  // Only CF_BITMAP with a bitmap is accepted (read with ImportBitmapHandle; the palette is not
  // used); anything else raises EInvalidGraphic "Unknown clipboard format, <n>".
  void LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData& data,
                               const TPalette& palette) override;
  // Gives CF_BITMAP and a new bitmap of this size: 1 bit for ifBlackWhite, the screen's depth
  // otherwise, with the picture copied in. The palette is left as it is.
  void SaveToClipboardFormat(TClipboardFormat& format, TClipboardData& data,
                             TPalette& palette) const override;
  TImageInfo Info() const override;
  // Frames from ImageCountInStream, the rest from loading image 1.
  TImageInfo ReadInfo(TStream& stream) const override;

  // Slot 24: images in the stream (from its position); 1 here, multi-image codecs override.
  virtual int ImageCountInStream(TStream& stream);
  // Slot 25: reads image index (1-based) from the stream; does nothing here, codecs override.
  virtual void SingleLoadFromStream(TStream& stream, int index);
  // Slot 26: appends this picture to a multi-image stream; raises EZeduziziError
  // "The <class> format does not support multiple images" here.
  virtual void AppendToStream(TStream& stream);
  // Slot 27: makes the picture: width x height pixels in format (every byte zero, so a reader that
  // stops early leaves black or index 0, never old memory), with palette (null: the format's
  // default; ignored for true colour; the picture's copy gets version 0x0300) and xDpi / yDpi (0:
  // the screen's logical resolution). A format above ifTrueColor raises EZeduziziError "Internal
  // error: Invalid image format"; a size that cannot be allocated (or passes ImageLimits) raises
  // EZeduziziError "CreateDibSection failed". Any failure leaves the picture empty.
  virtual void NewImage(int width, int height, TImageFormat format,
                        const TDibPalette* palette = nullptr, uint16_t xDpi = 0, uint16_t yDpi = 0);

  // Row access; raises EInvalidGraphicOperation "Scan line index out of range" outside
  // 0..Height-1.
  uint8_t* ScanLine(int row);
  const uint8_t* ScanLine(int row) const;
  // "Pixels": the packed colour (byte 0 | byte 1 << 8 | byte 2 << 16 of the pixel, or of its
  // palette entry). Setting: true colour stores the three bytes, palette formats the nearest
  // entry's index. Coordinates outside the picture raise EZeduziziError "Pixel coordinates out of
  // range".
  TPixelColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TPixelColor value);
  // The stored palette index; both raise EZeduziziError "The image does not have a palette" on a
  // true-colour picture. index should be below the palette size; its low bits are stored (1 bit:
  // any value above 0 sets the bit).
  int PixelIndex(int x, int y) const;
  void SetPixelIndex(int x, int y, int index);

  // Resolution as dots per inch: reading rounds pixels per metre * 0.0254; writing stores
  // round(dpi * 39.37007874...).
  uint16_t XDotsPerInch() const;
  uint16_t YDotsPerInch() const;
  void SetXDotsPerInch(uint16_t dpi);
  void SetYDotsPerInch(uint16_t dpi);
  int XPelsPerMeter() const { return xPelsPerMeter_; }
  int YPelsPerMeter() const { return yPelsPerMeter_; }

  int BytesPerLine() const { return storage_.BytesPerLine(); }
  TImageFormat ImageFormat() const { return format_; }
  int BitsPerPixel() const { return FormatBitsPerPixel(format_); }
  uint8_t* Bits() { return storage_.Bits(); }
  const uint8_t* Bits() const { return storage_.Bits(); }
  TRowOrder RowOrder() const { return storage_.Order(); }
  // The palette record (hides TGraphic::Palette, which gives no palette for this class, as the
  // framework's default does; use PaletteHandle for a palette value).
  const TDibPalette& Palette() const { return palette_; }
  // A palette made from the palette record, kept until the next NewImage; null for true colour.
  TPalette PaletteHandle() const;
  // A canvas on the picture (palette formats take the nearest entry). Raises EZeduziziError
  // "The image is empty" when there is no picture.
  TCanvas& Canvas();

  // Gives up the pixels (the picture becomes empty): for a caller that keeps them in a bitmap of
  // its own without a copy (TBitmap::AdoptPixels).
  TPixelStorage TakePixels();

  // Replaces the picture by a copy of bitmap: 1-bit gives ifBlackWhite, 4-bit ifColor16, 8-bit
  // ifColor256 (never grey), 15/16/24/32-bit ifTrueColor; its palette (1..256 entries) becomes the
  // palette record, else the format's default; its pixels per metre become dpi (0 when out of
  // range, which then means the screen's). An empty bitmap raises EInvalidGraphic
  // "Invalid bitmap". Pixels of the same packing are shared with the bitmap until either is
  // written; the picture's rows then stand in the bitmap's order (ScanLine hides it).
  void ImportBitmapHandle(const TBitmap& bitmap);

  // Frames of a multi-image file.
  int ImageIndex = 1;         // the image a plain load reads (1-based)
  bool LoadAllFrames = false; // load every image as a frame
  int FrameInterval = 200;    // milliseconds between frames when animating
  int FrameCount() const { return static_cast<int>(frames_.size()); }
  TDibGraphic& Frame(int index) { return *frames_.at(static_cast<size_t>(index)); }
  int CurrentFrame() const { return currentFrame_; }
  // Shows frame n (1-based): nothing when it is the current one; EZeduziziError
  // "Frame <n> does not exist" when there is no such frame; otherwise the picture becomes a copy
  // of it, Changed is signalled, pending events are processed, and it becomes current.
  void ShowFrame(int n);
  bool Animate() const { return animate_; }
  // The timer runs (every FrameInterval ms) only while Animate is set and there are frames.
  void SetAnimate(bool value);
  bool FrameTimerActive() const;
  // What a tick of the frame timer does: the next frame (after the last, the first).
  void FrameTimerTick();

protected:
  bool GetEmpty() const override { return storage_.Empty(); }
  int GetWidth() const override { return storage_.Width(); }
  int GetHeight() const override { return storage_.Height(); }
  // Dimensions change only through NewImage: both raise EZeduziziError
  // "Dimensions must be change with the NewImage method".
  void DoSetWidth(int width) override;
  void DoSetHeight(int height) override;

  // Frames belong to the picture; a multi-image codec's loader appends to them.
  std::vector<std::unique_ptr<TDibGraphic>>& Frames() { return frames_; }

private:
  class Surface;
  friend class Surface;

  void Release();
  void CheckPixel(int x, int y) const;
  void CopyPixelsFrom(const TDibGraphic& source);
  void AssignBitmap(const TBitmap& bitmap);
  void AssignDrawn(const TGraphic& graphic);
  void UpdateTimer();
  void StartTimer();
  void StopTimer();

  using TPixelGetter = TPixelColor (*)(const TDibGraphic&, int x, int y);
  using TPixelSetter = void (*)(TDibGraphic&, int x, int y, TPixelColor value);

  TPixelStorage storage_;
  // While ImportBitmapHandle runs: the bitmap's pixels NewImage shares instead of allocating.
  const TPixelStorage* importedPixels_ = nullptr;
  TImageFormat format_ = ifBlackWhite;
  TDibPalette palette_;
  int xPelsPerMeter_ = 0;
  int yPelsPerMeter_ = 0;
  TColorTable table_;
  std::unique_ptr<TRgbToPaletteConverter> converter_;
  TPixelGetter pixelGetter_ = nullptr;
  TPixelSetter pixelSetter_ = nullptr;
  std::unique_ptr<Surface> surface_;
  std::unique_ptr<TCanvas> canvas_;
  std::vector<std::unique_ptr<TDibGraphic>> frames_;
  bool animate_ = false;
  bool timerEnabled_ = false;
  int currentFrame_ = -1;
  std::unique_ptr<QTimer> frameTimer_;
};

} // namespace kestrel
