#pragma once
// TIconGraphic: the device-independent picture of an icon. Reading draws the icon's shown image
// on black into a true-colour picture (transparent parts become black); writing makes an icon of
// the system's large-icon size with this picture at its top-left corner (cut off when larger) and
// every pixel opaque. It is registered for no extension: TDibGraphic::AssignTo uses it to turn
// any picture of the image library into a TIcon.

#include "imaging/core/DibGraphic.h"

namespace kestrel {

// The width and height the system gives large icons.
TSize SystemIconSize();

class TIconGraphic : public TDibGraphic {
public:
  const char* ClassName() const override { return "TIconGraphic"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // Reads an icon (index is ignored: an icon file is one picture); raises EInvalidGraphic.
  void SingleLoadFromStream(TStream& stream, int index) override;
  void SaveToStream(TStream& stream) override;
};

} // namespace kestrel
