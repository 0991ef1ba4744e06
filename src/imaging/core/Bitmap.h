#pragma once
// TBitmap: the device bitmap. Pixels are kept in the pixel format's own packing (see
// PixelStorage.h), rows top-down and padded to 4 bytes, in a buffer of our own:
// - pf1bit, pf4bit, pf8bit: palette indices; the palette (up to 2, 16, 256 entries) colours them;
// - pf15bit, pf16bit, pf24bit, pf32bit: direct colour; a palette may be attached (it is what an
//   8-bit screen would realize) but does not colour the pixels;
// - pfDevice behaves as 32 bits; pfCustom is never the format of a bitmap (setting it raises).
// The bitmap reads and writes .bmp files itself (see imaging/bmp/BmpFile.h) and hands the display a
// QImage without copying (Image()).

#include "imaging/core/Canvas.h"
#include "imaging/core/Graphic.h"
#include "imaging/core/PixelStorage.h"
#include "imaging/core/RgbToPaletteConverter.h"

#include <QImage>

#include <memory>

namespace kestrel {

enum TPixelFormat {
  pfDevice,
  pf1bit,
  pf4bit,
  pf8bit,
  pf15bit,
  pf16bit,
  pf24bit,
  pf32bit,
  pfCustom
};
enum TTransparentMode { tmAuto, tmFixed };

// Bits per pixel of a format (pfDevice 32, pfCustom 0) and the format of a bit count (0 if none).
int PixelFormatBits(TPixelFormat format);
TPixelFormat PixelFormatOfBits(int bitsPerPixel);
// The format of a device (a screen, a clipboard bitmap) of that many bits per pixel: 1 gives
// pf1bit, 2 to 4 pf4bit, 5 to 8 pf8bit, 15, 16, 24 and 32 their own, anything else pfDevice.
TPixelFormat PixelFormatOfDepth(int bitsPerPixel);

class TBitmap : public TGraphic {
public:
  TBitmap();
  // An empty bitmap of the given size and format, filled with white.
  TBitmap(int width, int height, TPixelFormat format = pfDevice);
  ~TBitmap() override;

