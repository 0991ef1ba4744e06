#pragma once
// Writing plain metafiles from the commands of an enhanced one: a placeable header whose bounds
// are the picture's frame in reference-device pixels, the metafile header, a window set to those
// bounds, then each command as its 16-bit record. Commands a plain metafile cannot hold raise
// EInvalidGraphic naming the record.

#include "imaging/binary/ByteWriter.h"
#include "imaging/metafile/MetaCommand.h"
#include "imaging/metafile/MetaReader.h"

#include <map>

namespace kestrel {

class TWmfWriter {
public:
  explicit TWmfWriter(const TMetafileHeader& source);
  void Write(const TMetaCommand& command);
  std::vector<uint8_t> Finish();

private:
  void Begin(uint16_t function);
  void End();
  void Record(uint16_t function, std::initializer_list<int> words);
  void Coordinate(int64_t value);
  void YX(const TPoint& p);
  void Box(const TRect& r);
  void Area(const TRect& r, bool withSize);
  void Points(const std::vector<TPoint>& points);
  void Dib(std::span<const uint8_t> info, std::span<const uint8_t> bits);
  void WriteObject(const TMetaCommand& c);
  void WriteStock(uint32_t stock);
  void WriteText(const TMetaCommand& c);
  void WriteBlt(const TMetaCommand& c);
  void Select(uint16_t function, uint32_t handle);
  uint16_t NewSlot(uint32_t handle);
  [[noreturn]] void Refuse(const TMetaCommand& c) const;

  TByteWriter out_;
  size_t recordStart_ = 0;
  uint32_t maxRecordWords_ = 0;
  TMetaSlots slots_;
  uint32_t maxSlots_ = 0;
  std::map<uint32_t, uint16_t> handles_; // handle of the source -> slot here
  std::map<uint32_t, uint16_t> stock_;   // stock object -> slot of its stand-in
  bool clipped_ = false;
};

} // namespace kestrel
