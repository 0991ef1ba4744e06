#pragma once
// How a painter puts the frames of an animation on its target rectangle, honouring what each frame
// leaves behind. When some frame restores its area afterwards (to the background, or to what was
// there before it), frames are composed in a work buffer the size of the rectangle and only the
// part that changed is copied to the target; otherwise each frame is drawn straight on the target.
// Restoring to the background copies the target as it was at set-up (with gdTransparent) or fills
// with the image's background colour.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Types.h"
#include "imaging/gif/GIFOptions.h"

#include <cstdint>
#include <optional>

namespace kestrel {

class TCanvas;
class TGIFImage;
class TGIFSubImage;

class TGIFComposer {
public:
  // The disposal a frame asks for: its graphic control extension's, where the values that mean
  // nothing (4..7) and a missing extension count as keep.
  static int DisposalOf(const TGIFSubImage& frame);
  // Bytes of the buffers composing image in a rectangle of width x height takes with options;
  // nothing when they pass the image size limits.
  static std::optional<uint64_t> BufferBytes(const TGIFImage& image, int width, int height,
                                             TGIFDrawOptions options);

  // target and image must outlive the composer.
  TGIFComposer(const TGIFImage& image, TCanvas& target, const TRect& rect, TGIFDrawOptions options);

  // Makes the buffers from the target; false (and nothing made) when they would pass the limits.
  bool SetUp();
  // Before the first frame of a pass: with gdClearOnPass the whole rectangle returns to the
  // background. Returns the part of the target changed.
  TRect BeginPass();
  // Puts frame on the target, drawn through its mask when masked; disposal as DisposalOf gives
  // it. Returns the part of the target changed.
  TRect Paint(const TGIFSubImage& frame, int disposal, bool masked);
  // Frees the buffers; nothing may be painted after.
  void Release();

private:
  TRect AreaOf(const TGIFSubImage& frame) const;
  void RestoreBackground(TCanvas& canvas, const TRect& area);
  void MakeBuffer(TBitmap& buffer) const;
  TRect Whole() const { return {0, 0, rect_.Width(), rect_.Height()}; }
  TRect OnTarget(const TRect& area) const { return OffsetRect(area, rect_.Left, rect_.Top); }

  const TGIFImage& image_;
  TCanvas& target_;
  TRect rect_;
  TGIFDrawOptions options_;
  TColor background_;
  bool buffered_ = false; // some frame restores its area
  bool captures_ = false; // the background is the target as it was
  // Buffers in rectangle coordinates: the composition so far, a scratch for frames that restore
  // what was before them, and the captured background.
  TBitmap work_, previous_, captured_;
  int previousDisposal_ = 0;
  TRect previousArea_;
};

} // namespace kestrel
