#pragma once
// Reading metafiles: the header and then the records one by one as drawing commands. Every record
// is checked against the file and against its own size as it is decoded; a damaged file raises
// EInvalidGraphic with a short reason, never more.

#include "imaging/metafile/MetaCommand.h"

#include <cstdint>
#include <memory>
#include <set>
#include <span>

namespace kestrel {

struct TMetafileHeader {
  bool Enhanced = false;
  // The picture's frame in reference-device units, which drawing maps onto the destination
  // rectangle, and the reference device's units per millimetre (for the fixed mapping modes).
  double FrameLeft = 0, FrameTop = 0, FrameRight = 0, FrameBottom = 0;
  double UnitsPerMmX = 96 / 25.4, UnitsPerMmY = 96 / 25.4;
  // The frame's size in hundredths of a millimetre.
  int64_t MmWidth = 0, MmHeight = 0;
  // Plain metafiles: the placeable header's bounds and logical units per inch.
  bool Placeable = false;
  TRect Bounds;
  int Inch = 0;
  // Enhanced metafiles: bounds (device units) and frame (0.01 mm), both inclusive, and the
  // reference device's size in pixels and in millimetres.
  TRect EmfBounds, EmfFrame;
  TSize Device, Millimeters;
  size_t RecordsStart = 0; // where the records start in the file
};

class TMetaReader {
public:
  virtual ~TMetaReader() = default;
  const TMetafileHeader& Header() const { return header_; }
  // Decodes the next record; false after the end-of-file record or the end of the data.
  virtual bool Next(TMetaCommand& command) = 0;
  // Where the next record starts (after the last: the end of the metafile's data).
  size_t Position() const { return pos_; }

protected:
  TMetafileHeader header_;
  size_t pos_ = 0;
};

// A reader of the flavour the bytes start with (an enhanced header, else a plain metafile with or
// without a placeable header); raises EInvalidGraphic when the header is damaged.
std::unique_ptr<TMetaReader> OpenMetaReader(std::span<const uint8_t> bytes);

// Keeps the object slots of a plain metafile: an object takes the lowest free slot.
class TMetaSlots {
public:
  // The handle (slot + 1) of a new object.
  uint32_t Allocate();
  void Free(uint32_t handle);
  bool InUse(uint32_t handle) const;

private:
  std::set<uint32_t> free_; // freed slots below next_
  uint32_t next_ = 0;
};

} // namespace kestrel
