#pragma once
// The loop extension of animations: how often the frames are played, and a buffer size hint.

#include "imaging/gif/GIFApplicationExtension.h"

namespace kestrel {

class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
  // The two identifiers the extension is written under by the programs that use it.
  static constexpr const char* kIdentifier = "NETSCAPE2.0";
  static constexpr const char* kAlternativeIdentifier = "ANIMEXTS1.0";

  TGIFAppExtNSLoop() { Identifier = kIdentifier; }
  const char* ClassName() const override { return "TGIFAppExtNSLoop"; }
  std::unique_ptr<TGIFExtension> Clone() const override {
    return std::make_unique<TGIFAppExtNSLoop>(*this);
  }

  uint16_t Loops = 0;      // 0 = forever
  uint32_t BufferSize = 0; // 0 = not given

protected:
  // Each sub-block starts with an identifier byte (low 3 bits): 1 = loop count (at least 3 bytes),
  // 2 = buffer size (at least 5 bytes); a shorter one raises GIFException "Invalid GIF data";
  // other identifiers are skipped.
  void LoadData(TStream& stream) override;
  void SaveData(TStream& stream) override;
};

} // namespace kestrel
