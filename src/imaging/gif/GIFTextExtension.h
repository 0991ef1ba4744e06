#pragma once
// Plain text to be drawn over the picture in a grid of character cells.

#include "imaging/gif/GIFExtension.h"

#include <string>
#include <vector>

namespace kestrel {

class TGIFTextExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0x01;

  using TGIFExtension::TGIFExtension;
  const char* ClassName() const override { return "TGIFTextExtension"; }
  uint8_t Label() const override { return kLabel; }
  std::unique_ptr<TGIFExtension> Clone() const override {
    return std::make_unique<TGIFTextExtension>(*this);
  }

  // The text grid on the logical screen, in pixels.
  uint16_t Left = 0;
  uint16_t Top = 0;
  uint16_t GridWidth = 0;
  uint16_t GridHeight = 0;
  uint8_t CellWidth = 0;
  uint8_t CellHeight = 0;
  uint8_t ForegroundColorIndex = 0;
  uint8_t BackgroundColorIndex = 0;
  std::vector<std::string> Lines;

protected:
  void LoadBody(TStream& stream) override;
  void SaveBody(TStream& stream) override;

private:
  static constexpr int kFixedSize = 12; // bytes behind the size byte
};

} // namespace kestrel
