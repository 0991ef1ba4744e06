#include "imaging/gif/GIFExtension.h"

#include "imaging/gif/GIFApplicationExtension.h"
#include "imaging/gif/GIFCommentExtension.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFGraphicControlExtension.h"
#include "imaging/gif/GIFTextExtension.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace kestrel {

namespace {

template <class T> TGIFExtension::TFactory Plain() {
  return [](TStream&) { return std::make_unique<T>(); };
}

struct TExtensionRegistry {
  std::mutex mutex;
  std::map<uint8_t, TGIFExtension::TFactory> factories = {
      {TGIFGraphicControlExtension::kLabel, Plain<TGIFGraphicControlExtension>()},
      {TGIFTextExtension::kLabel, Plain<TGIFTextExtension>()},
      {TGIFCommentExtension::kLabel, Plain<TGIFCommentExtension>()},
      {TGIFApplicationExtension::kLabel, &TGIFApplicationExtension::Create},
  };
};

TExtensionRegistry& Registry() {
  static TExtensionRegistry registry;
  return registry;
}

} // namespace

void TGIFExtension::Register(uint8_t label, TFactory factory) {
  std::lock_guard lock(Registry().mutex);
  Registry().factories[label] = std::move(factory);
}

std::unique_ptr<TGIFExtension> TGIFExtension::Create(uint8_t label, TStream& afterLabel) {
  TFactory factory;
  {
    std::lock_guard lock(Registry().mutex);
    const auto found = Registry().factories.find(label);
    if (found == Registry().factories.end()) return nullptr;
    factory = found->second;
  }
  return factory(afterLabel);
}

void TGIFExtension::LoadFromStream(TStream& stream) {
  uint8_t head[2] = {};
  if (stream.Read(head, 2) != 2 || head[0] != kIntroducer || head[1] != Label())
    throw GIFException("Internal error: Extension Instance does not match Extension Label");
  LoadBody(stream);
}

void TGIFExtension::SaveToStream(TStream& stream) {
  const uint8_t head[2] = {kIntroducer, Label()};
  stream.WriteBuffer(head, 2);
  SaveBody(stream);
}

bool TGIFExtension::ReadFixedPart(TStream& stream, uint8_t* out, int size) {
  std::fill(out, out + size, 0);
  uint8_t length = 0;
  uint8_t bytes[255] = {};
  bool complete = stream.Read(&length, 1) == 1;
  if (complete) complete = stream.Read(bytes, length) == length;
  if (!complete) Warning(TGIFSeverity::Warning, "Premature end of data");
  std::copy_n(bytes, std::min<int>(size, length), out);
  return complete;
}

void TGIFExtension::WriteFixedPart(TStream& stream, const uint8_t* data, int size) {
  const auto length = static_cast<uint8_t>(size);
  stream.WriteBuffer(&length, 1);
  stream.WriteBuffer(data, size);
}

std::vector<TGIFBlock> TGIFExtension::ReadBlocks(TStream& stream) const {
  return ReadGIFBlocks(
      stream, [this](const std::string& message) { Warning(TGIFSeverity::Warning, message); });
}

std::vector<std::string> LinesOfBlocks(const std::vector<TGIFBlock>& blocks) {
  std::vector<std::string> lines;
  for (const TGIFBlock& block : blocks)
    lines.emplace_back(block.Data.begin(), block.Data.end());
  return lines;
}

std::vector<TGIFBlock> BlocksOfLines(const std::vector<std::string>& lines) {
  std::vector<TGIFBlock> blocks;
  for (const std::string& line : lines)
    AppendGIFBlocks(blocks, reinterpret_cast<const uint8_t*>(line.data()), line.size());
  return blocks;
}

} // namespace kestrel
