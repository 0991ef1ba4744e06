#include "imaging/gif/GIFApplicationExtension.h"

#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFLoopExtension.h"

namespace kestrel {

namespace {

constexpr int kShortIdentifierSize = 10;

} // namespace

std::unique_ptr<TGIFExtension> TGIFApplicationExtension::Create(TStream& afterLabel) {
  const int64_t start = afterLabel.Position();
  uint8_t head[1 + kIdentifierSize] = {};
  const int64_t got = afterLabel.Read(head, sizeof head);
  afterLabel.SetPosition(start);
  if (got == sizeof head && head[0] == kIdentifierSize) {
    const std::string identifier(head + 1, head + 1 + kIdentifierSize);
    if (identifier == TGIFAppExtNSLoop::kIdentifier ||
        identifier == TGIFAppExtNSLoop::kAlternativeIdentifier)
      return std::make_unique<TGIFAppExtNSLoop>();
  }
  return std::make_unique<TGIFUnknownAppExtension>();
}

void TGIFApplicationExtension::LoadBody(TStream& stream) {
  uint8_t size = 0;
  if (stream.Read(&size, 1) != 1) {
    Warning(TGIFSeverity::Warning, "Premature end of data");
    return;
  }
  if (size < kShortIdentifierSize)
    throw GIFException("Unsupported Application Extension block size");
  uint8_t bytes[255];
  const int64_t got = stream.Read(bytes, size);
  Identifier.assign(bytes, bytes + std::min<int64_t>(got, kIdentifierSize));
  Trailing.assign(bytes + Identifier.size(), bytes + got);
  if (got != size) return Warning(TGIFSeverity::Warning, "Premature end of data");
  LoadData(stream);
}

void TGIFApplicationExtension::SaveBody(TStream& stream) {
  // A block of 10 bytes is written back as read; any other identifier (one cut short, or set by a
  // caller) is made the 11 bytes readers expect.
  std::string identifier = Identifier;
  if (identifier.size() != kShortIdentifierSize) identifier.resize(kIdentifierSize, ' ');
  const size_t trailing = identifier.size() == kIdentifierSize
                              ? std::min<size_t>(Trailing.size(), 255 - kIdentifierSize)
                              : 0;
  const auto size = static_cast<uint8_t>(identifier.size() + trailing);
  stream.WriteBuffer(&size, 1);
  stream.WriteBuffer(identifier.data(), static_cast<int64_t>(identifier.size()));
  if (trailing) stream.WriteBuffer(Trailing.data(), static_cast<int64_t>(trailing));
  SaveData(stream);
}

} // namespace kestrel
