#pragma once
// TGIFImage: the picture class of GIF files (87a and 89a). The file is kept as a tree of its parts:
// the header with the logical screen and the global colour table, and the frames, each with its
// extensions, descriptor, optional local colour table and one byte per pixel. Damaged files are
// read as far as they go, reporting warnings instead of failing; writing rebuilds every flag byte
// from the tree and picks the lowest version that holds it.

#include "imaging/core/Graphic.h"
#include "imaging/gif/GIFHeader.h"
#include "imaging/gif/GIFList.h"
#include "imaging/gif/GIFOptions.h"
#include "imaging/gif/GIFPainter.h"
#include "imaging/gif/GIFSubImage.h"
#include "imaging/gif/GIFWarning.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kestrel {

class TGIFProgress;

class TGIFImage : public TGraphic {
public:
  TGIFImage();
  ~TGIFImage() override;

  const char* ClassName() const override { return "TGIFImage"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // The parts.
  TGIFHeader& Header() { return header_; }
  const TGIFHeader& Header() const { return header_; }
  TGIFGlobalColorMap& GlobalColorMap() { return header_.ColorMap(); }
  const TGIFGlobalColorMap& GlobalColorMap() const { return header_.ColorMap(); }
  // Every frame read, including those of extensions only (a comment at the end of the file).
  TGIFImageList& Images() { return images_; }
  const TGIFImageList& Images() const { return images_; }
  // The frames that have pixels: what a viewer counts as the pictures of an animation.
  int FrameCount() const;
  // Removes every frame and the global colour table.
  void Clear();

  // Adds a frame: a copy of a frame, copies of another image's frames, or a frame made from a
  // graphic (see TGIFSubImage::Assign). Returns the index of the last frame added. Anything else
  // raises GIFException "Object type not supported for operation".
  int Add(const TPersistent* source);

  // Settings (see TGIFOptions).
  const TGIFOptions& Options() const { return options_; }
  TGIFDrawOptions DrawOptions() const { return options_.DrawOptions; }
  // Drops the rendered frames and palettes, gives the colour table of a single frame to the
  // logical screen when it has none, and signals a change.
  void SetDrawOptions(TGIFDrawOptions options);
  int ColorReduction() const { return options_.ColorReduction; }
  void SetColorReduction(int mode) { options_.ColorReduction = mode; }
  int ReductionBits() const { return options_.ReductionBits; }
  // 3..8; anything else raises GIFException "Invalid Bits Per Pixel value".
  void SetReductionBits(int bits);
  int DitherMode() const { return options_.DitherMode; }
  void SetDitherMode(int mode) { options_.DitherMode = mode; }
  TGIFCompression Compression() const { return options_.Compression; }
  void SetCompression(TGIFCompression compression) { options_.Compression = compression; }
  int ThreadPriority() const { return options_.ThreadPriority; }
  void SetThreadPriority(int priority) { options_.ThreadPriority = priority; }
  int AnimationSpeed() const { return options_.AnimationSpeed; }
  void SetAnimationSpeed(int percent) { options_.AnimationSpeed = percent; }
  TColor BackgroundColor() const { return options_.BackgroundColor; }
  void SetBackgroundColor(TColor color) { options_.BackgroundColor = color; }
  // The colour behind the frames: the background colour when one is set, else the colour of the
  // background index in the global table, else the system window colour.
  TColor EffectiveBackgroundColor() const;

  // Frames are rendered dithered onto the 216-colour cube: gdDither without gdDitherPalDevice.
  // This is what selects the palette the picture is drawn with.
  bool Dithering() const;
  // True when some frame's graphic control extension marks a colour transparent.
  bool HasTransparentFrames() const;
  // The largest bits per pixel of the global and the local colour tables.
  int BitsPerPixel() const;
  // The largest bits per pixel of the frames' own tables.
  int FrameColorMapBits() const;
  // The version the file must be written as: 89a as soon as one frame needs it (extensions or a
  // sorted local table), 87a otherwise; Unknown without frames.
  TGIFVersion NeededVersion() const;

  // Warnings: with a handler installed every warning goes to it; without one a warning of
  // severity Error raises GIFException with its message and the others are passed over.
  TGIFWarning OnWarning;
  void Warning(const void* sender, TGIFSeverity severity, const std::string& message) const;

  // Draws the picture into rect. A still picture, or one drawn without gdAnimate, is its first
  // frame (through its mask with gdTransparent, tiled with gdTile). An animation starts a painter
  // (see TGIFPainter): with gdDirect on canvas itself; otherwise on the image's own bitmap of the
  // logical screen, which takes what rect holds first and is then stretched into rect (later draws
  // only stretch it, until the image changes). An asynchronous painter needs timers that fire on
  // this thread, and buffers must stay within the image size limits: otherwise the first frame is
  // drawn.
  void Draw(TCanvas& canvas, const TRect& rect) override;
  // As Draw, writing only the pixels of rect inside part: how a viewer redraws what a frame
  // changed.
  void DrawArea(TCanvas& canvas, const TRect& rect, const TRect& part);

  // Animation. The handlers are copied into each painter when it is made.
  TGIFPainter::TPainterEvent OnStartPaint, OnLoop, OnPaint, OnAfterPaint, OnEndPaint;
  // A painter on the image's own bitmap painted a frame outside Draw: area is the part of the
  // logical screen that changed. Without a handler the image's change event is raised instead.
  std::function<void(TGIFImage& sender, const TRect& area)> OnFramePainted;
  // Starts a painter in rect of canvas: none for an empty image or an empty rect; for a one-frame
  // image gdAsync and gdAnimate are dropped. A synchronous painter has played to its end when this
  // returns; an asynchronous one has painted its first frame and is kept until it ends or the
  // painters are stopped.
  std::shared_ptr<TGIFPainter> StartPainter(TCanvas& canvas, const TRect& rect,
                                            TGIFDrawOptions options);
  // Stops every painter at once; none is waited for. Any change to the image does this first.
  void StopPainters();
  // Some painter is playing.
  bool Animating() const;

  void LoadFromStream(TStream& stream) override;
  // Raises GIFException "Unsupported GIF version" for an image without frames.
  void SaveToStream(TStream& stream) override;
  // The "GIF Image" format (the file's bytes) or a bitmap; anything else raises GIFException
  // "Unsupported clipboard format".
  void LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData& data,
                               const TPalette& palette) override;
  // Hands out the first frame as a bitmap and puts the file's bytes on the clipboard beside it
  // (GIFException "Failed to store GIF on clipboard" when there is no clipboard to take them).
  void SaveToClipboardFormat(TClipboardFormat& format, TClipboardData& data,
                             TPalette& palette) const override;
  TImageInfo Info() const override;
  // Reads the blocks of the file without decoding pixels.
  TImageInfo ReadInfo(TStream& stream) const override;

