#pragma once
// TNegativeTransform: the colour negative of a TDibGraphic. Black and white and the grey formats
// complement their stored bytes (the grey palettes are ascending ramps, so the complemented index
// is the negative grey); true colour complements red, green and blue of every pixel; the colour
// palette formats keep their indices and get the negative palette instead. The TIFF reader uses it
// for pictures whose file says zero is white.

#include "imaging/transform/ImageTransform.h"

namespace kestrel {

class TNegativeTransform : public TImageTransform {
public:
  const char* ClassName() const override { return "TNegativeTransform"; }

  // Reports 0 first and 100 last, and each row of the pixel formats in between.
  void Apply(TDibGraphic& graphic) override;
  // dest becomes a copy of source, then its negative.
  void ApplyOnDest(const TDibGraphic& source, TDibGraphic& dest) override;

private:
  // Complements the first bytesPerRow bytes of every row, reporting each row.
  void ComplementRows(TDibGraphic& graphic, int bytesPerRow);
  static void ComplementPalette(TDibGraphic& graphic);
};

} // namespace kestrel
