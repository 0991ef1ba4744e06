#pragma once
// Writing enhanced metafiles from the commands of a plain one. The reference device has one
// pixel per hundredth of a millimetre, so the frame is exact in its units; the file starts by
// mapping the plain metafile's window (its bounds) onto that frame, as a plain metafile is played,
// and viewport values are carried over into device pixels. Commands an enhanced metafile cannot
// hold raise EInvalidGraphic naming the record.

#include "imaging/binary/ByteWriter.h"
#include "imaging/metafile/MetaCommand.h"
#include "imaging/metafile/MetaReader.h"

namespace kestrel {

class TEmfWriter {
public:
  explicit TEmfWriter(const TMetafileHeader& source);
  void Write(const TMetaCommand& command);
  std::vector<uint8_t> Finish();

private:
  void Begin(uint32_t type);
  void End();
  void Record(uint32_t type, std::initializer_list<int32_t> values);
  void Rect(const TRect& r);
  void Bounds(const std::vector<TPoint>& points);
  void Points(const std::vector<TPoint>& points, bool small);
  void Data(std::span<const uint8_t> info, std::span<const uint8_t> bits, size_t at);
  void WriteObject(const TMetaCommand& c);
  void WriteText(const TMetaCommand& c);
  void WriteBlt(const TMetaCommand& c);
  int32_t Device(double referenceUnits) const;
  [[noreturn]] void Refuse(const TMetaCommand& c) const;

  TByteWriter out_;
  size_t recordStart_ = 0;
  uint32_t records_ = 0;
  uint32_t maxHandle_ = 0;
  double scale_ = 1; // reference units of the source to device pixels here
};

} // namespace kestrel
