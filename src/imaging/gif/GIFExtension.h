#pragma once
// Extension blocks: 0x21, a label byte naming the kind, a fixed part and data sub-blocks. Each kind
// is a class registered under its label; the frame reader makes the class its label names.

#include "imaging/gif/GIFBlock.h"
#include "imaging/gif/GIFItem.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {

class TGIFExtension : public TGIFItem {
public:
  static constexpr uint8_t kIntroducer = 0x21;

  using TGIFItem::TGIFItem;
  const char* ClassName() const override { return "TGIFExtension"; }

  virtual uint8_t Label() const = 0;
  // Extensions came with the 89a version of the format.
  TGIFVersion Version() const override { return TGIFVersion::GIF89a; }
  virtual std::unique_ptr<TGIFExtension> Clone() const = 0;

  // Reads the introducer and the label, which must be this class's (GIFException "Internal error:
  // Extension Instance does not match Extension Label" otherwise), then the rest of the block.
  void LoadFromStream(TStream& stream) final;
  // Writes the introducer, the label and the rest of the block.
  void SaveToStream(TStream& stream) final;

  // Makes the extension class of a label. The factory may look at the bytes after the label (the
  // stream stands there) but must leave the position as it found it.
  using TFactory = std::function<std::unique_ptr<TGIFExtension>(TStream& afterLabel)>;
  static void Register(uint8_t label, TFactory factory);
  // An instance of the class registered for label, or null when there is none.
  static std::unique_ptr<TGIFExtension> Create(uint8_t label, TStream& afterLabel);

protected:
  virtual void LoadBody(TStream& stream) = 0;
  virtual void SaveBody(TStream& stream) = 0;

  // Reads a fixed part of size bytes behind its size byte into out (zeros where the block is
  // shorter; a longer block's extra bytes are skipped). The end of the data gives the warning
  // "Premature end of data" and false.
  bool ReadFixedPart(TStream& stream, uint8_t* out, int size);
  void WriteFixedPart(TStream& stream, const uint8_t* data, int size);
  // Reads the data sub-blocks, warning when they are cut.
  std::vector<TGIFBlock> ReadBlocks(TStream& stream) const;
};

// Text kept as lines, one data sub-block each on reading; on writing each line is cut into
// sub-blocks of at most 255 bytes.
std::vector<std::string> LinesOfBlocks(const std::vector<TGIFBlock>& blocks);
std::vector<TGIFBlock> BlocksOfLines(const std::vector<std::string>& lines);

} // namespace kestrel
