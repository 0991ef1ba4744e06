#pragma once
// TPcxGraphic: PC Paintbrush pictures (".pcx", ".pcc", "ZSoft PC Paintbrush") through the bitmap
// module. Reading gives ifBlackWhite, ifColor16, ifColor256 or ifTrueColor with the file's
// resolution; every format can be written (grey pictures as 4 or 8 bits with their palette).
// Errors raise EBmodError (BmodBridge.h).

#include "imaging/core/DibGraphic.h"

namespace kestrel {

class TBmodFile;

class TPcxGraphic : public TDibGraphic {
public:
  const char* ClassName() const override { return "TPcxGraphic"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // Reads one image starting at the stream's position (index ignored); offsets in the file count
  // from there.
  void SingleLoadFromStream(TStream& stream, int index) override;
  // Writes one image at the stream's position.
  void SaveToStream(TStream& stream) override;
  // From the header alone.
  TImageInfo ReadInfo(TStream& stream) const override;

protected:
  // One PC Paintbrush image at offset 0 of file.
  void ReadImage(TBmodFile& file);
  void WriteImage(TBmodFile& file) const;
  static TImageInfo ReadImageInfo(TBmodFile& file);
};

} // namespace kestrel
