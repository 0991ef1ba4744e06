#pragma once
// Application extensions: an identifier of 8 name bytes and 3 authentication bytes, then data of
// the application's own. The loop extension of animations is understood; any other application's
// data are kept as they were read and written back unchanged.

#include "imaging/gif/GIFExtension.h"

#include <string>
#include <vector>

namespace kestrel {

class TGIFApplicationExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0xFF;
  static constexpr int kIdentifierSize = 11;

  using TGIFExtension::TGIFExtension;
  const char* ClassName() const override { return "TGIFApplicationExtension"; }
  uint8_t Label() const override { return kLabel; }

  // The identifier as read (10 bytes in blocks that have only 10, fewer in a cut file). It is
  // written as read when it has 10 bytes, otherwise as 11 (cut, or padded with spaces).
  std::string Identifier;
  // The bytes of a longer block past the identifier. They are written back after it, so that the
  // block keeps its size: a block of another size than 11 must not come back as a loop extension,
  // whose data it does not hold.
  std::vector<uint8_t> Trailing;

  // The class for the block after the label: the loop extension for its two identifiers, else the
  // keeper of unknown data.
  static std::unique_ptr<TGIFExtension> Create(TStream& afterLabel);

protected:
  // Reads the block size and the identifier: a size below 10 raises GIFException "Unsupported
  // Application Extension block size", bytes past the 11th are kept aside. Then LoadData.
  void LoadBody(TStream& stream) final;
  void SaveBody(TStream& stream) final;
  virtual void LoadData(TStream& stream) = 0;
  virtual void SaveData(TStream& stream) = 0;
};

// Data of an application this program does not know, kept sub-block by sub-block.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
  using TGIFApplicationExtension::TGIFApplicationExtension;
  const char* ClassName() const override { return "TGIFUnknownAppExtension"; }
  std::unique_ptr<TGIFExtension> Clone() const override {
    return std::make_unique<TGIFUnknownAppExtension>(*this);
  }

  std::vector<TGIFBlock> Blocks;

protected:
  void LoadData(TStream& stream) override { Blocks = ReadBlocks(stream); }
  void SaveData(TStream& stream) override { WriteGIFBlocks(stream, Blocks); }
};

} // namespace kestrel
