#pragma once
// Fields both metafile flavours hold in the same order: a logical font's numbers and flags (as
// 16-bit integers in plain metafiles, 32-bit in enhanced ones) and a logical palette.

#include "imaging/metafile/MetaCommand.h"

#include <cstdint>
#include <vector>

namespace kestrel {

class TByteReader;
class TByteWriter;

// Records that hold one number (none for saving the state), with their type in each flavour.
struct TValueRecord {
  TMetaOp Op;
  uint16_t Plain;
  uint32_t Enhanced;
  bool HasValue;
};
// The record of op, or null when it is not such a record.
const TValueRecord* FindValueRecord(TMetaOp op);

void ReadFontFields(TByteReader& r, TMetaFont& font, bool wide);
// Raises EInvalidGraphic when a number does not fit a plain metafile's 16 bits.
void WriteFontFields(TByteWriter& out, const TMetaFont& font, bool wide);

// Version, entry count and the entries (red, green, blue, flags).
void ReadPaletteFields(TByteReader& r, std::vector<uint32_t>& entries);
void WritePaletteFields(TByteWriter& out, const std::vector<uint32_t>& entries);

} // namespace kestrel
