#include "imaging/tga/TgaGraphic.h"

#include "imaging/bmod/BmodBridge.h"

namespace kestrel {

namespace {
// The module picks its coder by this name's extension.
const char* const kModuleName = "File.tga";

} // namespace

std::unique_ptr<TGraphic> TTgaGraphic::NewInstance() const {
  return std::make_unique<TTgaGraphic>();
}

void TTgaGraphic::LoadFromStream(TStream& stream) {
  TBmodStreamFile file(stream);
  BmodReadImage(*this, file, kModuleName);
}

void TTgaGraphic::SaveToStream(TStream& stream) {
  const TImageFormat format = ImageFormat();
  if (!Empty() && format != ifGray256 && format != ifColor256 && format != ifTrueColor)
    throw ETgaError("TARGA image must be true color or 8 bit with palette");
  TBmodStreamFile file(stream);
  BmodWriteImage(*this, file, kModuleName);
}

TImageInfo TTgaGraphic::ReadInfo(TStream& stream) const {
  TBmodStreamFile file(stream);
  return BmodReadInfo(file, kModuleName);
}

} // namespace kestrel
