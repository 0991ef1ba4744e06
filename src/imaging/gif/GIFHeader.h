#pragma once
// The start of a GIF file: signature and version, the logical screen descriptor and the global
// colour table.

#include "imaging/gif/GIFColorMap.h"
#include "imaging/gif/GIFItem.h"

#include <cstdint>
#include <string>

namespace kestrel {

class TGIFHeader : public TGIFItem {
public:
  explicit TGIFHeader(TGIFImage* image = nullptr) : TGIFItem(image), colorMap_(image) {}
  const char* ClassName() const override { return "TGIFHeader"; }
  void SetImage(TGIFImage* image) override;

  // The logical screen descriptor (7 bytes in the file).
  uint16_t Width = 0;
  uint16_t Height = 0;
  uint8_t Flags = 0; // as read; rebuilt on writing
  uint8_t BackgroundColorIndex = 0;
  uint8_t AspectRatio = 0; // 0 = not given
  // The version bytes as read ("87a", "89a" or anything else: they are not checked).
  std::string VersionRead;

  TGIFGlobalColorMap& ColorMap() { return colorMap_; }
  const TGIFGlobalColorMap& ColorMap() const { return colorMap_; }

  // Reads the signature (compared without case; when the first 6 bytes are not one, another try 4
  // bytes further on), the screen descriptor and the global colour table. Raises GIFException
  // "Invalid GIF signature", or "Premature end of data" when the descriptor is cut.
  void LoadFromStream(TStream& stream) override;
  // Writes with the version and flags the owning image gives (see Save).
  void SaveToStream(TStream& stream) override;
  // Writes "GIF" and the version, the descriptor with its flags rebuilt and the global table padded
  // to a power of two. colorResolution is the largest bits per pixel of all the file's colour
  // tables; frameBits the largest of the frames' own tables, which sizes the code of an image
  // without a global table.
  void Save(TStream& stream, TGIFVersion version, int colorResolution, int frameBits);

private:
  TGIFGlobalColorMap colorMap_;
};

// The end of the file.
class TGIFTrailer : public TGIFItem {
public:
  static constexpr uint8_t kTrailer = 0x3B;

  using TGIFItem::TGIFItem;
  const char* ClassName() const override { return "TGIFTrailer"; }

  // A byte other than the trailer gives the warning "Invalid Image trailer"; a file that simply
  // ends is fine.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
};

} // namespace kestrel
