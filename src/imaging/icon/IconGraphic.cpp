#include "imaging/icon/IconGraphic.h"

#include "imaging/core/Stream.h"
#include "imaging/icon/Icon.h"

#include <cstring>

namespace kestrel {

namespace {

// A picture of the image library assigned to a TIcon becomes the icon this class writes.
bool AssignToIcon(const TDibGraphic& source, TPersistent& target) {
  auto* icon = dynamic_cast<TIcon*>(&target);
  if (!icon) return false;
  TMemoryStream stream;
  if (const auto* own = dynamic_cast<const TIconGraphic*>(&source)) {
    const_cast<TIconGraphic*>(own)->SaveToStream(stream);
  } else {
    TIconGraphic converted;
    converted.Assign(&source);
    converted.SaveToStream(stream);
  }
  stream.SetPosition(0);
  icon->LoadFromStream(stream);
  return true;
}

const bool registered = [] {
  TDibGraphic::RegisterAssignToHandler(AssignToIcon);
  return true;
}();

} // namespace

TSize SystemIconSize() {
  return {32, 32};
}

std::unique_ptr<TGraphic> TIconGraphic::NewInstance() const {
  (void)registered;
  return std::make_unique<TIconGraphic>();
}

void TIconGraphic::SingleLoadFromStream(TStream& stream, int) {
  TIcon icon;
  icon.LoadFromStream(stream);
  NewImage(icon.Width(), icon.Height(), ifTrueColor, nullptr, 0, 0);
  std::memset(Bits(), 0, static_cast<size_t>(BytesPerLine()) * static_cast<size_t>(Height()));
  icon.Draw(Canvas(), {0, 0, Width(), Height()});
}

void TIconGraphic::SaveToStream(TStream& stream) {
  const TSize size = SystemIconSize();
  // Both bitmaps start black, as new bitmaps do: the colour where the picture does not reach,
  // and an all-opaque mask.
  TBitmap color;
  color.SetPixelFormat(pf24bit);
  color.Canvas().Brush.Color = clBlack;
  color.SetSize(size.Width, size.Height);
  TBitmap mask;
  mask.SetPixelFormat(pf1bit);
  mask.Canvas().Brush.Color = clBlack;
  mask.SetSize(size.Width, size.Height);
  if (!Empty()) Draw(color.Canvas(), {0, 0, Width(), Height()});
  TIcon icon;
  icon.SetImages(color, mask);
  icon.SaveToStream(stream);
}

} // namespace kestrel
