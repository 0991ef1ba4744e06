#include "app/view/AnimationView.h"

#include "imaging/core/Bitmap.h"
#include "imaging/gif/GIFImage.h"
#include "processing/resample/Halving.h"

namespace kestrel {
namespace {

int CeilDiv(int64_t a, int64_t b) {
  return static_cast<int>((a + b - 1) / b);
}

// How often the picture was halved to give the view, or -1 when it was not.
int HalvingsTo(int width, int height, int viewWidth, int viewHeight) {
  for (int n = 1; (width >> n) > 0 && (height >> n) > 0; ++n)
    if ((width >> n) == viewWidth && (height >> n) == viewHeight) return n;
  return -1;
}

// The view pixels a stretched copy samples from area: every pixel whose source lies in it.
TRect Stretched(const TGIFImage& animation, const TRect& area, const TRect& view) {
  const int64_t w = animation.Width(), h = animation.Height();
  return IntersectRects({static_cast<int>(area.Left * view.Right / w),
                         static_cast<int>(area.Top * view.Bottom / h),
                         CeilDiv(area.Right * int64_t(view.Right), w),
                         CeilDiv(area.Bottom * int64_t(view.Bottom), h)},
                        view);
}

TRect RedrawReduced(TBitmap& view, TGIFImage& animation, const TRect& area, int halvings) {
  const int block = 1 << halvings;
  const TRect part = IntersectRects({area.Left / block, area.Top / block,
                                     CeilDiv(area.Right, block), CeilDiv(area.Bottom, block)},
                                    {0, 0, view.Width(), view.Height()});
  if (part.IsEmpty()) return part;
  // The blocks under the part, halved as the whole picture was.
  const TRect source{part.Left * block, part.Top * block, part.Right * block, part.Bottom * block};
  TBitmap blocks;
  blocks.SetPixelFormat(pf24bit);
  blocks.SetSize(source.Width(), source.Height());
  animation.DrawArea(
      blocks.Canvas(),
      OffsetRect({0, 0, animation.Width(), animation.Height()}, -source.Left, -source.Top),
      {0, 0, source.Width(), source.Height()});
  TBitmap halved;
  HalveWhileAbove(blocks, halved, part.Height());
  view.Canvas().CopyRect(part, halved.Canvas(), {0, 0, halved.Width(), halved.Height()});
  return part;
}

} // namespace

std::optional<TRect> RedrawAnimationArea(TBitmap& view, TGIFImage& animation, const TRect& area,
                                         bool reduced) {
  if (view.Empty() || animation.Empty() || animation.Width() <= 0 || animation.Height() <= 0)
    return std::nullopt;
  if (reduced) {
    const int halvings =
        HalvingsTo(animation.Width(), animation.Height(), view.Width(), view.Height());
    if (halvings < 0) return std::nullopt;
    return RedrawReduced(view, animation, area, halvings);
  }
  const TRect whole{0, 0, view.Width(), view.Height()};
  const TRect part = Stretched(animation, area, whole);
  animation.DrawArea(view.Canvas(), whole, part);
  return part;
}

} // namespace kestrel
