#include "imaging/gif/GIFComposer.h"

#include "imaging/core/Canvas.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/gif/GIFGraphicControlExtension.h"
#include "imaging/gif/GIFImage.h"

#include <bitset>

namespace kestrel {

namespace {

// The disposals the frames use; gdClearOnPass restores to the background as well.
std::bitset<4> DisposalsUsed(const TGIFImage& image, TGIFDrawOptions options) {
  std::bitset<4> used;
  for (const auto& frame : image.Images())
    used.set(static_cast<size_t>(TGIFComposer::DisposalOf(*frame)));
  if (options & gdClearOnPass) used.set(dpBackground);
  return used;
}

bool Buffered(const std::bitset<4>& used) {
  return used.test(dpBackground) || used.test(dpPrevious);
}

bool Captures(const std::bitset<4>& used, TGIFDrawOptions options) {
  return used.test(dpBackground) && (options & gdTransparent);
}

} // namespace

int TGIFComposer::DisposalOf(const TGIFSubImage& frame) {
  const TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
  if (!control || control->Disposal > dpPrevious) return dpKeep;
  return control->Disposal;
}

std::optional<uint64_t> TGIFComposer::BufferBytes(const TGIFImage& image, int width, int height,
                                                  TGIFDrawOptions options) {
  const std::bitset<4> used = DisposalsUsed(image, options);
  const uint64_t buffers = (Buffered(used) ? 2 : 0) + (Captures(used, options) ? 1 : 0);
  if (buffers == 0) return 0;
  const auto each = ImageLimits::PixelBytes(width, height, 32);
  if (!each) return std::nullopt;
  const auto all = CheckedMul(*each, buffers);
  if (!all || *all > ImageLimits::MaxBytes()) return std::nullopt;
  return all;
}

TGIFComposer::TGIFComposer(const TGIFImage& image, TCanvas& target, const TRect& rect,
                           TGIFDrawOptions options)
    : image_(image), target_(target), rect_(rect), options_(options),
      background_(image.EffectiveBackgroundColor()) {
  const std::bitset<4> used = DisposalsUsed(image, options);
  buffered_ = Buffered(used);
  captures_ = Captures(used, options);
}

bool TGIFComposer::SetUp() {
  if (!buffered_) return true;
  if (!BufferBytes(image_, rect_.Width(), rect_.Height(), options_)) return false;
  if (captures_) {
    MakeBuffer(captured_);
    captured_.Canvas().CopyRect(Whole(), target_, rect_);
  }
  MakeBuffer(work_);
  work_.Canvas().CopyRect(Whole(), target_, rect_);
  MakeBuffer(previous_);
  return true;
}

void TGIFComposer::MakeBuffer(TBitmap& buffer) const {
  buffer.SetPixelFormat(pfDevice);
  buffer.Canvas().Brush.Color = background_;
  buffer.SetSize(rect_.Width(), rect_.Height());
}

TRect TGIFComposer::BeginPass() {
  if (!(options_ & gdClearOnPass) || !buffered_) return {};
  RestoreBackground(work_.Canvas(), Whole());
  target_.CopyRect(rect_, work_.Canvas(), Whole());
  previousDisposal_ = dpNone;
  previousArea_ = {};
  return rect_;
}

TRect TGIFComposer::Paint(const TGIFSubImage& frame, int disposal, bool masked) {
  const bool tile = options_ & gdTile;
  const TRect area = AreaOf(frame);
  // The target differs from the work buffer only where the previous frame went when that frame
  // was restored or drawn elsewhere: that part is put right together with this frame's.
  const TRect changed = previousDisposal_ >= dpBackground ? UnionRects(previousArea_, area) : area;
  TRect painted = changed;
  if (!buffered_ || (disposal == dpPrevious && previousDisposal_ <= dpKeep)) {
    // Straight on the target: the work buffer keeps what is to come back.
    frame.Draw(target_, rect_, masked, tile);
    painted = area;
  } else if (disposal == dpPrevious) {
    previous_.Canvas().CopyRect(changed, work_.Canvas(), changed);
    frame.Draw(previous_.Canvas(), Whole(), masked, tile);
    target_.CopyRect(OnTarget(changed), previous_.Canvas(), changed);
  } else {
    frame.Draw(work_.Canvas(), Whole(), masked, tile);
    target_.CopyRect(OnTarget(changed), work_.Canvas(), changed);
    if (disposal == dpBackground) RestoreBackground(work_.Canvas(), area);
  }
  previousDisposal_ = disposal;
  previousArea_ = area;
  return OnTarget(painted);
}

void TGIFComposer::Release() {
  for (TBitmap* buffer : {&work_, &previous_, &captured_})
    buffer->Assign(nullptr);
  buffered_ = captures_ = false;
}

TRect TGIFComposer::AreaOf(const TGIFSubImage& frame) const {
  if (options_ & gdTile) return Whole();
  return IntersectRects(frame.PlaceIn(Whole()), Whole());
}

void TGIFComposer::RestoreBackground(TCanvas& canvas, const TRect& area) {
  if (captures_) return canvas.CopyRect(area, captured_.Canvas(), area);
  canvas.Brush.Color = background_;
  canvas.FillRect(area);
}

} // namespace kestrel
