#include "imaging/pcx/PcxGraphic.h"

#include "imaging/bmod/BmodBridge.h"

namespace kestrel {

namespace {
// The module picks its coder by this name's extension.
const char* const kModuleName = "File.pcx";

} // namespace

std::unique_ptr<TGraphic> TPcxGraphic::NewInstance() const {
  return std::make_unique<TPcxGraphic>();
}

void TPcxGraphic::ReadImage(TBmodFile& file) {
  BmodReadImage(*this, file, kModuleName);
}

void TPcxGraphic::WriteImage(TBmodFile& file) const {
  BmodWriteImage(*this, file, kModuleName);
}

TImageInfo TPcxGraphic::ReadImageInfo(TBmodFile& file) {
  return BmodReadInfo(file, kModuleName);
}

void TPcxGraphic::SingleLoadFromStream(TStream& stream, int) {
  TBmodStreamFile file(stream);
  ReadImage(file);
}

void TPcxGraphic::SaveToStream(TStream& stream) {
  TBmodStreamFile file(stream);
  WriteImage(file);
}

TImageInfo TPcxGraphic::ReadInfo(TStream& stream) const {
  TBmodStreamFile file(stream);
  return ReadImageInfo(file);
}

} // namespace kestrel
