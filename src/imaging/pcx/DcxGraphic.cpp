#include "imaging/pcx/DcxGraphic.h"

#include "imaging/bmod/BmodFile.h"

namespace kestrel {

std::unique_ptr<TGraphic> TDcxGraphic::NewInstance() const {
  return std::make_unique<TDcxGraphic>();
}

int TDcxGraphic::ImageCountInStream(TStream& stream) {
  return TDcxTable(stream, stream.Position()).PageCount();
}

void TDcxGraphic::SingleLoadFromStream(TStream& stream, int page) {
  const TDcxPage range = TDcxTable(stream, stream.Position()).Page(page);
  TBmodStreamFile file(stream, range.Start, range.End);
  ReadImage(file);
}

void TDcxGraphic::SaveToStream(TStream& stream) {
  TDcxTable::WriteNew(stream);
  TBmodStreamFile file(stream);
  WriteImage(file);
}

void TDcxGraphic::AppendToStream(TStream& stream) {
  if (stream.Size() == 0) return SaveToStream(stream);
  TDcxTable table(stream, 0);
  const int64_t entry = table.FreeEntry();
  // The page goes in before the table points at it, so a failed write leaves a valid file.
  const int64_t end = stream.Seek(0, TSeekOrigin::End);
  TBmodStreamFile file(stream);
  WriteImage(file);
  table.SetEntry(entry, end);
}

TImageInfo TDcxGraphic::ReadInfo(TStream& stream) const {
  const int64_t start = stream.Position();
  TDcxTable table(stream, start);
  const int pages = table.PageCount();
  const TDcxPage first = table.Page(1);
  TBmodStreamFile file(stream, first.Start, first.End);
  TImageInfo info = ReadImageInfo(file);
  info.Frames = pages;
  return info;
}

} // namespace kestrel
