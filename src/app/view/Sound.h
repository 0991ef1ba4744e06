#pragma once
// TSound: the graphic class of WAVE files. It has no picture and no behaviour of its own; it is
// registered so that the picture registry, and the file mask built from it, know the extension.
// The picture holder plays WAVE files itself.

#include "imaging/core/Graphic.h"

namespace kestrel {

class TSound : public TGraphic {
public:
  const char* ClassName() const override { return "TSound"; }
  std::unique_ptr<TGraphic> NewInstance() const override { return std::make_unique<TSound>(); }
  void Draw(TCanvas&, const TRect&) override {}
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream&) override {}

protected:
  bool GetEmpty() const override { return true; }
  int GetWidth() const override { return 0; }
  int GetHeight() const override { return 0; }
  void DoSetWidth(int) override {}
  void DoSetHeight(int) override {}
};

// Adds the viewer's own class to the picture registry: TSound under the format table's "wav" row
// (registering again leaves the entry where it was).
void RegisterViewerFormats();

} // namespace kestrel
