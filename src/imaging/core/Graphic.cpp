#include "imaging/core/Graphic.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Canvas.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Stream.h"

namespace kestrel {

void TPersistent::Assign(const TPersistent* source) {
  if (!source) AssignError(nullptr);
  source->AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& target) const {
  target.AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const {
  throw EConvertError(formatMessage("Cannot assign a %s to a %s",
                                    source ? source->ClassName() : "nil", ClassName()));
}

void TGraphic::AssignTo(TPersistent& target) const {
  auto* bitmap = dynamic_cast<TBitmap*>(&target);
  if (!bitmap) return TPersistent::AssignTo(target);
  bitmap->Assign(nullptr);
  bitmap->SetPixelFormat(pf24bit);
  bitmap->Canvas().Brush.Color = clWhite;
  bitmap->SetSize(Width(), Height());
  if (!bitmap->Empty())
    bitmap->Canvas().StretchDraw({0, 0, Width(), Height()}, const_cast<TGraphic&>(*this));
}

void TGraphic::SetModified(bool value) {
  if (value)
    Changed();
  else
    modified_ = false;
}

void TGraphic::LoadFromFile(const std::string& path) {
  TFileStream stream(path, TFileMode::OpenRead);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& path) {
  TFileStream stream(path, TFileMode::Create);
  SaveToStream(stream);
  stream.Flush();
}

void TGraphic::LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData&,
                                       const TPalette&) {
  throw EInvalidGraphic(formatMessage("Unknown clipboard format, %u", format));
}

void TGraphic::SaveToClipboardFormat(TClipboardFormat&, TClipboardData&, TPalette&) const {
  throw EInvalidGraphic(formatMessage("%s cannot be put on the clipboard", ClassName()));
}

TImageInfo TGraphic::Info() const {
  TImageInfo info;
  info.Width = Width();
  info.Height = Height();
  info.PaletteEntries = Palette().Count();
  return info;
}

TImageInfo TGraphic::ReadInfo(TStream& stream) const {
  auto graphic = NewInstance();
  graphic->LoadFromStream(stream);
  return graphic->Info();
}

void TGraphic::Changed() {
  modified_ = true;
  if (OnChange) OnChange(*this);
}

void TGraphic::Progress(TProgressStage stage, int percent, const std::string& message) {
  if (OnProgress) OnProgress(*this, stage, percent, message);
}

void TGraphic::DoSetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

} // namespace kestrel
