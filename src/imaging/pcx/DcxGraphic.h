#pragma once
// TDcxGraphic: multi-page PC Paintbrush files (".dcx", "DCX file"): a page table (DcxTable.h)
// followed by one PC Paintbrush image per page. Loading reads page ImageIndex (or every page as
// frames); saving writes a one-page file; AppendToStream adds a page.

#include "imaging/pcx/DcxTable.h"
#include "imaging/pcx/PcxGraphic.h"

namespace kestrel {

class TDcxGraphic : public TPcxGraphic {
public:
  const char* ClassName() const override { return "TDcxGraphic"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // The pages of the DCX at the stream's position; EDcxError "The DCX file header is not valid"
  // when its header is damaged.
  int ImageCountInStream(TStream& stream) override;
  // Reads page (1-based) of the DCX at the stream's position.
  void SingleLoadFromStream(TStream& stream, int page) override;
  // A new DCX of one page at the stream's position.
  void SaveToStream(TStream& stream) override;
  // Adds this picture as a page to the DCX the stream holds (from position 0); an empty stream
  // gets a plain save. EDcxError "The DCX file header is full" when the table has no room.
  void AppendToStream(TStream& stream) override;
  // The page count and the first page's header.
  TImageInfo ReadInfo(TStream& stream) const override;
};

} // namespace kestrel
