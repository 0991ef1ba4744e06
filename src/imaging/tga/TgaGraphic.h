#pragma once
// TTgaGraphic: Targa pictures (".tga" and ".afi", "Truevision Targa"; ".vst", "Truevision Vista")
// through the bitmap module. Reading gives ifColor256 (colour-mapped and grey files) or
// ifTrueColor; only 256-grey, 256-colour and true-colour pictures can be written. A Targa file
// carries no resolution, so the picture keeps the screen's. Loading reads the one image of the
// file: there are no frames.

#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"

namespace kestrel {

KESTREL_EXCEPTION_CLASS(ETgaError, Exception)

class TTgaGraphic : public TDibGraphic {
public:
  const char* ClassName() const override { return "TTgaGraphic"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // Reads the image starting at the stream's position (offsets count from there). Errors raise
  // EBmodError.
  void LoadFromStream(TStream& stream) override;
  // Writes at the stream's position; any format but ifGray256, ifColor256 and ifTrueColor raises
  // ETgaError "TARGA image must be true color or 8 bit with palette".
  void SaveToStream(TStream& stream) override;
  // From the header alone.
  TImageInfo ReadInfo(TStream& stream) const override;
};

} // namespace kestrel
