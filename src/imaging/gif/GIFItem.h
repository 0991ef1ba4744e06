#pragma once
// The parts of a GIF file as objects: every block of the file (header, frames, extensions, trailer)
// is a TGIFItem that reads and writes itself and reports damage to the image it belongs to.

#include "imaging/core/Graphic.h"
#include "imaging/core/Stream.h"
#include "imaging/gif/GIFWarning.h"

#include <string>

namespace kestrel {

class TGIFImage;

// The format version a part needs; a file is written with the highest one its parts need.
enum class TGIFVersion { Unknown, GIF87a, GIF89a };

class TGIFItem : public TPersistent {
public:
  explicit TGIFItem(TGIFImage* image = nullptr) : image_(image) {}
  TGIFItem(const TGIFItem&) = default;
  TGIFItem& operator=(const TGIFItem&) = default;

  const char* ClassName() const override { return "TGIFItem"; }

  TGIFImage* Image() const { return image_; }
  virtual void SetImage(TGIFImage* image) { image_ = image; }

  virtual TGIFVersion Version() const { return TGIFVersion::GIF87a; }

  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path);

  // Reports a problem to the image's warning operation (see TGIFImage::Warning); an item that
  // belongs to no image follows the same rule as an image without a handler.
  void Warning(TGIFSeverity severity, const std::string& message) const;
  // The same as an event for the pixel coders.
  TGIFWarning WarningEvent() const;

private:
  TGIFImage* image_;
};

} // namespace kestrel