  // null empties; a TGIFImage is copied whole; a frame becomes the only frame; any other graphic
  // becomes one frame (a failed conversion falls back to the inherited assignment).
  void Assign(const TPersistent* source) override;
  // To a TBitmap: the first frame on the logical screen (see the source).
  void AssignTo(TPersistent& target) const override;

  void Changed() override;

  // The clipboard format "GIF Image", carried as image/gif.
  static TClipboardFormat ClipboardFormat();
  // Registers the class for ".gif" (as the format table describes it) and the clipboard format;
  // the format table does this when the library starts. Raises GIFException "Another
  // TGIFImage class has already been registered with TPicture" when another class holds ".gif".
  static void Register();

  // Frames being read call this before they allocate pixels. A load may take no more than the
  // memory limit, nor more than the data of the file could ever fill (LZW codes expand to at most
  // a few thousand pixels each); past that it raises GIFException "GIF frame exceeds the memory
  // limit", so a tiny file cannot claim gigabytes.
  void ClaimFramePixels(int64_t pixels);

protected:
  bool GetEmpty() const override { return images_.Empty(); }
  int GetWidth() const override { return header_.Width; }
  int GetHeight() const override { return header_.Height; }
  // The global table's colours, else the first frame's (every entry flagged no-collapse); the
  // 216-colour cube while dithering. Kept until the image changes.
  TPalette GetPalette() const override;
  // Transparency of a GIF is the gdTransparent draw option.
  bool GetTransparent() const override { return (options_.DrawOptions & gdTransparent) != 0; }
  void DoSetTransparent(bool value) override;
  // Raise GIFException "Image width too small for contained frames" ("... height ...") when a frame
  // would reach outside, and "Image too large for a GIF" past 65535.
  void DoSetWidth(int width) override;
  void DoSetHeight(int height) override;

private:
  void Load(TStream& stream, bool pixels);
  void LoadFrames(TStream& stream, bool pixels, TGIFProgress& progress);
  void CopyFrom(const TGIFImage& other);
  void AssignGraphic(const TGraphic& graphic);
  void DropRendered();
  void DrawFirstFrame(TCanvas& canvas, const TRect& rect) const;
  bool CanAnimate(TGIFDrawOptions options) const;
  bool PainterRunsOn(const TCanvas& canvas, const TRect& rect) const;
  // Makes the own bitmap and plays on it; false when it and the buffers would pass the limits.
  bool StartOwnPainter(TCanvas& canvas, const TRect& rect, TGIFDrawOptions options);
  void FramePainted(const TRect& area);
  TRect ScreenRect() const { return {0, 0, Width(), Height()}; }
  // Raises when a side of the logical screen would not hold every frame.
  void CheckScreenSide(int value, bool horizontal) const;

  TGIFHeader header_;
  TGIFImageList images_;
  TGIFOptions options_;
  mutable std::optional<TPalette> palette_;
  bool drawing_ = false;
  std::vector<std::shared_ptr<TGIFPainter>> painters_;
  // The logical screen an animation plays on when it is not drawn directly.
  std::unique_ptr<TBitmap> ownBitmap_;
  // What frames may still allocate while a load runs (none outside a load).
  std::optional<uint64_t> pixelBudget_;
};

} // namespace kestrel
