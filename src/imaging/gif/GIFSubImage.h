#pragma once
// A frame of a GIF file: its extensions, its image descriptor (place and size on the logical
// screen, flags), an optional local colour table and one byte per pixel. A frame renders itself to
// an 8-bit bitmap with its colour table as palette, plus a 1-bit mask of its transparent pixels.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Types.h"
#include "imaging/gif/GIFColorMap.h"
#include "imaging/gif/GIFExtension.h"
#include "imaging/gif/GIFList.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kestrel {

class TGIFGraphicControlExtension;
class TGIFProgress;

class TGIFSubImage : public TGIFItem {
public:
  static constexpr uint8_t kSeparator = 0x2C;
  static constexpr int kMaxSide = 0xFFFF;

  explicit TGIFSubImage(TGIFImage* image = nullptr);
  // A deep copy: extensions, colour table and pixels (not the rendered bitmaps).
  TGIFSubImage(const TGIFSubImage& other);
  TGIFSubImage& operator=(const TGIFSubImage&) = delete;
  ~TGIFSubImage() override;

  const char* ClassName() const override { return "TGIFSubImage"; }
  void SetImage(TGIFImage* image) override;

  // The image descriptor.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  // Moves and resizes the frame (each value 0..65535, GIFException "Invalid pixel coordinates"
  // otherwise); a new size gives new pixels, all 0.
  void SetBounds(int left, int top, int width, int height);
  bool Interlaced() const { return (flags_ & kInterlacedFlag) != 0; }
  void SetInterlaced(bool value);
  // The descriptor's flags as read.
  uint8_t Flags() const { return flags_; }

  TGIFLocalColorMap& ColorMap() { return colorMap_; }
  const TGIFLocalColorMap& ColorMap() const { return colorMap_; }
  // The table the pixels index: the local one when it has colours, else the image's global one.
  const TGIFColorMap& ActiveColorMap() const;
  TGIFExtensionList& Extensions() { return extensions_; }
  const TGIFExtensionList& Extensions() const { return extensions_; }
  // The graphic control extension in force: the first one of the frame, or null.
  TGIFGraphicControlExtension* GraphicControlExtension() const;
  // The graphic control extension marks a colour transparent.
  bool Transparent() const;
  // The transparent colour index, or -1.
  int TransparentColorIndex() const;

  // No pixels: a frame of extensions only.
  bool Empty() const { return pixels_.empty(); }
  const std::vector<uint8_t>& Data() const { return pixels_; }
  // Row y of the pixels. GIFException "Image is empty" for a frame without pixels, "Invalid pixel
  // coordinates" outside it.
  uint8_t* ScanLine(int y);
  const uint8_t* ScanLine(int y) const;
  uint8_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, uint8_t index);

  // 89a when the local table is sorted or the frame has extensions.
  TGIFVersion Version() const override;

  // Reads the frame's extensions, descriptor, local table and pixels (see Load).
  void LoadFromStream(TStream& stream) override { Load(stream, true); }
  // Without pixels the image data are skipped and no pixel memory is taken.
  void Load(TStream& stream, bool pixels);
  // Writes the extensions and, when there are pixels, the descriptor with rebuilt flags, the local
  // table and the coded pixels.
  void SaveToStream(TStream& stream) override;

  // From a frame: a copy. From a TBitmap: the bitmap's size and pixels, reduced by the image's
  // colour reduction when deeper than 8 bits; a transparent bitmap makes a transparent frame. From
  // any other graphic: drawn onto a bitmap first.
  void Assign(const TPersistent* source) override;
  // To a TBitmap: the rendered frame (transparent when the frame is, in its transparent colour).
  void AssignTo(TPersistent& target) const override;

  // The frame rendered as an 8-bit bitmap with its colour table as palette, or dithered onto the
  // 216-colour cube while the image dithers. Kept until the frame or the image's options change.
  const TBitmap& Bitmap() const;
  // The 1-bit mask (set = transparent) of a transparent frame; null when no pixel is transparent.
  const TBitmap* Mask() const;
  // Drops the rendered bitmap and mask.
  void FreeBitmap() const;
  // Draws the frame into target, which stands for the whole logical screen: at its place and
  // scaled, or with tile, repeated at its own size across target. With transparent the pixels
  // under the mask leave the canvas as it is.
  void Draw(TCanvas& canvas, const TRect& target, bool transparent, bool tile) const;
  // Where Draw puts the frame (untiled) when target stands for the logical screen.
  TRect PlaceIn(const TRect& target) const;

private:
  static constexpr uint8_t kInterlacedFlag = 0x40;

  void LoadExtensions(TStream& stream);
  bool LoadDescriptor(TStream& stream);
  void FitLogicalScreen();
  void CheckTransparentIndex();
  void LoadPixels(TStream& stream);
  void SkipPixels(TStream& stream);
  void AllocatePixels(int64_t count);
  void AssignBitmap(const TBitmap& bitmap);
  // Copies the indices and makes the colour table; returns the highest index used.
  int CopyBitmapPixels(const TBitmap& bitmap, TGIFProgress& progress);
  void MakeTransparent(const TBitmap& source);
  void DrawPart(TCanvas& canvas, const TRect& dest, const TRect& source, bool transparent) const;
  void Changed();
  int CodeBits(int colorCount) const;

  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  uint8_t flags_ = 0;
  TGIFLocalColorMap colorMap_;
  TGIFExtensionList extensions_;
  std::vector<uint8_t> pixels_;
  mutable std::unique_ptr<TBitmap> bitmap_;
  mutable std::unique_ptr<TBitmap> mask_;
  mutable bool maskChecked_ = false;
};

} // namespace kestrel
