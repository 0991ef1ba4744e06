#include "imaging/gif/GIFHeader.h"

#include "imaging/gif/GIFBlock.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFImage.h"

#include <algorithm>
#include <cctype>

namespace kestrel {

namespace {

constexpr int kSignatureSize = 6;
constexpr int kDescriptorSize = 7;
constexpr int kJunkBeforeSignature = 4;

bool IsSignature(const uint8_t* bytes) {
  return std::toupper(bytes[0]) == 'G' && std::toupper(bytes[1]) == 'I' &&
         std::toupper(bytes[2]) == 'F';
}

bool ReadSignature(TStream& stream, uint8_t* bytes) {
  return stream.Read(bytes, kSignatureSize) == kSignatureSize && IsSignature(bytes);
}

} // namespace

void TGIFHeader::SetImage(TGIFImage* image) {
  TGIFItem::SetImage(image);
  colorMap_.SetImage(image);
}

void TGIFHeader::LoadFromStream(TStream& stream) {
  const int64_t start = stream.Position();
  uint8_t signature[kSignatureSize] = {};
  if (!ReadSignature(stream, signature)) {
    // Some files carry a few bytes of their own in front of the signature.
    stream.SetPosition(start + kJunkBeforeSignature);
    if (!ReadSignature(stream, signature)) throw GIFException("Invalid GIF signature");
  }
  VersionRead.assign(signature + 3, signature + 6);
  uint8_t descriptor[kDescriptorSize];
  if (stream.Read(descriptor, kDescriptorSize) != kDescriptorSize)
    throw GIFException("Premature end of data");
  Width = GIFWord(descriptor);
  Height = GIFWord(descriptor + 2);
  Flags = descriptor[4];
  BackgroundColorIndex = descriptor[5];
  AspectRatio = descriptor[6];
  colorMap_.Clear();
  if (Flags & 0x80) colorMap_.LoadEntries(stream, 2 << (Flags & 7));
  colorMap_.SetOptimized((Flags & 0x08) != 0);
}

void TGIFHeader::SaveToStream(TStream& stream) {
  const TGIFImage* image = Image();
  if (!image) return Save(stream, TGIFVersion::GIF87a, colorMap_.BitsPerPixel(), 0);
  Save(stream, image->NeededVersion(), image->BitsPerPixel(), image->FrameColorMapBits());
}

void TGIFHeader::Save(TStream& stream, TGIFVersion version, int colorResolution, int frameBits) {
  uint8_t bytes[kSignatureSize + kDescriptorSize] = {'G', 'I', 'F', '8', '7', 'a'};
  if (version == TGIFVersion::GIF89a) bytes[4] = '9';
  uint8_t* d = bytes + kSignatureSize;
  PutGIFWord(d, Width);
  PutGIFWord(d + 2, Height);
  const int globalBits = colorMap_.BitsPerPixel();
  int flags = (std::max(colorResolution, 1) - 1) << 4;
  if (globalBits > 0)
    flags |= 0x80 | (globalBits - 1);
  else
    flags |= std::max(frameBits, 1) - 1;
  if (colorMap_.Optimized()) flags |= 0x08;
  Flags = static_cast<uint8_t>(flags);
  d[4] = Flags;
  d[5] = BackgroundColorIndex;
  d[6] = AspectRatio;
  stream.WriteBuffer(bytes, sizeof bytes);
  colorMap_.SaveToStream(stream);
}

void TGIFTrailer::LoadFromStream(TStream& stream) {
  uint8_t byte = 0;
  if (stream.Read(&byte, 1) == 1 && byte != kTrailer)
    Warning(TGIFSeverity::Warning, "Invalid Image trailer");
}

void TGIFTrailer::SaveToStream(TStream& stream) {
  stream.WriteBuffer(&kTrailer, 1);
}

} // namespace kestrel
