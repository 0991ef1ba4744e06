#pragma once
// A comment: lines of text that no viewer shows.

#include "imaging/gif/GIFExtension.h"

#include <string>
#include <vector>

namespace kestrel {

class TGIFCommentExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0xFE;

  using TGIFExtension::TGIFExtension;
  const char* ClassName() const override { return "TGIFCommentExtension"; }
  uint8_t Label() const override { return kLabel; }
  std::unique_ptr<TGIFExtension> Clone() const override {
    return std::make_unique<TGIFCommentExtension>(*this);
  }

  std::vector<std::string> Lines;

protected:
  void LoadBody(TStream& stream) override { Lines = LinesOfBlocks(ReadBlocks(stream)); }
  void SaveBody(TStream& stream) override { WriteGIFBlocks(stream, BlocksOfLines(Lines)); }
};

} // namespace kestrel