  const char* ClassName() const override { return "TBitmap"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // Assign: null empties the bitmap; a TBitmap is copied exactly (pixels, format, palette,
  // transparency, resolution), its pixels shared until either bitmap is written; anything else is
  // asked to AssignTo this bitmap.
  void Assign(const TPersistent* source) override;

  TCanvas& Canvas() { return *canvas_; }

  TPixelFormat PixelFormat() const { return format_; }
  // Converts the pixels. Between palette formats the indices are kept while the palette fits;
  // to a palette format each colour takes the nearest entry of the bitmap's palette (or of the
  // format's default palette when there is none or it does not fit: black and white, the 16
  // standard colours, the default 256-colour table). Raises EInvalidGraphic "Invalid pixel format"
  // for pfCustom.
  void SetPixelFormat(TPixelFormat format);
  int BitsPerPixel() const { return PixelFormatBits(format_); }

  // Changes the size: pixels keep their place from the top-left corner, new area takes the
  // canvas's brush colour. A size of 0 in either direction empties the bitmap. Raises
  // EInvalidGraphic when the size passes the memory limit.
  void SetSize(int width, int height);

  // Makes the bitmap width x height in format with the given palette, every byte of its rows zero
  // (palette index 0, or black): for readers that then write the rows through ScanLine (32-bit
  // rows hold blue, green, red and 0xFF, as the display image expects), and for drawing, which
  // must never meet what the memory held before. Raises EInvalidGraphic when the size passes the
  // memory limit.
  void NewImage(int width, int height, TPixelFormat format, const TPalette& palette);

  // Makes the bitmap of pixels someone else stored in format's packing (a picture that is done
  // with them), with the palette: no copy is made, the rows are only put in this bitmap's order.
  void AdoptPixels(TPixelStorage&& storage, TPixelFormat format, const TPalette& palette);

  // Row row (0 = top) in the format's packing; raises EInvalidGraphicOperation "Scan line index
  // out of range" outside 0..Height-1. Rows are stored top-down, BytesPerLine apart.
  uint8_t* ScanLine(int row);
  const uint8_t* ScanLine(int row) const;
  int BytesPerLine() const { return storage_.BytesPerLine(); }

  // Palette (see the top of this file). Setting it on a palette format recolours the pixels
  // (indices are kept; entries past the format's size are dropped).
  bool IgnorePalette() const { return ignorePalette_; }
  // When set, Palette() gives none (nothing realizes it), and a colour table a direct-colour file
  // carries is not kept on loading. Palette formats still colour their pixels with it.
  void SetIgnorePalette(bool value);
  // The palette itself, whatever IgnorePalette says.
  const TPalette& OwnPalette() const { return palette_; }

  // Transparency for drawing: pixels of TransparentColor are not drawn. In tmAuto mode the
  // colour is that of the bottom-left pixel; setting a colour switches to tmFixed.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode) { transparentMode_ = mode; }
  // 1 bit per pixel, set where the pixel has the transparent colour.
  QImage TransparencyMask() const;

  // Resolution in pixels per metre as read from or written to a file (0 = not given).
  int XPelsPerMeter() const { return xPelsPerMeter_; }
  int YPelsPerMeter() const { return yPelsPerMeter_; }
  void SetPelsPerMeter(int x, int y);

  // The pixels for display, without a per-pixel call: a view of the storage for every format but
  // pf4bit (8-bit indexed copy). Valid until the bitmap changes size, format or palette. It is for
  // reading: painting on a view of direct-colour storage would change every bitmap sharing the
  // pixels (write through the canvas or ScanLine instead).
  QImage Image() const;
  // Replaces the bitmap by the image: mono becomes pf1bit, 8-bit indexed pf8bit, 555 pf15bit,
  // 565 pf16bit, 24-bit pf24bit, anything else pf32bit (alpha dropped onto black).
  void LoadFromImage(const QImage& image);

  // The colour of a pixel (no range check beyond the storage's own; use Canvas().Pixel for a
  // checked one).
  TPixelColor PixelColor(int x, int y) const;
  // The colours of palette indices (padded with black to 256 entries).
  const TColorTable& ColorTable() const;
  const TPixelStorage& Storage() const { return storage_; }

  void Draw(TCanvas& canvas, const TRect& rect) override;
  // .bmp reading and writing: errors raise EInvalidGraphic.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData& data,
                               const TPalette& palette) override;
  void SaveToClipboardFormat(TClipboardFormat& format, TClipboardData& data,
                             TPalette& palette) const override;
  TImageInfo Info() const override;
  TImageInfo ReadInfo(TStream& stream) const override;

protected:
  bool GetEmpty() const override { return storage_.Empty(); }
  int GetWidth() const override { return storage_.Width(); }
  int GetHeight() const override { return storage_.Height(); }
  TPalette GetPalette() const override;
  void DoSetWidth(int width) override { SetSize(width, Height()); }
  void DoSetHeight(int height) override { SetSize(Width(), height); }
  void DoSetPalette(const TPalette& palette) override;

private:
  class Surface;
  friend class Surface;
  friend void ReadBmpFile(TStream& stream, TBitmap& bitmap);

  void Reformat(TPixelFormat format, const TPalette& palette);
  void ReplaceStorage(TPixelStorage&& storage, TPixelFormat format, const TPalette& palette);
  void PaletteChanged();
  TRgbToPaletteConverter& Converter();
  [[noreturn]] void TooLarge(int width, int height) const;

  TPixelStorage storage_;
  TPixelFormat format_ = pfDevice;
  TPalette palette_;
  bool ignorePalette_ = false;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  int xPelsPerMeter_ = 0;
  int yPelsPerMeter_ = 0;
  TColorTable table_;
  TDibPalette dibPalette_;
  std::unique_ptr<TRgbToPaletteConverter> converter_;
  std::unique_ptr<Surface> surface_;
  std::unique_ptr<TCanvas> canvas_;
};

} // namespace kestrel
