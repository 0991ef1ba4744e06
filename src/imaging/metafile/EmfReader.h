#pragma once
// Reading enhanced metafiles: the header record (bounds, frame, reference device), then records
// of 32-bit parameters.

#include "imaging/metafile/MetaReader.h"

namespace kestrel {

class TEmfReader : public TMetaReader {
public:
  explicit TEmfReader(std::span<const uint8_t> bytes);
  bool Next(TMetaCommand& command) override;

  // Whether bytes start with an enhanced metafile header.
  static bool Recognizes(std::span<const uint8_t> bytes);

private:
  void Decode(uint32_t type, std::span<const uint8_t> record, TMetaCommand& command);
  void DecodeObject(uint32_t type, std::span<const uint8_t> record, TMetaCommand& command);
  void DecodeBlt(uint32_t type, std::span<const uint8_t> record, TMetaCommand& command);
  void DecodeText(uint32_t type, std::span<const uint8_t> record, TMetaCommand& command);

  std::span<const uint8_t> bytes_;
  bool done_ = false;
};

} // namespace kestrel
