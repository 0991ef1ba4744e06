#pragma once
// The graphic control extension: how long a frame stays, what becomes of its area afterwards and
// which colour index is transparent.

#include "imaging/gif/GIFExtension.h"

namespace kestrel {

// What a painter does with a frame's area before the next frame.
enum TGIFDisposal : int {
  dpNone = 0,       // not specified
  dpKeep = 1,       // leave the frame in place
  dpBackground = 2, // restore the area to the background
  dpPrevious = 3,   // restore what was there before the frame
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0xF9;

  using TGIFExtension::TGIFExtension;
  const char* ClassName() const override { return "TGIFGraphicControlExtension"; }
  uint8_t Label() const override { return kLabel; }
  std::unique_ptr<TGIFExtension> Clone() const override {
    return std::make_unique<TGIFGraphicControlExtension>(*this);
  }

  int Disposal = dpNone;    // 0..7
  bool UserInput = false;   // wait for the user before going on
  bool Transparent = false; // TransparentColorIndex is transparent
  uint16_t Delay = 0;       // hundredths of a second
  uint8_t TransparentColorIndex = 0;

protected:
  void LoadBody(TStream& stream) override;
  void SaveBody(TStream& stream) override;

private:
  static constexpr int kFixedSize = 4; // bytes behind the size byte
};

} // namespace kestrel
