#pragma once
// Reading plain metafiles: an optional placeable header (bounds and logical units per inch), the
// metafile header, then records of 16-bit parameters.

#include "imaging/metafile/MetaReader.h"

namespace kestrel {

class TWmfReader : public TMetaReader {
public:
  explicit TWmfReader(std::span<const uint8_t> bytes);
  bool Next(TMetaCommand& command) override;

private:
  void Decode(uint16_t function, std::span<const uint8_t> params, uint32_t words,
              TMetaCommand& command);
  void DecodeObject(uint16_t function, std::span<const uint8_t> params, TMetaCommand& command);
  void DecodeBlt(uint16_t function, std::span<const uint8_t> params, uint32_t words,
                 TMetaCommand& command);

  std::span<const uint8_t> bytes_;
  TMetaSlots slots_;
  bool done_ = false;
};

// The bitmap of a record: header and colour table, then pixels. Raises EInvalidGraphic when the
// header cannot be read.
void SplitMetaDib(std::span<const uint8_t> dib, std::span<const uint8_t>& info,
                  std::span<const uint8_t>& bits);

} // namespace kestrel
